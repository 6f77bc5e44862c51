// The monitor page's statistics line on the simulated adapter agrees with what the view
// shows and hides (malformed transfers are counted in tst_dump's summary, the save
// formats in tst_datamonitor). Keeps a screenshot of the streaming page.

#include "device/CWrapWinUSB.h"
#include "device/DeviceBackends.h"
#include "device/SimulatedAdapter.h"
#include "filter/IdFilter.h"
#include "monitor/DataMonitorWidget.h"
#include "monitor/MonitorStatisticsLabel.h"
#include "support/Child.h"
#include "support/RecordingDialogs.h"
#include "widgets/SwitchButton.h"

#include <QDateTime>
#include <QDir>
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

void TestMonitorPageExtras::statisticsWhileStreaming()
{
    auto fw = SimRegistry::instance().add();
    fw->setStreamRate(100); // 200 frames a second, a fifth of them 0x555
    CWrapWinUSB link;
    QVERIFY(link.open());
    IdFilter filter;
    filter.mode = IdFilter::HideListed;
    filter.ranges = {{0x555, 0x555}};
    RecordingDialogs dialogs;
    DataMonitorWidget page(&link);
    page.setIdFilter(filter);
    page.resize(820, 460);
    page.show();
    auto *label = child<MonitorStatisticsLabel>(&page, "m_pLabelStatistics");
    child<SwitchButton>(&page, "m_pWidgetDataWatch")->setChecked(true); // as the user switches monitoring on
    QTRY_VERIFY_WITH_TIMEOUT(page.session().statistics().shownFrames() > 400, 20000);
    const qint64 now = QDateTime::currentMSecsSinceEpoch() * 1000;
    const MonitorStatistics &s = page.session().statistics();
    QCOMPARE(s.shownFrames(), page.session().log().runningNumber());
    QVERIFY(s.filteredFrames() > 0);
    QCOMPARE(s.malformedTransfers(), qint64(0));
    // Demo traffic is spread over both channels; each rate is well above zero and below
    // what was streamed in total (loose bounds: the machine may be slow).
    for (int ch : {0, 1}) {
        QVERIFY2(s.framesPerSecond(ch, now) > 10, qPrintable(QString::number(s.framesPerSecond(ch, now))));
        QVERIFY(s.framesPerSecond(ch, now) < 1000);
    }
    label->refresh();
    QVERIFY2(label->text().contains(QString::number(s.shownFrames())), qPrintable(label->text()));

    QDir().mkpath(QStringLiteral(BRANTEL_SCREENSHOT_DIR));
    page.grab().save(QDir(QStringLiteral(BRANTEL_SCREENSHOT_DIR)).filePath(QStringLiteral("monitor-statistics.png")));

    page.onActionClear();
    QVERIFY(page.session().statistics().shownFrames() < 100); // cleared; streaming goes on
    page.closeWatch();
    QVERIFY(!fw->state().monitoring);
}

QTEST_MAIN(TestMonitorPageExtras)
#include "tst_monitorpage_extras.moc"
