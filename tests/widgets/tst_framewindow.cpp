// The frameless window base: hit testing, resize arithmetic, and the widget driven by
// mouse events and keys.

#include "widgets/AbsFrameLessAutoSize.h"
#include "widgets/FrameGeometry.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QtTest>

namespace {
const QRect kStart(100, 100, 400, 300);
const QSize kMin(200, 150);
const QSize kMax(800, 600);

// Pressed at (100, 100), 400 x 300, limits 200 x 150 to 800 x 600; a null result: refused.
struct Resize { int region; QPoint cursor; QRect expected; };
struct Hit { QPoint point; int border; int region; bool moves; }; // in a 100 x 80 window
// Hover the press point (showing `cursor`), press, drag to the global `target`.
struct Drag { Qt::MouseButton button; QPoint press; Qt::CursorShape cursor; QPoint target; QRect expected; };
// Focus on the button, else on the line edit.
struct Key { bool mainWindow; int key; bool onButton; bool closes; bool presses; };

// A mouse event at a point in the window's coordinates, with the matching global position.
void sendMouse(QWidget *w, QEvent::Type type, QPoint local, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, local, w->geometry().topLeft() + local, button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}
} // namespace
Q_DECLARE_METATYPE(Resize)
Q_DECLARE_METATYPE(Hit)
Q_DECLARE_METATYPE(Drag)
Q_DECLARE_METATYPE(Key)

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
    QTest::addColumn<Hit>("h");
    QTest::newRow("right edge, last column") << Hit{{99, 40}, 1, 1, false};
    QTest::newRow("bottom edge, last row") << Hit{{50, 79}, 1, 3, false};
    QTest::newRow("bottom-right corner") << Hit{{99, 79}, 1, 7, false};
    QTest::newRow("inner top-left") << Hit{{2, 2}, 1, 0, true};
    QTest::newRow("left edge next to top corner") << Hit{{0, 1}, 1, 0, false};
    QTest::newRow("border 3, right band inner column") << Hit{{97, 40}, 3, 1, false};
}

void TestFrameWindow::hitTest()
{
    QFETCH(Hit, h);
    QCOMPARE(::hitRegion(h.point, QSize(100, 80), h.border), h.region);
    QCOMPARE(isInMoveArea(h.point, QSize(100, 80), h.border), h.moves);
}

void TestFrameWindow::resizedGeometry_data()
{
    QTest::addColumn<Resize>("r");
    QTest::newRow("right at minimum") << Resize{1, {300, 250}, {100, 100, 200, 300}};
    QTest::newRow("right below minimum") << Resize{1, {299, 250}, {}};
    QTest::newRow("top above maximum") << Resize{4, {300, -201}, {}};
    QTest::newRow("top-right clamps to minimum height") << Resize{5, {600, 330}, {100, 250, 500, 150}};
    QTest::newRow("top-left pins bottom-right at maximum") << Resize{6, {-400, -300}, {-300, -200, 800, 600}};
    QTest::newRow("bottom-left clamps to maximum width") << Resize{8, {-400, 500}, {-300, 100, 800, 400}};
}

void TestFrameWindow::resizedGeometry()
{
    QFETCH(Resize, r);
    QCOMPARE(::resizedGeometry(r.region, kStart, r.cursor, kStart, kMin, kMax).value_or(QRect()), r.expected);
}

void TestFrameWindow::mouse_data()
{
    QTest::addColumn<Drag>("d");
    const auto L = Qt::LeftButton;
    QTest::newRow("left") << Drag{L, {0, 150}, Qt::SizeHorCursor, {50, 250}, {50, 100, 450, 300}};
    QTest::newRow("bottom-right") << Drag{L, {399, 299}, Qt::SizeFDiagCursor, {650, 520}, {100, 100, 550, 420}};
    QTest::newRow("top edge refused above maximum") << Drag{L, {200, 0}, Qt::SizeVerCursor, {300, -300}, kStart};
    QTest::newRow("move") << Drag{L, {200, 150}, Qt::ArrowCursor, {330, 270}, {130, 120, 400, 300}};
    QTest::newRow("right button on the right edge")
        << Drag{Qt::RightButton, {399, 150}, Qt::SizeHorCursor, {650, 520}, kStart};
}

// After the drag, release and drag on: the release ends it.
void TestFrameWindow::mouse()
{
    QFETCH(Drag, d);
    AbsFrameLessAutoSize w;
    w.setMinimumSize(kMin);
    w.setMaximumSize(kMax);
    w.setGeometry(kStart);
    sendMouse(&w, QEvent::MouseMove, d.press, Qt::NoButton, Qt::NoButton);
    QCOMPARE(w.cursor().shape(), d.cursor);
    sendMouse(&w, QEvent::MouseButtonPress, d.press, d.button, d.button);
    sendMouse(&w, QEvent::MouseMove, d.target - w.geometry().topLeft(), Qt::NoButton, d.button);
    QCOMPARE(w.geometry(), d.expected);
    sendMouse(&w, QEvent::MouseButtonRelease, d.target - w.geometry().topLeft(), d.button, Qt::NoButton);
    sendMouse(&w, QEvent::MouseMove, d.target + QPoint(40, 40) - w.geometry().topLeft(),
              Qt::NoButton, Qt::NoButton);
    QCOMPARE(w.geometry(), d.expected);
}

void TestFrameWindow::keys_data()
{
    QTest::addColumn<Key>("k");
    QTest::newRow("dialog, Escape") << Key{false, Qt::Key_Escape, false, true, false};
    QTest::newRow("dialog, Return") << Key{false, Qt::Key_Return, false, false, true};
    QTest::newRow("main, Return on button") << Key{true, Qt::Key_Return, true, false, false};
    QTest::newRow("main, Space on button") << Key{true, Qt::Key_Space, true, false, true};
}

// A dialog closes on Escape and presses its default button on Enter; the main window
// does neither, and a focused button is pressed only by Space.
void TestFrameWindow::keys()
{
    QFETCH(Key, k);
    QWidget parent; // given a parent, it still opens a frameless window of its own
    AbsFrameLessAutoSize w(&parent);
    QVERIFY(w.isWindow() && w.windowFlags().testFlag(Qt::FramelessWindowHint));
    w.setMainWindowKeys(k.mainWindow);
    auto *edit = new QLineEdit(&w);
    auto *button = new QPushButton(QStringLiteral("Connect"), &w);
    QSignalSpy clicked(button, &QPushButton::clicked);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QWidget *target = k.onButton ? static_cast<QWidget *>(button) : edit;
    target->setFocus();
    QTest::keyClick(target, Qt::Key(k.key));
    QCOMPARE(!w.isVisible(), k.closes);
    QCOMPARE(clicked.count(), k.presses ? 1 : 0);
}

QTEST_MAIN(TestFrameWindow)
#include "tst_framewindow.moc"
