// The frameless window base: hit testing, resize arithmetic, and the widget driven by
// mouse events.

#include "widgets/AbsFrameLessAutoSize.h"
#include "widgets/BrantelResources.h"
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

void moveTo(QWidget *w, QPoint global, Qt::MouseButtons buttons)
{
    sendMouse(w, QEvent::MouseMove, global - w->geometry().topLeft(), Qt::NoButton, buttons);
}

} // namespace

class TestFrameWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initBrantelResources(); }
    void hitTest_data();
    void hitTest();
    void resizedGeometry_data();
    void resizedGeometry();
    void mouse_data();
    void mouse();
    void paintsShadowAndWhiteBody();
    void isFramelessWindow();
    void keys_data();
    void keys();
};

void TestFrameWindow::hitTest_data()
{
    QTest::addColumn<QPoint>("point");  // in a 100 x 80 window
    QTest::addColumn<int>("border");
    QTest::addColumn<int>("region");
    QTest::addColumn<bool>("moves");

    QTest::newRow("right edge, last column") << QPoint(99, 40) << 1 << 1 << false;
    QTest::newRow("left edge") << QPoint(0, 40) << 1 << 2 << false;
    QTest::newRow("bottom edge, last row") << QPoint(50, 79) << 1 << 3 << false;
    QTest::newRow("top edge") << QPoint(50, 0) << 1 << 4 << false;
    QTest::newRow("top-right corner") << QPoint(99, 0) << 1 << 5 << false;
    QTest::newRow("top-left corner") << QPoint(0, 0) << 1 << 6 << false;
    QTest::newRow("bottom-right corner") << QPoint(99, 79) << 1 << 7 << false;
    QTest::newRow("bottom-left corner") << QPoint(0, 79) << 1 << 8 << false;
    QTest::newRow("inner top-left") << QPoint(2, 2) << 1 << 0 << true;
    QTest::newRow("inner bottom-right") << QPoint(97, 77) << 1 << 0 << true;
    QTest::newRow("second column") << QPoint(1, 40) << 1 << 0 << false;
    QTest::newRow("second row") << QPoint(50, 1) << 1 << 0 << false;
    QTest::newRow("second-last column") << QPoint(98, 40) << 1 << 0 << false;
    QTest::newRow("second-last row") << QPoint(50, 78) << 1 << 0 << false;
    QTest::newRow("left edge next to top corner") << QPoint(0, 1) << 1 << 0 << false;
    QTest::newRow("bottom edge beside left corner") << QPoint(2, 79) << 1 << 3 << false;
    QTest::newRow("right edge next to bottom corner") << QPoint(99, 78) << 1 << 1 << false;
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
    QTest::addColumn<QRect>("expected");  // null: refused
    QTest::addColumn<QRect>("current");
    // Pressed at (100, 100), 400 x 300, limits 200 x 150 to 800 x 600.
    const auto row = [](const char *tag, int region, QPoint cursor, QRect expected,
                        QRect current = kStart) {
        QTest::newRow(tag) << region << cursor << expected << current;
    };
    row("right at minimum", 1, {300, 250}, {100, 100, 200, 300});
    row("right below minimum", 1, {299, 250}, {});
    row("right at maximum", 1, {900, 250}, {100, 100, 800, 300});
    row("right above maximum", 1, {901, 250}, {});
    row("left below minimum", 2, {301, 250}, {});
    row("left above maximum", 2, {-301, 250}, {});
    row("bottom below minimum", 3, {300, 249}, {});
    row("bottom above maximum", 3, {300, 701}, {});
    row("top below minimum", 4, {300, 251}, {});
    row("top above maximum", 4, {300, -201}, {});
    row("top-right clamps to minimum height", 5, {600, 330}, {100, 250, 500, 150});
    row("top-right clamps to maximum height", 5, {600, -300}, {100, -200, 500, 600});
    row("top-left pins bottom-right at minimum", 6, {450, 350}, {300, 250, 200, 150});
    row("top-left pins bottom-right at maximum", 6, {-400, -300}, {-300, -200, 800, 600});
    row("top-left clamps width only", 6, {480, 50}, {300, 50, 200, 350});
    row("top-left during a drag", 6, {60, 60}, {60, 60, 440, 340}, {80, 80, 420, 320});
    row("bottom-right leaves limits to the window", 7, {150, 120}, {100, 100, 50, 20});
    row("bottom-left clamps to minimum width", 8, {450, 500}, {300, 100, 200, 400});
    row("bottom-left clamps to maximum width", 8, {-400, 500}, {-300, 100, 800, 400});
    row("no region", 0, {600, 600}, {});
}

void TestFrameWindow::resizedGeometry()
{
    QFETCH(int, region);
    QFETCH(QPoint, cursor);
    QFETCH(QRect, expected);
    QFETCH(QRect, current);
    QCOMPARE(::resizedGeometry(region, current, cursor, kStart, kMin, kMax).value_or(QRect()),
             expected);
}

void TestFrameWindow::mouse_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QPoint>("press");   // window coordinates
    QTest::addColumn<int>("cursor");     // shown when hovering the press point
    QTest::addColumn<QPoint>("target");  // global
    QTest::addColumn<QRect>("expected");
    const auto row = [](const char *tag, Qt::MouseButton button, QPoint press,
                        Qt::CursorShape cursor, QPoint target, QRect expected) {
        QTest::newRow(tag) << int(button) << press << int(cursor) << target << expected;
    };
    const auto L = Qt::LeftButton;
    const auto R = Qt::RightButton;
    const auto H = Qt::SizeHorCursor, V = Qt::SizeVerCursor, A = Qt::ArrowCursor;
    const auto B = Qt::SizeBDiagCursor, F = Qt::SizeFDiagCursor;
    row("right", L, {399, 150}, H, {600, 250}, {100, 100, 500, 300});
    row("left", L, {0, 150}, H, {50, 250}, {50, 100, 450, 300});
    row("bottom", L, {200, 299}, V, {300, 500}, {100, 100, 400, 400});
    row("top", L, {200, 0}, V, {300, 50}, {100, 50, 400, 350});
    row("top-right", L, {399, 0}, B, {600, 50}, {100, 50, 500, 350});
    row("top-left", L, {0, 0}, F, {50, 50}, {50, 50, 450, 350});
    row("bottom-right", L, {399, 299}, F, {650, 520}, {100, 100, 550, 420});
    row("bottom-left", L, {0, 299}, B, {50, 500}, {50, 100, 450, 400});
    row("right edge refused below minimum", L, {399, 150}, H, {250, 250}, kStart);
    row("top edge refused above maximum", L, {200, 0}, V, {300, -300}, kStart);
    row("band without region", L, {1, 150}, A, {20, 260}, kStart);
    row("move", L, {200, 150}, A, {330, 270}, {130, 120, 400, 300});
    row("right button inside", R, {200, 150}, A, {650, 520}, kStart);
    row("right button on the right edge", R, {399, 150}, H, {650, 520}, kStart);
}

// Hover, press, drag to the target and release, then drag on: the release ends it. The
// last hover before the press is over the left edge, so a press elsewhere shows that the
// band under the press decides.
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
    sendMouse(&w, QEvent::MouseMove, QPoint(0, 150), Qt::NoButton, Qt::NoButton);

    sendMouse(&w, QEvent::MouseButtonPress, press, b, b);
    moveTo(&w, target, b);
    QCOMPARE(w.geometry(), expected);
    sendMouse(&w, QEvent::MouseButtonRelease, target - w.geometry().topLeft(), b, Qt::NoButton);
    moveTo(&w, target + QPoint(40, 40), Qt::NoButton);
    QCOMPARE(w.geometry(), expected);
}

// The shadow pictures are found and drawn around an opaque white body.
void TestFrameWindow::paintsShadowAndWhiteBody()
{
    AbsFrameLessAutoSize w;
    w.resize(120, 90);
    const QImage image = w.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    // (The size grip sits in the bottom-right corner.)
    for (const QPoint p : {QPoint(2, 2), QPoint(60, 45), QPoint(117, 2), QPoint(2, 87)})
        QCOMPARE(image.pixel(p), qRgba(255, 255, 255, 255));
    for (const QPoint p : {QPoint(0, 45), QPoint(119, 45), QPoint(60, 0), QPoint(60, 89),
                           QPoint(0, 0), QPoint(119, 89)}) {
        const int alpha = qAlpha(image.pixel(p));
        QVERIFY2(alpha > 0 && alpha < 255, qPrintable(QStringLiteral("(%1, %2) alpha %3")
                                                          .arg(p.x()).arg(p.y()).arg(alpha)));
    }
    // Darker next to the body than at the outer edge.
    QVERIFY(qAlpha(image.pixel(1, 45)) > qAlpha(image.pixel(0, 45)));
}

// Given a parent, the dialog still opens a window of its own.
void TestFrameWindow::isFramelessWindow()
{
    QWidget parent;
    AbsFrameLessAutoSize top;
    AbsFrameLessAutoSize child(&parent);
    for (AbsFrameLessAutoSize *w : {&top, &child}) {
        QVERIFY(w->isWindow());
        QVERIFY(w->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(w->testAttribute(Qt::WA_TranslucentBackground));
        QVERIFY(w->hasMouseTracking());
    }
}

void TestFrameWindow::keys_data()
{
    QTest::addColumn<bool>("mainWindow");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("onButton");  // focus on the button, else on the line edit
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("presses");
    QTest::newRow("dialog, Escape") << false << int(Qt::Key_Escape) << false << true << false;
    QTest::newRow("dialog, Return") << false << int(Qt::Key_Return) << false << false << true;
    QTest::newRow("main, Escape") << true << int(Qt::Key_Escape) << false << false << false;
    QTest::newRow("main, Return") << true << int(Qt::Key_Return) << false << false << false;
    QTest::newRow("main, Enter") << true << int(Qt::Key_Enter) << false << false << false;
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

    AbsFrameLessAutoSize w;
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
