// The monitor page's additions on the simulated adapter: the statistics line agrees
// with what the view shows and hides, and Save Data offers the candump log and ASC
// formats. Keeps a screenshot of the streaming page.

#include "device/CWrapWinUSB.h"
#include "device/DeviceBackends.h"
#include "device/SimulatedAdapter.h"
#include "filter/IdFilter.h"
#include "monitor/DataMonitorWidget.h"
#include "monitor/MonitorStatisticsLabel.h"
#include "support/RecordingDialogs.h"
#include "widgets/SwitchButton.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestMonitorPageExtras : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { SimRegistry::instance().clear(); }
    void statisticsWhileStreaming();
    void malformedTransferAndSaveFormats();
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
    auto *label = page.findChild<MonitorStatisticsLabel *>(QStringLiteral("m_pLabelStatistics"));
    QVERIFY(label);

    auto *watch = page.findChild<SwitchButton *>(QStringLiteral("m_pWidgetDataWatch"));
    QVERIFY(watch);
    watch->setChecked(true); // as the user switches monitoring on
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

// A malformed transfer is counted and dropped; Save Data offers the log formats beside
// the program's text (what each format holds is pinned in tst_monitorformat).
void TestMonitorPageExtras::malformedTransferAndSaveFormats()
{
    auto fw = SimRegistry::instance().add();
    fw->queueBulk(SimFirmware::frameReport(1, false, false, 0, 0x123, false, {1, 2, 3}));
    fw->queueBulk(SimFirmware::Bytes(20, 0)); // malformed: dropped and counted
    fw->queueBulk(SimFirmware::frameReport(3, false, false, 1, 0x7FF, false, {0xAA}));

    CWrapWinUSB link;
    QVERIFY(link.open());
    RecordingDialogs dialogs;
    DataMonitorWidget page(&link);
    page.onSwichButtonDataWatch(true);
    QTRY_COMPARE_WITH_TIMEOUT(page.session().log().runningNumber(), qint64(2), 10000);
    QCOMPARE(page.session().statistics().malformedTransfers(), qint64(1));
    QCOMPARE(page.session().statistics().transfers(), qint64(3));

    QTemporaryDir dir;
    dialogs.fileAnswers << dir.filePath(QStringLiteral("capture.log"));
    page.onPushButtonSaveWatchData();
    QTRY_COMPARE_WITH_TIMEOUT(dialogs.texts(), QStringList{QStringLiteral("保存成功")}, 10000);
    QVERIFY(dialogs.fileFilters.last().contains(QLatin1String("*.log")));
    QVERIFY(dialogs.fileFilters.last().contains(QLatin1String("*.asc")));
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("capture.log"))).size() > 0);
    page.closeWatch();
}

QTEST_MAIN(TestMonitorPageExtras)
#include "tst_monitorpage_extras.moc"
