// The monitor page's statistics line on the simulated adapter agrees with what the view
// shows and hides (malformed transfers are counted in tst_dump's summary, the save
// formats in tst_datamonitor).

#include "device/CWrapWinUSB.h"
#include "device/DeviceBackends.h"
#include "device/SimulatedAdapter.h"
#include "filter/IdFilter.h"
#include "monitor/DataMonitorWidget.h"
#include "monitor/MonitorStatisticsLabel.h"
#include "support/Child.h"
#include "support/RecordingDialogs.h"
#include "widgets/SwitchButton.h"

#include <QtTest>

class TestMonitorPageExtras : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { SimRegistry::instance().clear(); }
    void statisticsWhileStreaming();
};

void TestMonitorPageExtras::initTestCase()
{
    DeviceBackends::registerBuiltins();
    QVERIFY(DeviceBackends::select(DeviceBackends::simulatedName()));
}

// The rates themselves are pinned with fixed times in tst_monitorstatistics.
void TestMonitorPageExtras::statisticsWhileStreaming()
{
    auto fw = SimRegistry::instance().add();
    fw->setStreamRate(100); // 200 frames a second, a fifth of them 0x555
    CWrapWinUSB link;
    QVERIFY(link.open());
    RecordingDialogs dialogs;
    DataMonitorWidget page(&link);
    page.setIdFilter({IdFilter::HideListed, {{0x555, 0x555}}});
    child<SwitchButton>(&page, "m_pWidgetDataWatch")->setChecked(true); // as the user switches monitoring on
    const MonitorStatistics &s = page.session().statistics();
    QTRY_VERIFY_WITH_TIMEOUT(s.shownFrames() > 400, 20000);
    QCOMPARE(s.shownFrames(), page.session().log().runningNumber());
    QVERIFY(s.filteredFrames() > 0);
    QCOMPARE(s.malformedTransfers(), qint64(0));
    auto *label = child<MonitorStatisticsLabel>(&page, "m_pLabelStatistics");
    label->refresh();
    QVERIFY2(label->text().contains(QString::number(s.shownFrames())), qPrintable(label->text()));
    page.onActionClear();
    QVERIFY(s.shownFrames() < 100); // cleared; streaming goes on
    page.closeWatch();
    QVERIFY(!fw->state().monitoring);
}

QTEST_MAIN(TestMonitorPageExtras)
#include "tst_monitorpage_extras.moc"
