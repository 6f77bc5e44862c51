// The frameless window driven by mouse events and keys: the border bands, resizing within
// the limits, moving, and the dialog keys.

#include "widgets/AbsFrameLessAutoSize.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QtTest>

namespace {
const QRect kStart(100, 100, 400, 300);
const QSize kMin(200, 150);
const QSize kMax(800, 600);

// From (100, 100), 400 x 300, limits 200 x 150 to 800 x 600, border 1: hover the press
// point (showing `cursor`), press, drag to the global `target`; a refused resize keeps kStart.
struct Drag {
    Qt::MouseButton button;
    QPoint press;
    Qt::CursorShape cursor;
    QPoint target;
    QRect expected;
};
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
Q_DECLARE_METATYPE(Drag)
Q_DECLARE_METATYPE(Key)

class TestFrameWindow : public QObject {
    Q_OBJECT
private slots:
    void mouse_data();
    void mouse();
    void keys_data();
    void keys();
};

void TestFrameWindow::mouse_data()
{
    QTest::addColumn<Drag>("d");
    const auto row = [](const char *name, QPoint press, Qt::CursorShape cursor, QPoint target,
                        QRect expected, Qt::MouseButton button = Qt::LeftButton) {
        QTest::newRow(name) << Drag{button, press, cursor, target, expected};
    };
    row("left", {0, 150}, Qt::SizeHorCursor, {50, 250}, {50, 100, 450, 300});
    // The last pixel column and row are the right and bottom bands.
    row("right at minimum", {399, 150}, Qt::SizeHorCursor, {300, 250}, {100, 100, 200, 300});
    row("right below minimum", {399, 150}, Qt::SizeHorCursor, {299, 250}, kStart);
    row("bottom-right", {399, 299}, Qt::SizeFDiagCursor, {650, 520}, {100, 100, 550, 420});
    row("top refused above maximum", {200, 0}, Qt::SizeVerCursor, {300, -300}, kStart);
    row("top-right clamps to minimum height", {399, 0}, Qt::SizeBDiagCursor, {600, 330},
        {100, 250, 500, 150});
    row("top-left pins bottom-right at maximum", {0, 0}, Qt::SizeFDiagCursor, {-400, -300},
        {-300, -200, 800, 600});
    row("bottom-left clamps to maximum width", {0, 299}, Qt::SizeBDiagCursor, {-400, 500},
        {-300, 100, 800, 400});
    row("left edge next to top corner", {0, 1}, Qt::ArrowCursor, {50, 50}, kStart);
    row("move", {200, 150}, Qt::ArrowCursor, {330, 270}, {130, 120, 400, 300});
    row("right button on the right edge", {399, 150}, Qt::SizeHorCursor, {650, 520}, kStart,
        Qt::RightButton);
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
    sendMouse(&w, QEvent::MouseButtonRelease, d.target - w.geometry().topLeft(), d.button,
              Qt::NoButton);
    sendMouse(&w, QEvent::MouseMove, d.target + QPoint(40, 40) - w.geometry().topLeft(),
              Qt::NoButton, Qt::NoButton);
    QCOMPARE(w.geometry(), d.expected);
}

void TestFrameWindow::keys_data()
{
    QTest::addColumn<Key>("k");
    QTest::newRow("dialog, Escape") << Key{false, Qt::Key_Escape, false, true, false};
    QTest::newRow("dialog, Return") << Key{false, Qt::Key_Return, false, false, true};
    QTest::newRow("main, Space on button") << Key{true, Qt::Key_Space, true, false, true};
}

// A dialog closes on Escape and presses its default button on Enter; in the main window a
// focused button is still pressed by Space (Return and Escape there: tst_mainwidget).
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
