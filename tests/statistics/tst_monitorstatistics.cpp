// The monitor's frames-per-second figure from arrival times (whole slots of the last
// second, the shorter time after a clear, nothing once traffic stopped), and the page's
// statistics line on the simulated adapter agreeing with what the view shows and hides.
// Malformed transfers are counted in tst_dump's summary.

#include "device/CWrapWinUSB.h"
#include "device/DeviceBackends.h"
#include "device/SimulatedAdapter.h"
#include "filter/IdFilter.h"
#include "monitor/DataMonitorWidget.h"
#include "monitor/MonitorStatistics.h"
#include "monitor/MonitorStatisticsLabel.h"
#include "support/Child.h"
#include "support/RecordingDialogs.h"
#include "widgets/SwitchButton.h"

#include <QtTest>

class TestMonitorStatistics : public QObject {
    Q_OBJECT
private slots:
    void rate_data()
    {
        // Frames on channel 0 every `period` µs from the clear at 10 s until `until` ms
        // after it (exclusive), then the rate asked `ask` ms after the clear.
        QTest::addColumn<int>("period");
        QTest::addColumn<int>("until");
        QTest::addColumn<int>("ask");
        QTest::addColumn<double>("rate");
        QTest::newRow("steady 500/s") << 2000 << 3000 << 3000 << 500.0;
        QTest::newRow("steady 500/s, asked mid-slot") << 2000 << 3050 << 3050 << 500.0;
        QTest::newRow("half a second after the clear") << 2000 << 500 << 500 << 500.0;
        QTest::newRow("first slot not yet complete") << 2000 << 50 << 50 << 0.0;
        QTest::newRow("stopped half a second ago") << 1000 << 2000 << 2500 << 500.0;
        QTest::newRow("stopped more than a second ago") << 1000 << 2000 << 3100 << 0.0;
        QTest::newRow("slots of an older second are not counted") << 1000 << 1000 << 2000 << 0.0;
    }

    void rate()
    {
        QFETCH(int, period);
        QFETCH(int, until);
        QFETCH(int, ask);
        const qint64 t0 = 10000000;
        MonitorStatistics stats(t0);
        for (qint64 t = t0; t < t0 + until * 1000; t += period)
            stats.addFrame(t, 0, true);
        QTEST(stats.framesPerSecond(0, t0 + ask * 1000), "rate");
        QCOMPARE(stats.framesPerSecond(1, t0 + ask * 1000), 0.0);
    }

    void whileStreaming()
    {
        DeviceBackends::registerBuiltins();
        QVERIFY(DeviceBackends::select(DeviceBackends::simulatedName()));
        auto fw = SimRegistry::instance().add();
        fw->setStreamRate(100); // 200 frames a second, a fifth of them 0x555
        CWrapWinUSB link;
        QVERIFY(link.open());
        RecordingDialogs dialogs;
        DataMonitorWidget page(&link);
        page.setIdFilter({IdFilter::HideListed, {{0x555, 0x555}}});
        // As the user switches monitoring on.
        child<SwitchButton>(&page, "m_pWidgetDataWatch")->setChecked(true);
        const MonitorStatistics &s = page.session().statistics();
        QTRY_VERIFY_WITH_TIMEOUT(s.shownFrames() > 400, 20000);
        QCOMPARE(s.shownFrames(), page.session().log().runningNumber());
        QVERIFY(s.filteredFrames() > 0);
        QCOMPARE(s.malformedTransfers(), qint64(0));
        auto *label = child<MonitorStatisticsLabel>(&page, "m_pLabelStatistics");
        label->refresh();
        QVERIFY2(label->text().contains(QString::number(s.shownFrames())),
                 qPrintable(label->text()));
        page.onActionClear();
        QVERIFY(s.shownFrames() < 100); // cleared; streaming goes on
    }
};

QTEST_MAIN(TestMonitorStatistics)
#include "tst_monitorstatistics.moc"
