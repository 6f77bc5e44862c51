// The frameless window base: hit testing, resize arithmetic, and the widget driven by
// mouse events and keys.

#include "widgets/AbsFrameLessAutoSize.h"
#include "widgets/FrameGeometry.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {
const QRect kStart(100, 100, 400, 300);
const QSize kMin(200, 150);
const QSize kMax(800, 600);

// A mouse event at a point in the window's coordinates, with the matching global position.
void sendMouse(QWidget *w, QEvent::Type type, QPoint local, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, local, w->geometry().topLeft() + local, button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}
} // namespace

class TestFrameWindow : public QObject {
    Q_OBJECT
private slots:
    void hitTest_data();
    void hitTest();
    void resizedGeometry_data();
    void resizedGeometry();
    void mouse_data();
    void mouse();
    void keys_data();
    void keys();
};

void TestFrameWindow::hitTest_data()
{
    QTest::addColumn<QPoint>("point"); // in a 100 x 80 window
    QTest::addColumn<int>("border");
    QTest::addColumn<int>("region");
    QTest::addColumn<bool>("moves");
    QTest::newRow("right edge, last column") << QPoint(99, 40) << 1 << 1 << false;
    QTest::newRow("bottom edge, last row") << QPoint(50, 79) << 1 << 3 << false;
    QTest::newRow("bottom-right corner") << QPoint(99, 79) << 1 << 7 << false;
    QTest::newRow("inner top-left") << QPoint(2, 2) << 1 << 0 << true;
    QTest::newRow("left edge next to top corner") << QPoint(0, 1) << 1 << 0 << false;
    QTest::newRow("border 3, right band inner column") << QPoint(97, 40) << 3 << 1 << false;
}

void TestFrameWindow::hitTest()
{
    QFETCH(QPoint, point);
    QFETCH(int, border);
    QFETCH(int, region);
    QFETCH(bool, moves);
    QCOMPARE(::hitRegion(point, QSize(100, 80), border), region);
    QCOMPARE(isInMoveArea(point, QSize(100, 80), border), moves);
}

void TestFrameWindow::resizedGeometry_data()
{
    QTest::addColumn<int>("region");
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<QRect>("expected"); // null: refused
    // Pressed at (100, 100), 400 x 300, limits 200 x 150 to 800 x 600.
    const auto row = [](const char *tag, int region, QPoint cursor, QRect expected) {
        QTest::newRow(tag) << region << cursor << expected;
    };
    row("right at minimum", 1, {300, 250}, {100, 100, 200, 300});
    row("right below minimum", 1, {299, 250}, {});
    row("top above maximum", 4, {300, -201}, {});
    row("top-right clamps to minimum height", 5, {600, 330}, {100, 250, 500, 150});
    row("top-left pins bottom-right at maximum", 6, {-400, -300}, {-300, -200, 800, 600});
    row("bottom-left clamps to maximum width", 8, {-400, 500}, {-300, 100, 800, 400});
}

void TestFrameWindow::resizedGeometry()
{
    QFETCH(int, region);
    QFETCH(QPoint, cursor);
    QFETCH(QRect, expected);
    QCOMPARE(::resizedGeometry(region, kStart, cursor, kStart, kMin, kMax).value_or(QRect()),
             expected);
}

void TestFrameWindow::mouse_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QPoint>("press");  // window coordinates
    QTest::addColumn<int>("cursor");    // shown when hovering the press point
    QTest::addColumn<QPoint>("target"); // global
    QTest::addColumn<QRect>("expected");
    const auto L = Qt::LeftButton;
    QTest::newRow("left") << int(L) << QPoint(0, 150) << int(Qt::SizeHorCursor) << QPoint(50, 250)
                          << QRect(50, 100, 450, 300);
    QTest::newRow("bottom-right") << int(L) << QPoint(399, 299) << int(Qt::SizeFDiagCursor)
                                  << QPoint(650, 520) << QRect(100, 100, 550, 420);
    QTest::newRow("top edge refused above maximum") << int(L) << QPoint(200, 0)
        << int(Qt::SizeVerCursor) << QPoint(300, -300) << kStart;
    QTest::newRow("move") << int(L) << QPoint(200, 150) << int(Qt::ArrowCursor) << QPoint(330, 270)
                          << QRect(130, 120, 400, 300);
    QTest::newRow("right button on the right edge") << int(Qt::RightButton) << QPoint(399, 150)
        << int(Qt::SizeHorCursor) << QPoint(650, 520) << kStart;
}

// Hover, press, drag to the target and release, then drag on: the release ends it.
void TestFrameWindow::mouse()
{
    QFETCH(int, button);
    QFETCH(QPoint, press);
    QFETCH(int, cursor);
    QFETCH(QPoint, target);
    QFETCH(QRect, expected);
    const auto b = Qt::MouseButton(button);
    AbsFrameLessAutoSize w;
    w.setMinimumSize(kMin);
    w.setMaximumSize(kMax);
    w.setGeometry(kStart);
    sendMouse(&w, QEvent::MouseMove, press, Qt::NoButton, Qt::NoButton);
    QCOMPARE(int(w.cursor().shape()), cursor);
    sendMouse(&w, QEvent::MouseButtonPress, press, b, b);
    sendMouse(&w, QEvent::MouseMove, target - w.geometry().topLeft(), Qt::NoButton, b);
    QCOMPARE(w.geometry(), expected);
    sendMouse(&w, QEvent::MouseButtonRelease, target - w.geometry().topLeft(), b, Qt::NoButton);
    sendMouse(&w, QEvent::MouseMove, target + QPoint(40, 40) - w.geometry().topLeft(),
              Qt::NoButton, Qt::NoButton);
    QCOMPARE(w.geometry(), expected);
}

void TestFrameWindow::keys_data()
{
    QTest::addColumn<bool>("mainWindow");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("onButton"); // focus on the button, else on the line edit
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("presses");
    QTest::newRow("dialog, Escape") << false << int(Qt::Key_Escape) << false << true << false;
    QTest::newRow("dialog, Return") << false << int(Qt::Key_Return) << false << false << true;
    QTest::newRow("main, Return on button") << true << int(Qt::Key_Return) << true << false << false;
    QTest::newRow("main, Space on button") << true << int(Qt::Key_Space) << true << false << true;
}

// A dialog closes on Escape and presses its default button on Enter; the main window
// does neither, and a focused button is pressed only by Space.
void TestFrameWindow::keys()
{
    QFETCH(bool, mainWindow);
    QFETCH(int, key);
    QFETCH(bool, onButton);
    QFETCH(bool, closes);
    QFETCH(bool, presses);
    QWidget parent; // given a parent, it still opens a frameless window of its own
    AbsFrameLessAutoSize w(&parent);
    QVERIFY(w.isWindow() && w.windowFlags().testFlag(Qt::FramelessWindowHint));
    w.setMainWindowKeys(mainWindow);
    auto *edit = new QLineEdit(&w);
    auto *button = new QPushButton(QStringLiteral("Connect"), &w);
    auto *layout = new QVBoxLayout(&w);
    layout->addWidget(edit);
    layout->addWidget(button);
    QSignalSpy clicked(button, &QPushButton::clicked);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QWidget *target = onButton ? static_cast<QWidget *>(button) : edit;
    target->setFocus();
    QTest::keyClick(target, Qt::Key(key));
    QCOMPARE(!w.isVisible(), closes);
    QCOMPARE(clicked.count(), presses ? 1 : 0);
}

QTEST_MAIN(TestFrameWindow)
#include "tst_framewindow.moc"
