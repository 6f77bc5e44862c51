// The monitor page against the simulated adapter: the two switches and their requests,
// frames through the receive thread into the view and the cache, saving the log,
// closeWatch, the statistics line, and the frames-per-second figure from arrival times
// (whole slots of the last second, the shorter time after a clear, nothing once traffic
// stopped). Removal and closing the window while monitoring run in tst_connection and
// tst_mainwidget.

#include "device/CWrapWinUSB.h"
#include "device/DeviceBackends.h"
#include "device/SimulatedAdapter.h"
#include "monitor/DataMonitorWidget.h"
#include "monitor/MonitorStatistics.h"
#include "monitor/MonitorStatisticsLabel.h"
#include "monitor/MonitorReceiver.h"
#include "support/Child.h"
#include "support/RecordingDialogs.h"
#include "widgets/BrantelResources.h"
#include "widgets/SwitchButton.h"

#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

#include <sys/resource.h>
#include <csignal>

class TestDataMonitor : public QObject {
    Q_OBJECT
    QTextEdit *view() { return child<QTextEdit>(m_page.get(), "m_pTextEditRecords"); }
    const MonitorReceiver &receiver() { return m_page->session().receiver(); }
    static qint64 lineNumber(const QString &line) { return line.left(9).trimmed().toLongLong(); }
    qint64 shown() { return m_page->session().log().runningNumber(); }

    // The command byte of each request, in hex, joined by blanks.
    QString requestCodes() const
    {
        QStringList codes;
        for (const SimFirmware::Bytes &r : m_device->requests())
            codes << QString::number(r.size() > 1 ? r[1] : -1, 16).toUpper();
        return codes.join(' ');
    }

    // Monitoring on with `transfers` one-frame transfers queued, and all of them shown.
    void monitorQueued(int transfers)
    {
        for (uint32_t i = 1; i <= uint32_t(transfers); ++i)
            m_device->queueBulk(
                SimFirmware::frameReport(i, false, false, 0, i, false, {uint8_t(i)}));
        QVERIFY(m_link->open());
        QTest::mouseClick(child<SwitchButton>(m_page.get(), "m_pWidgetDataWatch"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(shown(), qint64(transfers), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(lineNumber(view()->toPlainText().section(QLatin1Char('\n'), -1)),
                                  qint64(transfers), 5000);
    }

    std::shared_ptr<SimFirmware> m_device;
    std::unique_ptr<CWrapWinUSB> m_link;
    std::unique_ptr<DataMonitorWidget> m_page;

private slots:
    void initTestCase()
    {
        std::signal(SIGXFSZ, SIG_IGN);
        initBrantelResources();
        DeviceBackends::registerBuiltins();
        QVERIFY(DeviceBackends::select(DeviceBackends::simulatedName()));
    }

    void init()
    {
        m_device = SimRegistry::instance().add();
        m_link = std::make_unique<CWrapWinUSB>(std::make_unique<SimBackend>());
        m_page = std::make_unique<DataMonitorWidget>(m_link.get());
    }

    void cleanup()
    {
        m_page.reset(); // joins the receive thread before the link goes
        m_link.reset();
        SimRegistry::instance().clear();
        m_device.reset();
    }

    void switches_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("open");
        QTest::addColumn<int>("faultCode"); // answered with a wrong status; 0: none
        QTest::addColumn<int>("presses");
        QTest::addColumn<QString>("codes");
        QTest::addColumn<QString>("boxes"); // joined by "|"
        QTest::addColumn<bool>("on");

        const QString w = "m_pWidgetDataWatch", o = "m_pWidgetOfflineSend";
        const QString closed = "设备未连接", failed = "设置失败", off = "设置离线发送失败";
        QTest::newRow("monitor, link closed") << w << false << 0 << 1 << "" << closed << false;
        QTest::newRow("monitor on, off, on") << w << true << 0 << 3 << "A2 A3 A2" << "" << true;
        QTest::newRow("monitor start refused") << w << true << 0xA2 << 1 << "A2" << failed << true;
        QTest::newRow("offline, link closed") << o << false << 0 << 1 << "" << closed << false;
        QTest::newRow("offline on, off") << o << true << 0 << 2 << "A0 A1" << "" << false;
        // Offline send refused when switched on: TestConnection::exchange.
        QTest::newRow("offline stop refused") << o << true << 0xA1 << 2 << "A0 A1" << off << false;
    }

    // A press toggles a switch whatever the device answers; with the link closed it stays
    // off. The receive thread starts at the first switch-on and keeps waiting.
    void switches()
    {
        QFETCH(QString, name);
        QFETCH(bool, open);
        QFETCH(int, faultCode);
        QFETCH(int, presses);

        RecordingDialogs dialogs;
        if (open)
            QVERIFY(m_link->open());
        if (faultCode)
            m_device->scriptFault(uint8_t(faultCode), SimFirmware::Fault::WrongStatus);
        QSignalSpy starts(m_page.get(), &DataMonitorWidget::signalStartWatch);
        auto *sw = child<SwitchButton>(m_page.get(), qPrintable(name));
        for (int i = 0; i < presses; ++i)
            QTest::mouseClick(sw, Qt::LeftButton);

        QTEST(requestCodes(), "codes");
        QTEST(dialogs.texts().join('|'), "boxes");
        QTEST(sw->isChecked(), "on");
        const bool watch = name == QLatin1String("m_pWidgetDataWatch");
        QCOMPARE(receiver().threadsStarted(), int(watch && open));
        QCOMPARE(starts.count(), watch && open ? (presses + 1) / 2 : 0);
    }

    // 200 one-line transfers with a cache of 100: the view keeps the last 128 lines in
    // order, the file gets the last 100. closeWatch asks the adapter to stop even when
    // monitoring never started; after monitoring it joins the thread and resets the view,
    // the cache and the number.
    void framesReachViewAndFile()
    {
        RecordingDialogs dialogs;
        QVERIFY(m_link->open());
        m_page->closeWatch();
        QCOMPARE(requestCodes(), QStringLiteral("A3"));
        m_link->close();
        QTemporaryDir dir;
        const QString path = dir.filePath("log.txt");
        dialogs.fileAnswers << path;
        m_page->setCacheCount(100);
        monitorQueued(200);

        const QStringList lines = view()->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 128);
        for (int i = 0; i < lines.size(); ++i)
            QCOMPARE(lineNumber(lines[i]), qint64(73 + i));
        auto *label = child<MonitorStatisticsLabel>(m_page.get(), "m_pLabelStatistics");
        label->refresh();
        QVERIFY2(label->text().contains("清空后：200 帧"), qPrintable(label->text()));

        m_page->onPushButtonSaveWatchData();
        QTRY_COMPARE_WITH_TIMEOUT(dialogs.texts(), QStringList{"保存成功"}, 5000);
        QCOMPARE(dialogs.fileCaptions, QStringList{"保存监控数据"});
        // The program's own text comes first (the default); the log formats follow it.
        QCOMPARE(dialogs.fileFilters.value(0).section(";;", 0, 0), "TXT文件(*.txt)");
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), lines.mid(28).join('\n') + '\n');

        m_device->clearRequests();
        m_page->closeWatch();
        QCOMPARE(requestCodes(), QStringLiteral("A3"));
        QVERIFY(!receiver().isRunning());
        QVERIFY(view()->toPlainText().isEmpty());
        QCOMPARE(shown(), 0);
        QCOMPARE(m_page->session().statistics().shownFrames(), qint64(0));
        QVERIFY(m_page->session().log().cache().isEmpty());
        QCOMPARE(dialogs.boxes.size(), 1); // closing says nothing
    }

    void save_data()
    {
        QTest::addColumn<int>("frames");     // transfers monitored; 0: the view stays empty
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("type");   // pattern of the chosen file type; empty: the first
        QTest::addColumn<int>("sizeLimit");  // bytes any file may grow to; 0: none
        QTest::addColumn<QString>("box");    // the start of the one message
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("start"); // of the file written ("old" as it was before)

        // On a full disk: the text writer, and the frame log writer that also writes ASC and
        // pcapng.
        const QString ok = "保存成功", f = "f.txt", fail = "写监控数据失败.";
        QTest::newRow("empty view") << 0 << f << "" << 0 << "没有监控数据" << f << "old\n";
        QTest::newRow("text, disk full") << 50 << f << "*.txt" << 1000 << fail << f << "old\n";
        QTest::newRow("candump, disk full") << 50 << f << "*.log" << 1000 << fail << f << "old\n";
        // The chosen type picks the format whatever the name; a frame format adds its suffix
        // to a name that has none.
        QTest::newRow("text, .log name") << 3 << "m.log" << "*.txt" << 0 << ok << "m.log" << "1 ";
        QTest::newRow("candump, .txt name") << 3 << "m.txt" << "*.log" << 0 << ok << "m.txt" << "(";
        QTest::newRow("ASC") << 3 << "m" << "*.asc" << 0 << ok << "m.asc" << "date ";
        QTest::newRow("pcapng") << 3 << "m" << "*.pcapng" << 0 << ok << "m.pcapng" << "\n\r\r\n";
    }

    void save()
    {
        QFETCH(int, frames);
        QFETCH(QString, typed);
        QFETCH(int, sizeLimit);
        QFETCH(QString, box);
        QFETCH(QString, written);
        QFETCH(QString, start);
        QFETCH(QString, type);

        RecordingDialogs dialogs;
        QTemporaryDir dir;
        QFile old(dir.filePath(typed));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old\n") == 4);
        old.close();
        dialogs.fileAnswers << old.fileName();
        dialogs.typeAnswers << type;
        if (frames)
            monitorQueued(frames);

        // A file size limit stands in for a full disk (the process, root included, gets
        // EFBIG: SIGXFSZ is ignored from the start).
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit small{rlim_t(sizeLimit ? sizeLimit : saved.rlim_cur), saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
        m_page->onPushButtonSaveWatchData();
        QTRY_COMPARE_WITH_TIMEOUT(dialogs.boxes.size(), 1, 5000);
        setrlimit(RLIMIT_FSIZE, &saved);
        const QString text = dialogs.boxes[0].text;
        QCOMPARE(text.left(box.size()), box);
        QCOMPARE(text.size() > box.size(), sizeLimit != 0); // the system's reason
        QStringList files = QDir(dir.path()).entryList(QDir::Files);
        files.removeOne(written);
        QCOMPARE(files, written == typed ? QStringList() : QStringList{typed}); // no leftovers
        QFile file(dir.filePath(written));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLatin1(file.read(start.size())), start);
    }

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
};

QTEST_MAIN(TestDataMonitor)
#include "tst_datamonitor.moc"
