// The monitor's frames-per-second figure from arrival times: whole slots of the last
// second, the shorter time after a clear, and nothing once traffic stopped.

#include "monitor/MonitorStatistics.h"

#include <QtTest>

class TestMonitorStatistics : public QObject {
    Q_OBJECT
private slots:
    void rate_data();
    void rate();
};

void TestMonitorStatistics::rate_data()
{
    // Frames on channel 0 every `periodMicros` from the clear at 10 s until `untilMicros`
    // (exclusive), then the rate asked at `askMicros`.
    QTest::addColumn<qint64>("periodMicros");
    QTest::addColumn<qint64>("untilMicros");
    QTest::addColumn<qint64>("askMicros");
    QTest::addColumn<double>("rate");

    const qint64 t0 = 10000000;
    QTest::newRow("steady 500/s") << qint64(2000) << t0 + 3000000 << t0 + 3000000 << 500.0;
    QTest::newRow("steady 500/s, asked mid-slot") << qint64(2000) << t0 + 3050000 << t0 + 3050000 << 500.0;
    QTest::newRow("half a second after the clear") << qint64(2000) << t0 + 500000 << t0 + 500000 << 500.0;
    QTest::newRow("first slot not yet complete") << qint64(2000) << t0 + 50000 << t0 + 50000 << 0.0;
    QTest::newRow("stopped half a second ago") << qint64(1000) << t0 + 2000000 << t0 + 2500000 << 500.0;
    QTest::newRow("stopped more than a second ago") << qint64(1000) << t0 + 2000000 << t0 + 3100000 << 0.0;
    QTest::newRow("slots of an older second are not counted") << qint64(1000) << t0 + 1000000 << t0 + 2000000 << 0.0;
}

void TestMonitorStatistics::rate()
{
    QFETCH(qint64, periodMicros);
    QFETCH(qint64, untilMicros);
    QFETCH(qint64, askMicros);
    QFETCH(double, rate);

    const qint64 t0 = 10000000;
    MonitorStatistics stats(t0);
    for (qint64 t = t0; t < untilMicros; t += periodMicros)
        stats.addFrame(t, 0, true);
    QCOMPARE(stats.framesPerSecond(0, askMicros), rate);
    QCOMPARE(stats.framesPerSecond(1, askMicros), 0.0);
}

QTEST_APPLESS_MAIN(TestMonitorStatistics)
#include "tst_monitorstatistics.moc"
