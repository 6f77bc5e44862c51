// The animated switch: knob travel, step sizes, and when checkedChanged is emitted.

#include "widgets/SwitchButton.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>

namespace {
void press(SwitchButton *sw, Qt::MouseButton button)
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
    QTest::addColumn<int>("style");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("ticks"); // each way, including the last one, which stops the timer
    QTest::newRow("rectangle, odd width") << 0 << QSize(101, 30) << 51 << 2 << 27;
    QTest::newRow("inset 100x30") << 2 << QSize(100, 30) << 72 << 2 << 37;
    QTest::newRow("pill, step overshoots") << 1 << QSize(150, 40) << 110 << 3 << 38;
    QTest::newRow("image keeps its target") << 3 << QSize(60, 24) << 0 << 1 << 1;
}

// A press (of any button) toggles, says so once and slides the knob to the other end by
// whole steps; the final tick lands exactly on the end.
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
    QSignalSpy spy(&sw, &SwitchButton::checkedChanged);
    for (const bool on : {true, false}) {
        press(&sw, on ? Qt::LeftButton : Qt::RightButton);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.takeFirst().at(0).toBool(), on);
        QCOMPARE(sw.step(), step);
        const QVector<int> offsets = runAnimation(&sw);
        QCOMPARE(offsets.size(), ticks);
        QCOMPARE(offsets.last(), on ? end : 0);
        if (ticks > 1)
            QCOMPARE(offsets.first(), on ? step : end - step);
    }
}

void TestSwitchButton::setChecked_data()
{
    QTest::addColumn<bool>("initial");
    QTest::addColumn<bool>("value");
    QTest::addColumn<bool>("silently");
    QTest::addColumn<int>("emits");
    QTest::addColumn<int>("knob"); // where the knob comes to rest
    QTest::newRow("off to off") << false << false << false << 0 << 0;
    QTest::newRow("on to on") << true << true << false << 0 << 36;
    QTest::newRow("off to on") << false << true << false << 1 << 30;
    QTest::newRow("silently off to on") << false << true << true << 0 << 36;
    QTest::newRow("silently on to off") << true << false << true << 0 << 0;
}

// setChecked says so only on a change; setCheckedSilently never does.
void TestSwitchButton::setChecked()
{
    QFETCH(bool, initial);
    QFETCH(bool, value);
    QFETCH(bool, silently);
    QFETCH(int, emits);
    QFETCH(int, knob);
    SwitchButton sw;
    sw.resize(60, 24);
    sw.setCheckedSilently(initial);
    runAnimation(&sw);
    QSignalSpy spy(&sw, &SwitchButton::checkedChanged);
    silently ? sw.setCheckedSilently(value) : sw.setChecked(value);
    QCOMPARE(sw.isChecked(), value);
    QCOMPARE(spy.count(), emits);
    runAnimation(&sw);
    QCOMPARE(sw.knobOffset(), knob);
}

QTEST_MAIN(TestSwitchButton)
#include "tst_switchbutton.moc"
