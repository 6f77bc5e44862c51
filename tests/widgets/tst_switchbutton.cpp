// The animated switch: knob travel, step sizes, and when checkedChanged is emitted.

#include "widgets/SwitchButton.h"

#include <QSignalSpy>
#include <QtTest>

namespace {
// `ticks`: each way, including the last one, which stops the timer.
using S = SwitchButton;
struct Slide { S::ButtonStyle style; QSize size; int end; int step; int ticks; };
// `knob`: where the knob comes to rest.
struct Set { bool initial; bool value; bool silently; int emits; int knob; };

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
Q_DECLARE_METATYPE(Slide)
Q_DECLARE_METATYPE(Set)

class TestSwitchButton : public QObject {
    Q_OBJECT
private slots:
    void pressSlides_data();
    void pressSlides();
    void setChecked_data();
    void setChecked();
};

void TestSwitchButton::pressSlides_data()
{
    QTest::addColumn<Slide>("s");
    QTest::newRow("rectangle, odd width") << Slide{S::ButtonStyleRect, {101, 30}, 51, 2, 27};
    QTest::newRow("inset 100x30") << Slide{S::ButtonStyleInset, {100, 30}, 72, 2, 37};
    QTest::newRow("pill, step overshoots") << Slide{S::ButtonStylePill, {150, 40}, 110, 3, 38};
    QTest::newRow("image keeps its target") << Slide{S::ButtonStyleImage, {60, 24}, 0, 1, 1};
}

// A press (of any button) toggles, says so once and slides the knob to the other end by
// whole steps; the final tick lands exactly on the end.
void TestSwitchButton::pressSlides()
{
    QFETCH(Slide, s);
    SwitchButton sw;
    sw.setButtonStyle(s.style);
    sw.resize(s.size);
    QSignalSpy spy(&sw, &SwitchButton::checkedChanged);
    for (const bool on : {true, false}) {
        QTest::mousePress(&sw, on ? Qt::LeftButton : Qt::RightButton, {}, QPoint(5, 5));
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.takeFirst().at(0).toBool(), on);
        QCOMPARE(sw.step(), s.step);
        const QVector<int> offsets = runAnimation(&sw);
        QCOMPARE(offsets.size(), s.ticks);
        QCOMPARE(offsets.last(), on ? s.end : 0);
        if (s.ticks > 1)
            QCOMPARE(offsets.first(), on ? s.step : s.end - s.step);
    }
}

void TestSwitchButton::setChecked_data()
{
    QTest::addColumn<Set>("s");
    QTest::newRow("on to on") << Set{true, true, false, 0, 36};
    QTest::newRow("off to on") << Set{false, true, false, 1, 30};
    QTest::newRow("silently off to on") << Set{false, true, true, 0, 36};
    QTest::newRow("silently on to off") << Set{true, false, true, 0, 0};
}

// setChecked says so only on a change; setCheckedSilently never does.
void TestSwitchButton::setChecked()
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

QTEST_MAIN(TestSwitchButton)
#include "tst_switchbutton.moc"
