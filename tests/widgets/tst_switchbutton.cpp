// The animated switch: knob travel, step sizes, and when checkedChanged is emitted.

#include "widgets/SwitchButton.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>

namespace {

void press(SwitchButton *sw, Qt::MouseButton button = Qt::LeftButton)
{
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(5, 5), button, button, Qt::NoModifier);
    QApplication::sendEvent(sw, &event);
}

// Runs the animation tick by tick; returns the knob offset after each tick.
QVector<int> runAnimation(SwitchButton *sw)
{
    QVector<int> offsets;
    while (sw->isAnimating() && offsets.size() < 10000) {
        QMetaObject::invokeMethod(sw, "updateValue");
        offsets.append(sw->knobOffset());
    }
    return offsets;
}

} // namespace

class TestSwitchButton : public QObject
{
    Q_OBJECT

private slots:
    void pressSlides_data();
    void pressSlides();
    void programSwitchSlidesOnePixelPerTick();
    void slidesBackWhenUnchecked();
    void timerDrivesTheKnob();
    void pressEmitsNewState_data();
    void pressEmitsNewState();
    void setCheckedSignals_data();
    void setCheckedSignals();
    void setCheckedSilentlyNeverEmits_data();
    void setCheckedSilentlyNeverEmits();
    void resizeSetsStepAndKnob_data();
    void resizeSetsStepAndKnob();
    void programStyle();
};

void TestSwitchButton::pressSlides_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("ticks");  // including the last tick, which stops the timer

    QTest::newRow("pill 60x24") << 1 << QSize(60, 24) << 36 << 1 << 37;
    QTest::newRow("pill 50x21") << 1 << QSize(50, 21) << 29 << 1 << 30;
    QTest::newRow("rectangle 100x30") << 0 << QSize(100, 30) << 50 << 2 << 26;
    QTest::newRow("rectangle, odd width") << 0 << QSize(101, 30) << 51 << 2 << 27;
    QTest::newRow("inset 100x30") << 2 << QSize(100, 30) << 72 << 2 << 37;
    QTest::newRow("pill, step overshoots") << 1 << QSize(150, 40) << 110 << 3 << 38;
    QTest::newRow("pill narrower than 50") << 1 << QSize(40, 20) << 20 << 1 << 21;
    QTest::newRow("image keeps its target") << 3 << QSize(60, 24) << 0 << 1 << 1;
}

void TestSwitchButton::pressSlides()
{
    QFETCH(int, style);
    QFETCH(QSize, size);
    QFETCH(int, end);
    QFETCH(int, step);
    QFETCH(int, ticks);

    SwitchButton sw;
    sw.setButtonStyle(SwitchButton::ButtonStyle(style));
    sw.resize(size);
    press(&sw);
    QVERIFY(sw.isChecked());
    QCOMPARE(sw.targetOffset(), end);
    QCOMPARE(sw.step(), step);
    QVERIFY(sw.isAnimating());

    const QVector<int> offsets = runAnimation(&sw);
    QCOMPARE(offsets.size(), ticks);
    QCOMPARE(offsets.last(), end);
    QVERIFY(!sw.isAnimating());
    int previous = 0;
    for (int i = 0; i + 1 < offsets.size(); ++i) {
        QCOMPARE(offsets[i] - previous, step);
        previous = offsets[i];
    }
}

void TestSwitchButton::programSwitchSlidesOnePixelPerTick()
{
    SwitchButton sw;
    applyProgramSwitchStyle(&sw);
    sw.resize(60, 24);
    press(&sw);

    QVector<int> expected;
    for (int x = 1; x <= 36; ++x)
        expected.append(x);
    expected.append(36);
    QCOMPARE(runAnimation(&sw), expected);
}

void TestSwitchButton::slidesBackWhenUnchecked()
{
    SwitchButton sw;
    applyProgramSwitchStyle(&sw);
    sw.resize(60, 24);
    press(&sw);
    runAnimation(&sw);
    QCOMPARE(sw.knobOffset(), 36);

    press(&sw);
    QVERIFY(!sw.isChecked());
    QCOMPARE(sw.targetOffset(), 0);
    QVector<int> expected;
    for (int x = 35; x >= 0; --x)
        expected.append(x);
    expected.append(0);
    QCOMPARE(runAnimation(&sw), expected);
}

void TestSwitchButton::timerDrivesTheKnob()
{
    SwitchButton sw;
    applyProgramSwitchStyle(&sw);
    sw.resize(60, 24);
    press(&sw);
    QTRY_COMPARE(sw.knobOffset(), 36);
    QTRY_VERIFY(!sw.isAnimating());
}

void TestSwitchButton::pressEmitsNewState_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("left") << int(Qt::LeftButton);
    QTest::newRow("right") << int(Qt::RightButton);
    QTest::newRow("middle") << int(Qt::MiddleButton);
}

void TestSwitchButton::pressEmitsNewState()
{
    QFETCH(int, button);
    SwitchButton sw;
    QSignalSpy spy(&sw, &SwitchButton::checkedChanged);
    press(&sw, Qt::MouseButton(button));
    press(&sw, Qt::MouseButton(button));
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toBool(), true);
    QCOMPARE(spy.at(1).at(0).toBool(), false);
    QVERIFY(!sw.isChecked());
}

void TestSwitchButton::setCheckedSignals_data()
{
    QTest::addColumn<bool>("initial");
    QTest::addColumn<bool>("value");
    QTest::addColumn<int>("emits");
    QTest::newRow("off to off") << false << false << 0;
    QTest::newRow("on to on") << true << true << 0;
    QTest::newRow("off to on") << false << true << 1;
    QTest::newRow("on to off") << true << false << 1;
}

void TestSwitchButton::setCheckedSignals()
{
    QFETCH(bool, initial);
    QFETCH(bool, value);
    QFETCH(int, emits);

    SwitchButton sw;
    sw.resize(60, 24);
    sw.setCheckedSilently(initial);
    runAnimation(&sw);
    const int knob = sw.knobOffset();

    QSignalSpy spy(&sw, &SwitchButton::checkedChanged);
    sw.setChecked(value);
    QCOMPARE(sw.isChecked(), value);
    QCOMPARE(spy.count(), emits);
    if (emits)
        QCOMPARE(spy.at(0).at(0).toBool(), value);
    // setChecked does not animate.
    QVERIFY(!sw.isAnimating());
    QCOMPARE(sw.knobOffset(), knob);
}

void TestSwitchButton::setCheckedSilentlyNeverEmits_data()
{
    QTest::addColumn<bool>("initial");
    QTest::addColumn<bool>("value");
    QTest::addColumn<int>("end");
    QTest::newRow("off to on") << false << true << 36;
    QTest::newRow("on to off") << true << false << 0;
    QTest::newRow("on to on") << true << true << 36;
    QTest::newRow("off to off") << false << false << 0;
}

void TestSwitchButton::setCheckedSilentlyNeverEmits()
{
    QFETCH(bool, initial);
    QFETCH(bool, value);
    QFETCH(int, end);

    SwitchButton sw;
    applyProgramSwitchStyle(&sw);
    sw.resize(60, 24);
    sw.setChecked(initial);
    QSignalSpy spy(&sw, &SwitchButton::checkedChanged);
    sw.setCheckedSilently(value);
    QCOMPARE(sw.isChecked(), value);
    QCOMPARE(sw.targetOffset(), end);
    runAnimation(&sw);
    QCOMPARE(sw.knobOffset(), end);
    QCOMPARE(spy.count(), 0);
}

void TestSwitchButton::resizeSetsStepAndKnob_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("knob");
    QTest::newRow("pill, off") << 1 << false << QSize(90, 30) << 3 << 0;
    QTest::newRow("pill, on") << 1 << true << QSize(90, 30) << 3 << 60;
    QTest::newRow("rectangle, on") << 0 << true << QSize(90, 30) << 3 << 45;
    QTest::newRow("inset, on") << 2 << true << QSize(120, 30) << 4 << 92;
    QTest::newRow("narrower than 30") << 1 << false << QSize(25, 10) << 1 << 0;
}

void TestSwitchButton::resizeSetsStepAndKnob()
{
    QFETCH(int, style);
    QFETCH(bool, checked);
    QFETCH(QSize, size);
    QFETCH(int, step);
    QFETCH(int, knob);

    SwitchButton sw;
    sw.setButtonStyle(SwitchButton::ButtonStyle(style));
    sw.resize(60, 24);
    sw.show();
    QVERIFY(QTest::qWaitForWindowExposed(&sw));
    sw.setChecked(checked);

    sw.resize(size);
    QCOMPARE(sw.step(), step);
    QCOMPARE(sw.knobOffset(), knob);

    // The next press goes back to width / 50.
    press(&sw);
    QCOMPARE(sw.step(), std::max(1, size.width() / 50));
}

void TestSwitchButton::programStyle()
{
    SwitchButton sw;
    applyProgramSwitchStyle(&sw);
    QCOMPARE(sw.buttonStyle(), SwitchButton::ButtonStylePill);
    sw.resize(50, 21);
    sw.setCheckedSilently(true);
    runAnimation(&sw);

    // The pill is drawn in the "on" colours with the white knob at the right end.
    const QImage image = sw.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(QColor(image.pixel(10, 10)), QColor(98, 255, 98));
    QCOMPARE(QColor(image.pixel(39, 10)), QColor(255, 255, 255));
    sw.setCheckedSilently(false);
    runAnimation(&sw);
    const QImage off = sw.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(QColor(off.pixel(39, 10)), QColor(225, 225, 225));
    QCOMPARE(QColor(off.pixel(10, 10)), QColor(100, 100, 100));
}

QTEST_MAIN(TestSwitchButton)
#include "tst_switchbutton.moc"
