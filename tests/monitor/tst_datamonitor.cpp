// The monitor page against the simulated adapter: the two switches and their requests,
// frames through the receive thread into the view and the cache, saving the log, and
// the end of monitoring by closeWatch, removal of the adapter and closing the window.

#include "app/MainWidget.h"
#include "device/CWrapWinUSB.h"
#include "device/DeviceBackends.h"
#include "device/SimulatedAdapter.h"
#include "monitor/DataMonitorWidget.h"
#include "monitor/MonitorReceiver.h"
#include "support/RecordingDialogs.h"
#include "widgets/BrantelResources.h"
#include "widgets/SwitchButton.h"

#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

#include <sys/resource.h>
#include <csignal>

namespace {

void press(SwitchButton *sw)
{
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(sw, &event);
}

SimFirmware::Bytes oneFrame(uint32_t id)
{
    return SimFirmware::frameReport(id, false, false, 0, id, false, {uint8_t(id)});
}

QStringList fileLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {QStringLiteral("<unreadable>")};
    const QString text = QString::fromUtf8(f.readAll());
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

qint64 lineNumber(const QString &line) { return line.left(9).trimmed().toLongLong(); }

} // namespace

class TestDataMonitor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void watchSwitch_data();
    void watchSwitch();
    void closeWatchNeverStarted();
    void offlineSend_data();
    void offlineSend();
    void framesReachViewAndFile();
    void save_data();
    void save();
    void saveTypeChoosesFormat_data();
    void saveTypeChoosesFormat();
    void removalWhileMonitoring();
    void closingWindowWhileMonitoring();

private:
    SwitchButton *monitorSwitch() { return m_page->findChild<SwitchButton *>("m_pWidgetDataWatch"); }
    QTextEdit *view() { return m_page->findChild<QTextEdit *>("m_pTextEditRecords"); }
    QList<int> requestCodes() const;
    // Monitoring on with `transfers` queued, and all of them shown.
    void monitorQueued(int transfers);

    std::shared_ptr<SimFirmware> m_device;
    std::unique_ptr<CWrapWinUSB> m_link;
    std::unique_ptr<DataMonitorWidget> m_page;
};

void TestDataMonitor::initTestCase()
{
    initBrantelResources();
    DeviceBackends::registerBuiltins();
    QVERIFY(DeviceBackends::select(DeviceBackends::simulatedName()));
}

void TestDataMonitor::init()
{
    m_device = SimRegistry::instance().add();
    m_link = std::make_unique<CWrapWinUSB>(std::make_unique<SimBackend>());
    m_page = std::make_unique<DataMonitorWidget>(m_link.get());
}

void TestDataMonitor::cleanup()
{
    m_page.reset(); // joins the receive thread before the link goes
    m_link.reset();
    SimRegistry::instance().clear();
    m_device.reset();
}

QList<int> TestDataMonitor::requestCodes() const
{
    QList<int> codes;
    for (const SimFirmware::Bytes &r : m_device->requests())
        codes << (r.size() > 1 ? r[1] : -1);
    return codes;
}

void TestDataMonitor::monitorQueued(int transfers)
{
    for (int i = 1; i <= transfers; ++i)
        m_device->queueBulk(oneFrame(uint32_t(i)));
    QVERIFY(m_link->open());
    press(monitorSwitch());
    QTRY_COMPARE_WITH_TIMEOUT(m_page->session().log().runningNumber(), qint64(transfers), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(lineNumber(view()->toPlainText().section(QLatin1Char('\n'), -1)),
                              qint64(transfers), 5000);
}

void TestDataMonitor::watchSwitch_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<int>("faultCode"); // 0: none
    QTest::addColumn<int>("presses");
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<int>("threads");

    QTest::newRow("link closed") << false << 0 << 1 << QList<int>{} << QStringList{"设备未连接"} << 0;
    QTest::newRow("on, off, on") << true << 0 << 3 << QList<int>{0xA2, 0xA3, 0xA2}
                                 << QStringList{} << 1;
    QTest::newRow("failed start") << true << 0xA2 << 1 << QList<int>{0xA2}
                                  << QStringList{"设置失败"} << 1;
}

// Each press toggles the switch; the thread starts at the first switch-on and keeps
// waiting whatever the device answers.
void TestDataMonitor::watchSwitch()
{
    QFETCH(bool, open);
    QFETCH(int, faultCode);
    QFETCH(int, presses);
    QFETCH(QList<int>, codes);
    QFETCH(QStringList, boxes);
    QFETCH(int, threads);

    RecordingDialogs dialogs;
    if (open)
        QVERIFY(m_link->open());
    if (faultCode)
        m_device->scriptFault(uint8_t(faultCode), SimFirmware::Fault::WrongStatus);
    QSignalSpy starts(m_page.get(), &DataMonitorWidget::signalStartWatch);
    for (int i = 0; i < presses; ++i)
        press(monitorSwitch());

    QCOMPARE(requestCodes(), codes);
    QCOMPARE(dialogs.texts(), boxes);
    QCOMPARE(m_page->session().receiver().threadsStarted(), threads);
    QCOMPARE(m_page->session().receiver().isRunning(), threads > 0);
    QCOMPARE(starts.count(), open ? (presses + 1) / 2 : 0);
    QCOMPARE(monitorSwitch()->isChecked(), open && presses % 2 == 1);
}

void TestDataMonitor::closeWatchNeverStarted()
{
    RecordingDialogs dialogs;
    QVERIFY(m_link->open());
    m_page->closeWatch(); // never started
    QCOMPARE(requestCodes(), QList<int>{0xA3});
    QVERIFY(view()->toPlainText().isEmpty());
    QCOMPARE(m_page->session().log().runningNumber(), 0);
    QCOMPARE(m_page->session().receiver().threadsStarted(), 0);

    // After monitoring: the thread is joined, the view, cache and number reset.
    m_link->close();
    monitorQueued(3);
    m_device->clearRequests();
    m_page->closeWatch();
    QCOMPARE(requestCodes(), QList<int>{0xA3});
    QVERIFY(!m_page->session().receiver().isRunning());
    QVERIFY(view()->toPlainText().isEmpty());
    QCOMPARE(m_page->session().log().runningNumber(), 0);
    QVERIFY(m_page->session().log().cache().isEmpty());
    QVERIFY(dialogs.boxes.isEmpty());
}

void TestDataMonitor::offlineSend_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<bool>("initial");
    QTest::addColumn<bool>("fault"); // wrong status in the reply
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<QStringList>("boxes");

    QTest::newRow("on with link closed") << false << false << false << QList<int>{}
                                         << QStringList{"设备未连接"};
    QTest::newRow("press on") << true << false << false << QList<int>{0xA0} << QStringList{};
    QTest::newRow("press off") << true << true << false << QList<int>{0xA1} << QStringList{};
    QTest::newRow("wrong status leaves it on") << true << false << true << QList<int>{0xA0}
                                               << QStringList{"设置离线发送失败"};
    QTest::newRow("failed stop leaves it off") << true << true << true << QList<int>{0xA1}
                                               << QStringList{"设置离线发送失败"};
}

// A press toggles the switch whatever the device answers; with the link closed it
// stays off.
void TestDataMonitor::offlineSend()
{
    QFETCH(bool, open);
    QFETCH(bool, initial);
    QFETCH(bool, fault);
    QFETCH(QList<int>, codes);
    QFETCH(QStringList, boxes);

    RecordingDialogs dialogs;
    auto *sw = m_page->findChild<SwitchButton *>("m_pWidgetOfflineSend");
    sw->setCheckedSilently(initial);
    if (open)
        QVERIFY(m_link->open());
    if (fault)
        m_device->scriptFault(0, SimFirmware::Fault::WrongStatus);
    press(sw);

    const bool on = open && !initial;
    QCOMPARE(requestCodes(), codes);
    QCOMPARE(dialogs.texts(), boxes);
    QCOMPARE(m_page->isOfflineSendOn(), on);
    // The knob comes to rest at the end that matches the state.
    QTRY_VERIFY(!sw->isAnimating());
    QCOMPARE(sw->knobOffset() > 0, on);
}

// 200 one-line transfers with a cache of 100: the view keeps the last 128 lines in
// order, the file gets the last 100.
void TestDataMonitor::framesReachViewAndFile()
{
    RecordingDialogs dialogs;
    QTemporaryDir dir;
    const QString path = dir.filePath("log.txt");
    dialogs.fileAnswers << path;
    m_page->setCacheCount(100);
    monitorQueued(200);

    const QStringList shown = view()->toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(shown.size(), DataMonitorWidget::ViewLines);
    for (int i = 0; i < shown.size(); ++i)
        QCOMPARE(lineNumber(shown[i]), qint64(200 - DataMonitorWidget::ViewLines + 1 + i));
    QCOMPARE(view()->document()->blockCount(), DataMonitorWidget::ViewLines);

    QMetaObject::invokeMethod(m_page.get(), "onPushButtonSaveWatchData");
    QTRY_COMPARE_WITH_TIMEOUT(dialogs.texts(), QStringList{"保存成功"}, 5000);
    QCOMPARE(dialogs.fileCaptions, QStringList{"保存监控数据"});
    // The program's own text comes first (the default); the log formats follow it.
    QCOMPARE(dialogs.fileFilters.size(), 1);
    QCOMPARE(dialogs.fileFilters.first().section(QStringLiteral(";;"), 0, 0), QStringLiteral("TXT文件(*.txt)"));
    const QStringList saved = fileLines(path);
    QCOMPARE(saved.size(), 101); // 100 lines, each ended
    QVERIFY(saved.last().isEmpty());
    for (int i = 0; i < 100; ++i)
        QCOMPARE(saved[i], shown[shown.size() - 100 + i]);
}

void TestDataMonitor::save_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QStringList>("fileAfter"); // the target file's lines afterwards

    QTest::newRow("empty view") << "empty view" << QStringList{"没有监控数据"}
                                << QStringList{"old", ""};
    QTest::newRow("empty cache") << "empty cache" << QStringList{"保存成功"} << QStringList{};
    QTest::newRow("write fails") << "write fails" << QStringList{"写监控数据失败."}
                                 << QStringList{"old", ""};
}

void TestDataMonitor::save()
{
    QFETCH(QString, situation);
    QFETCH(QStringList, boxes);
    QFETCH(QStringList, fileAfter);

    RecordingDialogs dialogs;
    QTemporaryDir dir;
    QString path = dir.filePath("log.txt");
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old\n");
    }
    dialogs.fileAnswers << path;
    if (situation != "empty view")
        monitorQueued(50); // 50 lines of about 80 bytes
    if (situation == "empty cache")
        m_page->setCacheCount(10);

    // A file size limit stands in for a full disk (the process, root included, gets
    // EFBIG instead of a signal).
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    if (situation == "write fails") {
        rlimit small = saved;
        small.rlim_cur = 1000;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    QMetaObject::invokeMethod(m_page.get(), "onPushButtonSaveWatchData");
    QTRY_COMPARE_WITH_TIMEOUT(dialogs.boxes.size(), boxes.size(), 5000);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QStringList texts = dialogs.texts();
    for (QString &t : texts) // the system's part of a failure text varies
        t = t.left(boxes.value(0).size());
    QCOMPARE(texts, boxes);
    if (boxes.value(0).startsWith("写")) {
        QCOMPARE(dialogs.boxes.at(0).kind, Dialogs::Kind::Warning);
        QCOMPARE(dialogs.boxes.at(0).title, QStringLiteral("失败"));
        QVERIFY(dialogs.boxes.at(0).text.size() > boxes.value(0).size());
    }
    QCOMPARE(fileLines(path), fileAfter);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"log.txt"}); // no leftovers
}

void TestDataMonitor::saveTypeChoosesFormat_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("type");    // pattern of the chosen file type; empty: the first
    QTest::addColumn<QString>("written"); // the file that appears
    QTest::addColumn<QByteArray>("start");
    QTest::newRow("text type, .log name") << "m.log" << "*.txt" << "m.log" << QByteArray("1         接收");
    QTest::newRow("text type, no suffix") << "m" << "" << "m" << QByteArray("1         接收");
    QTest::newRow("candump type, no suffix") << "m" << "*.log" << "m.log" << QByteArray("(");
    QTest::newRow("candump type, .txt name") << "m.txt" << "*.log" << "m.txt" << QByteArray("(");
    QTest::newRow("ASC type, no suffix") << "m" << "*.asc" << "m.asc" << QByteArray("date ");
    QTest::newRow("pcapng type, no suffix") << "m" << "*.pcapng" << "m.pcapng"
                                            << QByteArray("\x0a\x0d\x0d\x0a", 4);
}

// The file type chosen in the dialog picks the format whatever the name; a frame format
// adds its suffix to a name that has none.
void TestDataMonitor::saveTypeChoosesFormat()
{
    QFETCH(QString, typed);
    QFETCH(QString, type);
    QFETCH(QString, written);
    QFETCH(QByteArray, start);
    RecordingDialogs dialogs;
    QTemporaryDir dir;
    dialogs.fileAnswers << dir.filePath(typed);
    dialogs.typeAnswers << type;
    monitorQueued(3);
    m_page->onPushButtonSaveWatchData();
    QTRY_COMPARE_WITH_TIMEOUT(dialogs.texts(), QStringList{"保存成功"}, 5000);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{written});
    QFile file(dir.filePath(written));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(start.size()), start);
}

void TestDataMonitor::removalWhileMonitoring()
{
    RecordingDialogs dialogs;
    QVERIFY(m_link->open());
    m_device->setStreamRate(3000);
    press(monitorSwitch());
    QTRY_VERIFY_WITH_TIMEOUT(m_page->session().log().runningNumber() > 100, 5000);
    // As the main window handles a removal: the device goes, the link closes.
    m_device->setPlugged(false);
    m_link->close();
    QTRY_VERIFY_WITH_TIMEOUT(!m_page->session().receiver().isRunning(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(m_page->session().receiver().queuedTransfers(), 0, 5000);
    const qint64 shown = m_page->session().log().runningNumber();
    QTest::qWait(100);
    QCOMPARE(m_page->session().log().runningNumber(), shown);
    QVERIFY(dialogs.boxes.isEmpty());

    // Plugged in and connected again: switching monitoring off and on starts a new
    // thread in place of the ended one, and frames flow again.
    m_device->setPlugged(true);
    QVERIFY(m_link->open());
    press(monitorSwitch());
    press(monitorSwitch());
    QCOMPARE(m_page->session().receiver().threadsStarted(), 2);
    QTRY_VERIFY_WITH_TIMEOUT(m_page->session().log().runningNumber() > shown + 100, 5000);
    QVERIFY(dialogs.boxes.isEmpty());
    m_page.reset();
}

void TestDataMonitor::closingWindowWhileMonitoring()
{
    RecordingDialogs dialogs;
    m_page.reset();
    auto window = std::make_unique<MainWidget>();
    auto *page = window->findChild<DataMonitorWidget *>("DataMonitorWidget");
    QVERIFY(window->link()->open());
    m_device->setStreamRate(3000);
    press(page->findChild<SwitchButton *>("m_pWidgetDataWatch"));
    QTRY_VERIFY_WITH_TIMEOUT(page->session().log().runningNumber() > 100, 5000);
    QVERIFY(page->session().receiver().isRunning());
    window.reset(); // the page and its thread go before the link they borrow
    QVERIFY(dialogs.boxes.isEmpty());
}

QTEST_MAIN(TestDataMonitor)
#include "tst_datamonitor.moc"
