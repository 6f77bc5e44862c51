// Every exchange of the main window against each way the adapter can fail it: no reply,
// a reply too short or too long, a refusing status, and removal while the request is
// out. Each case shows the operation's own message (or none where the window rightly
// carries on), leaves the window usable for the next good exchange, and never holds the
// GUI thread much longer than one exchange time-out. Prints the table it measured.

#include "app/DeviceInfoDialog.h"
#include "app/MainWidget.h"
#include "device/CWrapWinUSB.h"
#include "device/DeviceBackends.h"
#include "device/SimulatedAdapter.h"
#include "monitor/DataMonitorWidget.h"
#include "monitor/MonitorLog.h"
#include "support/RecordingDialogs.h"
#include "widgets/BrantelResources.h"
#include "widgets/SwitchButton.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using Fault = SimFirmware::Fault;
Q_DECLARE_METATYPE(Fault)

namespace {

// The longest gap between ticks of a 10 ms timer: how long the event loop stood still.
class BlockWatch : public QObject {
public:
    BlockWatch()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
        m_timer.start();
        m_clock.start();
    }
    qint64 longestMs() { tick(); return m_longest; }

private:
    void tick()
    {
        m_longest = qMax(m_longest, m_clock.restart());
    }
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

const char *faultName(Fault f)
{
    switch (f) {
    case Fault::NoReply: return "no reply";
    case Fault::ShortReply: return "short reply";
    case Fault::LongReply: return "long reply";
    case Fault::WrongStatus: return "wrong status";
    case Fault::RemoveMidExchange: return "removed";
    default: return "other";
    }
}

// Limit for one case: the 1000 ms exchange time-out with generous slack for a loaded
// machine. A wait per request of a multi-request exchange would overrun it.
constexpr qint64 BlockLimitMs = 1000 + 2500;

} // namespace

class TestFaultCampaign : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();
    void exchange_data();
    void exchange();
    void saveOnAFullDisk_data();
    void saveOnAFullDisk();

private:
    template <typename T> T *child(const char *name)
    {
        T *w = m_window->findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("no child %s", name);
        return w;
    }
    void start();
    QString run(const QString &exchange);
    bool reconnect();

    std::shared_ptr<SimFirmware> m_device;
    std::unique_ptr<MainWidget> m_window;
    QStringList m_table;
};

void TestFaultCampaign::initTestCase()
{
    initBrantelResources();
    DeviceBackends::registerBuiltins();
    QVERIFY(DeviceBackends::select(DeviceBackends::simulatedName()));
}

void TestFaultCampaign::cleanup()
{
    m_window.reset();
    SimRegistry::instance().clear();
    m_device.reset();
}

void TestFaultCampaign::cleanupTestCase()
{
    qInfo().noquote() << "| exchange | fault | result | longest GUI block (ms) |";
    qInfo().noquote() << "|---|---|---|---|";
    for (const QString &line : qAsConst(m_table))
        qInfo().noquote() << line;
}

void TestFaultCampaign::start()
{
    SimFirmware::State state;
    state.offlineRecords.assign(2, SimFirmware::Bytes(21, 0));
    m_device = SimRegistry::instance().add(state);
    m_window = std::make_unique<MainWidget>();
}

bool TestFaultCampaign::reconnect()
{
    if (!m_device->isPlugged())
        m_device->setPlugged(true);
    QLineEdit *name = child<QLineEdit>("m_pLineEditDevName");
    if (!QTest::qWaitFor([&] { return !name->text().isEmpty(); }, 5000))
        return false;
    if (!m_window->isConnected())
        child<QPushButton>("m_pPushButtonConnect")->click();
    return m_window->isConnected();
}

// Starts one exchange the way the user does. Returns what the window shows for the
// exchanges that answer without a message box.
QString TestFaultCampaign::run(const QString &exchange)
{
    if (exchange == QLatin1String("name read")) {
        emit m_window->deviceChanged(0);
        return QString();
    }
    if (exchange == QLatin1String("device information")) {
        int empty = -1;
        QTimer::singleShot(0, this, [&empty] {
            auto *dialog = qobject_cast<DeviceInfoDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            empty = 0;
            for (QLineEdit *field : dialog->findChildren<QLineEdit *>())
                empty += field->text().isEmpty() ? 1 : 0;
            dialog->reject();
        });
        child<QAction>("m_pActionDevInfo")->trigger();
        return empty < 0 ? QStringLiteral("no dialog")
                         : QStringLiteral("no message, the dialog opens with %1 field(s) empty").arg(empty);
    }
    {
        QWidget *w = child<QWidget>(exchange.toLatin1().constData());
        if (auto *button = qobject_cast<QPushButton *>(w))
            button->click();
        else
            QTest::mouseClick(w, Qt::LeftButton);
    }
    return QString();
}

void TestFaultCampaign::exchange_data()
{
    QTest::addColumn<QString>("exchange"); // object name of the control, or a name
    QTest::addColumn<QString>("label");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QStringList>("messages"); // empty: rightly carries on without one
    QTest::addColumn<QString>("note");         // the result column of the printed table

    struct Exchange {
        const char *control;
        const char *label;
        QStringList failed;  // the operation's own message when the adapter fails it
        Fault passes;        // the one fault this exchange rightly takes as an answer
        QStringList passed;  // what it shows then
        const char *why;
    };
    const Fault nothing = Fault::WriteNeverCompletes; // not part of the campaign
    const char *readsLength = "succeeds: a read judges the reply's length, not its status";
    const char *judgesStatus = "succeeds: only the status byte of this reply is judged";
    const QList<Exchange> exchanges = {
        {"name read", "name read", {}, nothing, {}, ""},
        {"m_pPushButtonConnect", "Connect", {QStringLiteral("读取通道个数失败")},
         Fault::WrongStatus, {}, readsLength},
        {"m_pushButtonReadCAN", "Read CAN", {QStringLiteral("获取通道0波特率失败")},
         Fault::WrongStatus, {QStringLiteral("读取成功")}, readsLength},
        {"m_pushButtonWriteCAN", "Write CAN", {QStringLiteral("设置通道0波特率失败")},
         Fault::LongReply, {QStringLiteral("写入成功")}, judgesStatus},
        {"m_pWidgetOfflineModeState", "offline mode", {QStringLiteral("设置离线模式失败.")},
         nothing, {}, ""},
        {"m_pWidgetRelayModel", "relay mode", {QStringLiteral("设置中继失败")}, nothing, {}, ""},
        {"device information", "device information", {}, nothing, {}, ""},
        {"m_pushButtonReadOffline", "Read offline data", {QStringLiteral("读离线数据失败")},
         Fault::WrongStatus, {QStringLiteral("读取成功")}, readsLength},
        {"m_pushButtonWriteOffline", "Write offline data", {QStringLiteral("设置离线数据失败")},
         Fault::LongReply, {QStringLiteral("设置成功")}, judgesStatus},
        {"m_pWidgetDataWatch", "monitoring on", {QStringLiteral("设置失败")}, Fault::LongReply,
         {}, judgesStatus},
        {"m_pWidgetDataWatch", "monitoring off", {QStringLiteral("设置失败")}, Fault::LongReply,
         {}, judgesStatus},
        {"m_pWidgetOfflineSend", "offline send", {QStringLiteral("设置离线发送失败")},
         Fault::LongReply, {}, judgesStatus},
    };
    for (const Exchange &e : exchanges) {
        for (Fault f : {Fault::NoReply, Fault::ShortReply, Fault::LongReply, Fault::WrongStatus,
                        Fault::RemoveMidExchange}) {
            const bool passes = f == e.passes;
            const QStringList messages = passes ? e.passed : e.failed;
            QString note = passes ? QString::fromUtf8(e.why) : messages.join(QLatin1String(" / "));
            if (passes && !messages.isEmpty())
                note += QStringLiteral(" (") + messages.join(QLatin1String(" / ")) + QLatin1Char(')');
            QTest::addRow("%s, %s", e.label, faultName(f))
                << QString::fromLatin1(e.control) << QString::fromLatin1(e.label) << f
                << messages << note;
        }
    }
}

void TestFaultCampaign::exchange()
{
    QFETCH(QString, exchange);
    QFETCH(QString, label);
    QFETCH(Fault, fault);
    QFETCH(QStringList, messages);
    QFETCH(QString, note);
    start();
    const bool connecting = exchange == QLatin1String("m_pPushButtonConnect");
    const bool naming = exchange == QLatin1String("name read");
    if (!connecting && !naming)
        QVERIFY(reconnect());
    if (exchange == QLatin1String("m_pWidgetDataWatch") && label.contains(QLatin1String("off")))
        run(exchange); // monitoring on first, the fault hits switching it off
    m_device->clearRequests();
    RecordingDialogs dialogs;

    m_device->scriptFault(0, fault); // the exchange's first request
    BlockWatch watch;
    QString seen = run(exchange);
    QTest::qWait(50);
    const qint64 blocked = watch.longestMs();
    const QStringList shown = dialogs.texts();
    QVERIFY(!m_device->requests().empty());
    QCOMPARE(shown, messages);
    QVERIFY2(blocked < BlockLimitMs, qPrintable(QString::number(blocked)));
    if (fault == Fault::RemoveMidExchange)
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->isConnected() && m_window->link()->isOpen() == 0, 5000);
    if (naming) {
        QLineEdit *name = child<QLineEdit>("m_pLineEditDevName");
        if (fault == Fault::RemoveMidExchange)
            QTRY_VERIFY_WITH_TIMEOUT(name->text().isEmpty(), 5000);
        seen = name->text().isEmpty() ? QStringLiteral("no message, the name field is emptied")
                                      : QStringLiteral("no message, the name field shows %1")
                                            .arg(name->text());
    }
    m_table << QStringLiteral("| %1 | %2 | %3 | %4 |")
                   .arg(label, QLatin1String(faultName(fault)), note.isEmpty() ? seen : note)
                   .arg(blocked);

    // The window is usable afterwards: it (re)connects and a good exchange goes through
    // with its success message, its requests answered in step.
    m_device->clearFaults();
    QVERIFY(reconnect());
    dialogs.boxes.clear();
    m_device->clearRequests();
    child<QPushButton>("m_pushButtonReadCAN")->click();
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("读取成功")});
    QVERIFY(m_device->requests().size() >= 2);
    QVERIFY(m_window->isConnected());
}

// A save that cannot be written whole (a full disk) keeps the old file as it was, leaves
// no half-written file beside it and says so.
void TestFaultCampaign::saveOnAFullDisk_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("message");
    QTest::newRow("settings") << "m_pPushButtonSavetofile" << "settings.txt"
                              << QStringLiteral("写配置文件失败.");
    const QString monitor = QStringLiteral("写监控数据失败.");
    QTest::newRow("monitor text") << "m_pPushButtonSave" << "monitor.txt" << monitor;
    QTest::newRow("monitor candump") << "m_pPushButtonSave" << "monitor.log" << monitor;
    QTest::newRow("monitor ASC") << "m_pPushButtonSave" << "monitor.asc" << monitor;
    QTest::newRow("monitor pcapng") << "m_pPushButtonSave" << "monitor.pcapng" << monitor;
}

void TestFaultCampaign::saveOnAFullDisk()
{
    QFETCH(QString, button);
    QFETCH(QString, fileName);
    QFETCH(QString, message);
    start();
    QVERIFY(reconnect());
    if (button == QLatin1String("m_pPushButtonSave")) {
        // A few monitored lines to save.
        m_device->setStreamRate(200);
        auto *watch = child<SwitchButton>("m_pWidgetDataWatch");
        QTest::mouseClick(watch, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(m_window->findChild<DataMonitorWidget *>()->session().log().runningNumber() > 20, 5000);
        QTest::mouseClick(watch, Qt::LeftButton);
        QVERIFY(!watch->isChecked());
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(fileName);
    const QByteArray old("kept\n");
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(old);
    }
    RecordingDialogs dialogs;
    dialogs.fileAnswers << path;
    dialogs.typeAnswers << QStringLiteral("*.") + QFileInfo(fileName).suffix(); // as named
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 64; // well below any of these files
    setrlimit(RLIMIT_FSIZE, &small);
    child<QPushButton>(button.toLatin1().constData())->click();
    const bool answered = QTest::qWaitFor([&] { return !dialogs.boxes.isEmpty(); }, 10000);
    setrlimit(RLIMIT_FSIZE, &saved);

    QVERIFY(answered);
    QCOMPARE(dialogs.boxes.size(), 1);
    const QString shown = dialogs.boxes.first().text;
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const bool kept = f.readAll() == old;
    const QStringList files = QDir(dir.path()).entryList(QDir::Files);
    m_table << QStringLiteral("| save %1 | write fails (64-byte file size limit) | %2; %3 | - |")
                   .arg(fileName, shown,
                        kept && files.size() == 1 ? QStringLiteral("old file kept, no stray file")
                                                  : QStringLiteral("FILE DAMAGED"));
    QVERIFY2(shown.startsWith(message), qPrintable(shown));
    QVERIFY(kept);
    QCOMPARE(files, QStringList{fileName});
}

QTEST_MAIN(TestFaultCampaign)
#include "tst_faultcampaign.moc"
