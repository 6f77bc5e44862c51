// The frameless window driven by mouse events and keys, the animated switch, the title
// bar, the image button and the About dialog.

#include "support/Child.h"
#include "widgets/AboutDialog.h"
#include "widgets/AbsFrameLessAutoSize.h"
#include "widgets/BrantelResources.h"
#include "widgets/PushButton.h"
#include "widgets/SwitchButton.h"
#include "widgets/TitleWidget.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTranslator>
#include <QtTest>

#include <algorithm>

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

// `knob`: where the knob comes to rest.
struct Set { bool initial; bool value; bool silently; int emits; int knob; };

// Runs the animation tick by tick to its end (bounded, should it never stop).
void runAnimation(SwitchButton *sw)
{
    for (int tick = 0; sw->isAnimating() && tick < 10000; ++tick)
        QMetaObject::invokeMethod(sw, "updateValue");
}
} // namespace
Q_DECLARE_METATYPE(Drag)
Q_DECLARE_METATYPE(Key)
Q_DECLARE_METATYPE(Set)

class TestWidgets : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initBrantelResources(); }
    void mouse_data();
    void mouse();
    void keys_data();
    void keys();
    void setChecked_data();
    void setChecked();
    void titleBar();
    void imageButtonClicks();
    void englishAbout();
};

void TestWidgets::mouse_data()
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
void TestWidgets::mouse()
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

void TestWidgets::keys_data()
{
    QTest::addColumn<Key>("k");
    QTest::newRow("dialog, Escape") << Key{false, Qt::Key_Escape, false, true, false};
    QTest::newRow("dialog, Return") << Key{false, Qt::Key_Return, false, false, true};
    QTest::newRow("main, Space on button") << Key{true, Qt::Key_Space, true, false, true};
}

// A dialog closes on Escape and presses its default button on Enter; in the main window a
// focused button is still pressed by Space (Return and Escape there: tst_mainwidget).
void TestWidgets::keys()
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

void TestWidgets::setChecked_data()
{
    QTest::addColumn<Set>("s");
    QTest::newRow("on to on") << Set{true, true, false, 0, 36};
    QTest::newRow("off to on") << Set{false, true, false, 1, 30};
    QTest::newRow("silently off to on") << Set{false, true, true, 0, 36};
    QTest::newRow("silently on to off") << Set{true, false, true, 0, 0};
}

// setChecked says so only on a change; setCheckedSilently never does.
void TestWidgets::setChecked()
{
    QFETCH(Set, s);
    SwitchButton sw;
    sw.resize(60, 24);
    sw.setCheckedSilently(s.initial);
    runAnimation(&sw);
    QSignalSpy spy(&sw, &SwitchButton::checkedChanged);
    s.silently ? sw.setCheckedSilently(s.value) : sw.setChecked(s.value);
    QCOMPARE(sw.isChecked(), s.value);
    QCOMPARE(spy.count(), s.emits);
    runAnimation(&sw);
    QCOMPARE(sw.knobOffset(), s.knob);
}

// The buttons packed at the right end, each emitting its own signal only; a double click
// on the bar reports only the left button.
void TestWidgets::titleBar()
{
    TitleWidget title(2);
    title.resize(400, 30);
    QStringList seen;
    connect(&title, &TitleWidget::showMainMenu, [&] { seen << "menu"; });
    connect(&title, &TitleWidget::showMin, [&] { seen << "min"; });
    connect(&title, &TitleWidget::closeWidget, [&] { seen << "close"; });
    connect(&title, &TitleWidget::LeftDoubleClick, [&] { seen << "double"; });
    title.show();
    QVERIFY(QTest::qWaitForWindowExposed(&title));
    QList<PushButton *> buttons = title.findChildren<PushButton *>();
    std::sort(buttons.begin(), buttons.end(), [](auto *a, auto *b) { return a->x() < b->x(); });
    QCOMPARE(buttons.last()->geometry().right(), title.width() - 2);
    for (PushButton *b : buttons)
        QTest::mouseClick(b, Qt::LeftButton);
    QTest::mouseDClick(&title, Qt::RightButton, Qt::NoModifier, QPoint(150, 15));
    QTest::mouseDClick(&title, Qt::LeftButton, Qt::NoModifier, QPoint(150, 15));
    QCOMPARE(seen, (QStringList{"menu", "min", "close", "double"}));
}

// Only a left press released over the button clicks it.
void TestWidgets::imageButtonClicks()
{
    PushButton b;
    b.setImage(QStringLiteral(":/sysButton/Resources/sysButton/min"));
    QSignalSpy spy(&b, &QPushButton::clicked);
    const auto click = [&b](Qt::MouseButton button, QPoint release) {
        QTest::mousePress(&b, button, {}, QPoint(2, 2));
        QTest::mouseRelease(&b, button, {}, release);
    };
    click(Qt::RightButton, {2, 2});
    click(Qt::LeftButton, {b.width() + 5, 2});
    QCOMPARE(spy.count(), 0);
    click(Qt::LeftButton, {2, 2});
    QCOMPARE(spy.count(), 1);
}

void TestWidgets::englishAbout()
{
    QTranslator english;
    QVERIFY(english.load(QStringLiteral(":/Language/Resources/brantel_en.qm")));
    QCoreApplication::installTranslator(&english);
    QWidget parent; // opened over the main window, in a window of its own
    AboutDialog dialog(&parent);
    QCoreApplication::removeTranslator(&english);
    QCOMPARE(child<QLabel>(&dialog, "m_pLabelVersion")->text(),
             QStringLiteral("versions：" BRANTEL_VERSION));
    QVERIFY(child<QLabel>(&dialog, "m_pLabelWebSite")->text().contains(AboutDialog::webSiteUrl()));
    QCOMPARE(AboutDialog::fileVersionQueryPath(0x4, 0x4b0),
             QStringLiteral("\\StringFileInfo\\000404b0\\FileVersion"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog) && dialog.isWindow());
    QTest::mouseClick(child<QPushButton>(&dialog, "m_pPushButtonOK"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
}

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
