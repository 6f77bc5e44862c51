// The device session as the main window runs it against the simulated adapter: connecting
// and its refusals, the operating modes, the device information dialog, the offline
// transfer, every exchange against each way the adapter can fail it, and the settings
// file. The session as a whole, end to end, is tst_e2e_session.

#include "app/MainWidget.h"
#include "canparam/CANParamWidget.h"
#include "canparam/ChannalPageWidget.h"
#include "device/CWrapWinUSB.h"
#include "device/DeviceBackends.h"
#include "device/SimulatedAdapter.h"
#include "monitor/DataMonitorWidget.h"
#include "monitor/MonitorLog.h"
#include "offline/OfflineListWidget.h"
#include "support/Child.h"
#include "support/RecordingDialogs.h"
#include "widgets/BrantelResources.h"
#include "widgets/SwitchButton.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using Fault = SimFirmware::Fault;

namespace {

// Two records as the adapter stores them (21 bytes): a data frame on channel 0, interval
// 100, standard 0x123, data 11 22; a remote frame on channel 1, interval 200, extended
// 0x1F000001, no data.
const QByteArray Record1 = QByteArray::fromHex("12A512010200006402000001231122000000000000");
const QByteArray Record2 = QByteArray::fromHex("12A51202020000C8D01F0000010000000000000000");
const QString Ok = QStringLiteral("读取成功");
const QStringList Unchecked{QStringLiteral("*")};

// The window and adapter before a press. Stored: the adapter holds Record1, Record2,
// Record1; Listed: the list shows Record1 and Record2; Full: its room is one row.
enum Before { Offline = 1, Relay = 2, Sending = 4, Timed = 8, NotConnected = 16, Stored = 32, Listed = 64, Full = 128 };
const QPair<int, const char *> Switches[] = {
    {Offline, "m_pWidgetOfflineModeState"}, {Relay, "m_pWidgetRelayModel"}, {Sending, "m_pWidgetOfflineSend"}};

// control: an object name, or "name read", "device information", "monitoring off"; before:
// Before flags; fault: WriteNeverCompletes for none, scripted for the faultCode request (0:
// the first), on its faultReply-th reply (-1: the second request of that code); sent: the
// requests; after: the switches afterwards (Before flags), -1 unchecked; shown: the list's
// rows afterwards or the information dialog's fields, empty for the rows as before.
struct Press {
    const char *control;
    int before;
    Fault fault;
    int faultCode, faultReply;
    QStringList messages, sent;
    int after = -1;
    QStringList shown;
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
}

} // namespace

Q_DECLARE_METATYPE(Press)

class TestConnection : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initBrantelResources();
        DeviceBackends::registerBuiltins();
        QVERIFY(DeviceBackends::select(DeviceBackends::simulatedName()));
    }
    void cleanup() { m_window.reset(); SimRegistry::instance().clear(); m_device.reset(); }
    void connect_data();
    void connect();
    void exchange_data();
    void exchange();
    void fileFailures_data();
    void fileFailures();
    void settingsSaveAndRead();

private:
    void start(SimFirmware::State state = {});
    template <typename T> T *c(const char *name) { return child<T>(m_window.get(), name); }
    void press(const char *name);
    bool connectNow() { press("m_pPushButtonConnect"); m_device->clearRequests(); return m_window->isConnected(); }
    QStringList requests() const;
    QStringList rows();
    OfflineListWidget *list() { return m_window->findChild<OfflineListWidget *>(); }

    std::shared_ptr<SimFirmware> m_device;
    std::unique_ptr<MainWidget> m_window;
};

void TestConnection::start(SimFirmware::State state)
{
    m_device = SimRegistry::instance().add(state);
    m_window = std::make_unique<MainWidget>();
    m_device->clearRequests(); // the name read at start-up
}

void TestConnection::press(const char *name)
{
    QWidget *w = c<QWidget>(name);
    qobject_cast<QPushButton *>(w) ? qobject_cast<QPushButton *>(w)->click() : QTest::mouseClick(w, Qt::LeftButton);
}

QStringList TestConnection::requests() const
{
    QStringList out;
    for (const auto &r : m_device->requests())
        out << QByteArray(reinterpret_cast<const char *>(r.data()), int(r.size())).toHex().toUpper();
    return out;
}

QStringList TestConnection::rows()
{
    QStringList out;
    for (int i = 0; i < list()->rowCount(); ++i) {
        const OfflineFrameRow r = list()->row(i);
        out << QStringLiteral("%1|%2|%3|%4|%5|%6").arg(r.channal).arg(r.interval).arg(r.remote).arg(r.extended).arg(r.id, r.data);
    }
    return out;
}

void TestConnection::connect_data()
{
    QTest::addColumn<QString>("deviceType");
    QTest::addColumn<int>("firmware"); // major * 256 + minor
    QTest::addColumn<QString>("message"); // empty: connected
    const QString refused = QStringLiteral("程序不支持此硬件");
    QTest::newRow("no name") << QString() << 0x115 << QStringLiteral("设备不存在");
    QTest::newRow("type without +") << "HLW-C21" << 0x115 << refused;
    QTest::newRow("+ before the end and at it") << "HLW+C2+" << 0x115 << refused;
    for (int firmware : {0x114, 0x10a, 0x115, 0x200})
        QTest::addRow("firmware %x", firmware) << "HLW-C2+" << firmware << (firmware < 0x115 ? refused : QString());
}

void TestConnection::connect()
{
    QFETCH(QString, deviceType); QFETCH(int, firmware); QFETCH(QString, message);
    SimFirmware::State state;
    state.deviceType = deviceType.isNull() ? state.deviceType : deviceType.toStdString();
    std::tie(state.firmwareMajor, state.firmwareMinor) = std::make_pair(uint8_t(firmware >> 8), uint8_t(firmware));
    std::tie(state.offlineMode, state.sendType, state.capacity) = std::make_tuple(true, 1, 40);
    state.offlineRecords.assign(3, SimFirmware::Bytes(21, 0));
    start(state);
    if (deviceType.isNull())
        c<QLineEdit>("m_pLineEditDevName")->clear();
    RecordingDialogs dialogs;
    press("m_pPushButtonConnect");
    const bool connected = message.isEmpty();
    QCOMPARE(requests(), connected ? QStringList({"12130100", "12A70100"}) : QStringList());
    QCOMPARE(dialogs.texts(), connected ? QStringList() : QStringList{message});
    QCOMPARE(qMakePair(m_window->isConnected(), m_window->link()->isOpen() != 0), qMakePair(connected, connected));
    QCOMPARE(c<QPushButton>("m_pPushButtonConnect")->text(), connected ? "断开连接" : "连接");
    if (connected) // channels, modes and the stored list as the adapter reports them
        QCOMPARE(QList<int>({c<QTabWidget>("m_pTabWidgetChannal")->count(), c<SwitchButton>(Switches[0].second)->isChecked(),
                             c<SwitchButton>(Switches[1].second)->isChecked(),
                             c<QComboBox>("m_comboBoxSendType")->currentIndex(), list()->rowCount(), list()->capacity()}),
                 QList<int>({2, 1, 0, 1, 3, 40}));
}

// One press of a control against a prepared window and adapter: the requests it sends,
// the messages it shows, the switches and rows it leaves; then the window must still be
// usable, a good exchange getting its own replies (none left over from the failed one).
void TestConnection::exchange_data()
{
    QTest::addColumn<Press>("p");
    const QString off = QStringLiteral("12A1020000"), on = QStringLiteral("12A0020000");
    // The listed rows as written: no padding after the data, none for a remote frame.
    const QString w1 = QStringLiteral("12A512010200006402000001231122"), w2 = QStringLiteral("12A51202020000C8D01F000001");
    const QStringList read{"12A60100"}, readBack{"0|100|0|0|00 00 01 23|11 22 ", "1|200|1|1|1f 00 00 01|",
                                                 "0|100|0|0|00 00 01 23|11 22 "};
    const char *offline = Switches[0].second, *relay = Switches[1].second, *info = "device information";
    const char *readOffline = "m_pushButtonReadOffline", *writeOffline = "m_pushButtonWriteOffline";
    const QStringList offlineFailed{QStringLiteral("设置离线模式失败.")}, written{QStringLiteral("设置成功")};
    const QStringList readFailed{QStringLiteral("读离线数据失败")}, sendFailed{QStringLiteral("设置离线发送失败")};
    const QStringList unconnected{QStringLiteral("设备未连接")}, readNotSent{QStringLiteral("发送读离线数据请求失败")};
    const QStringList writeRefused{QStringLiteral("设置离线数据失败")}, writeFailed{QStringLiteral("离线数据设置失败")};
    const QStringList tooMany{QStringLiteral("最多支持1条数据")}, baudFailed{QStringLiteral("设置通道0波特率失败")};
    const Fault none = Fault::WriteNeverCompletes;
    const QList<QPair<const char *, Press>> rows = {
        {"relay on while offline on", {relay, Offline | Timed, none, 0, 0, {}, {"12B10101", "12A9010100"}, Relay}},
        {"offline on while relay on", {offline, Relay, none, 0, 0, {}, {"12A8010000", "12B10100"}, Offline}},
        {"offline off leaves relay alone", {offline, Offline | Relay, none, 0, 0, {}, {"12A9010000"}, Relay}},
        {"offline write cut short", {offline, 0, Fault::PartialWrite, 0xA8, 0, offlineFailed, {"12A80100"}, Offline}},
        {"relay's follow-up fails", {relay, Offline, Fault::WrongStatus, 0xA9, 0, offlineFailed, {"12B10101", "12A9010000"}, Relay}},
        {"relay, not connected", {relay, NotConnected, none, 0, 0, {QStringLiteral("设备未连接.")}, {}, Relay}},
        {"read: nothing stored", {readOffline, Listed, none, 0, 0, {QStringLiteral("离线数据不存在")}, read}},
        {"read: three records over two rows", {readOffline, Listed | Stored, none, 0, 0, {Ok}, read, -1, readBack}},
        // The second record 20 bytes: the third is left behind.
        {"read: record cut short", {readOffline, Listed | Stored, Fault::TruncatedReply, 0xA6, 1, readFailed, read}},
        {"read: announces more than it sends", {readOffline, Listed | Stored, Fault::NoReply, 0xA6, 1, readFailed, read}},
        {"read: request not written", {readOffline, Listed | Stored, Fault::WriteFails, 0xA6, 0, readNotSent, {}}},
        {"read, not connected", {readOffline, NotConnected | Stored, none, 0, 0, unconnected, {}}},
        {"write: empty list clears", {writeOffline, Sending, none, 0, 0, written, {off, "12A512" + QString(36, '0')}, 0}},
        {"write: sending back on refused", {writeOffline, Sending | Listed, Fault::WrongStatus, 0xA0, 0, sendFailed + written,
                                            {off, w1, w2, on}, 0}},
        {"write: second record refused", {writeOffline, Sending | Listed, Fault::WrongStatus, 0xA5, -1, writeRefused,
                                          {off, w1, w2}, 0}},
        {"write: first write fails", {writeOffline, Listed, Fault::WriteFails, 0xA5, 0, writeFailed, {}, 0}},
        {"write: more rows than room", {writeOffline, Sending | Listed | Full, none, 0, 0, tooMany, {}, Sending}},
        {"write, not connected", {writeOffline, NotConnected, none, 0, 0, unconnected, {}}},
        {"write after sending off failed", {writeOffline, Sending, Fault::WriteFails, 0xA1, 0, sendFailed + written, Unchecked}},
        {"offline send on, not written", {Switches[2].second, 0, Fault::WriteFails, 0xA0, 0, sendFailed, {}}},
        {"Write CAN, register cut short", {"m_pushButtonWriteCAN", 0, Fault::PartialWrite, 0x23, 0, baudFailed, Unchecked}},
        {"information", {info, 0, none, 0, 0, {}, Unchecked, -1, {"HLW-C2+", "HL261206001", "2.0a", "1.15", "2"}}},
        {"information: first write fails", {info, 0, Fault::WriteFails, 0x14, 0, {}, Unchecked, -1, {"", "", "", "", ""}}},
        {"information: hardware silent", {info, 0, Fault::NoReply, 0x01, 0, {}, Unchecked, -1,
                                          {"HLW-C2+", "HL261206001", "", "1.15", "2"}}},
        {"information: type cut short", {info, 0, Fault::ShortReply, 0x15, 0, {}, Unchecked, -1,
                                         {"", "HL261206001", "2.0a", "1.15", "2"}}},
        {"information, not connected", {info, NotConnected, none, 0, 0, unconnected, {}, -1, {}}},
    };
    for (const auto &row : rows)
        QTest::newRow(row.first) << row.second;

    // Each exchange's first request failed in each way. A read judges the reply's length,
    // not its status, a write only the status byte: that fault passes as an answer.
    struct Exchange { const char *control, *failed; Fault passes; const char *passed; };
    const Exchange exchanges[] = {
        {"name read", nullptr, none, nullptr},
        {"m_pPushButtonConnect", "读取通道个数失败", Fault::WrongStatus, nullptr},
        {"m_pushButtonReadCAN", "获取通道0波特率失败", Fault::WrongStatus, "读取成功"},
        {"m_pushButtonWriteCAN", "设置通道0波特率失败", Fault::LongReply, "写入成功"},
        {offline, "设置离线模式失败.", none, nullptr},
        {relay, "设置中继失败", none, nullptr},
        {info, nullptr, none, nullptr},
        {readOffline, "读离线数据失败", Fault::WrongStatus, "读取成功"},
        {writeOffline, "设置离线数据失败", Fault::LongReply, "设置成功"},
        {"m_pWidgetDataWatch", "设置失败", Fault::LongReply, nullptr},
        {"monitoring off", "设置失败", Fault::LongReply, nullptr},
        {Switches[2].second, "设置离线发送失败", Fault::LongReply, nullptr},
    };
    const QPair<Fault, const char *> faults[] = {{Fault::NoReply, "no reply"}, {Fault::ShortReply, "short reply"},
        {Fault::LongReply, "long reply"}, {Fault::WrongStatus, "wrong status"}, {Fault::RemoveMidExchange, "removed"}};
    for (const Exchange &e : exchanges) {
        const bool connecting = !qstrcmp(e.control, "m_pPushButtonConnect") || !qstrcmp(e.control, "name read");
        for (const auto &f : faults) {
            const char *message = f.first == e.passes ? e.passed : e.failed;
            QTest::addRow("%s, %s", e.control, f.second) << Press{e.control, connecting ? NotConnected | Stored : Stored,
                f.first, 0, 0, message ? QStringList{QString::fromUtf8(message)} : QStringList(), Unchecked, -1, Unchecked};
        }
    }
}

void TestConnection::exchange()
{
    QFETCH(Press, p);
    SimFirmware::State state;
    std::tie(state.hardwareMajor, state.hardwareMinor) = std::make_pair(2, 0x0a);
    for (const QByteArray &r : p.before & Stored ? QList<QByteArray>{Record1, Record2, Record1} : QList<QByteArray>())
        state.offlineRecords.emplace_back(r.begin(), r.end());
    start(state);
    if (!(p.before & NotConnected))
        QVERIFY(connectNow());
    if (p.before & Listed) {
        list()->initList(2, p.before & Full ? 1 : 50, 0);
        list()->fromRecords({Record1, Record2});
    }
    for (const auto &s : Switches)
        c<SwitchButton>(s.second)->setCheckedSilently(p.before & s.first);
    c<QComboBox>("m_comboBoxSendType")->setCurrentIndex(p.before & Timed ? 1 : 0);
    QByteArray control(p.control);
    if (control == "monitoring off") {
        press("m_pWidgetDataWatch"); // on first; the fault hits switching it off
        control = "m_pWidgetDataWatch";
    }
    const QStringList before = rows();
    m_device->clearRequests();
    if (p.faultReply < 0)
        m_device->scriptFault(uint8_t(p.faultCode), Fault::NoReply, 99); // spent on the first
    if (p.fault != Fault::WriteNeverCompletes)
        m_device->scriptFault(uint8_t(p.faultCode), p.fault, qMax(0, p.faultReply));
    RecordingDialogs dialogs;
    QStringList fields;
    if (control == "name read") {
        emit m_window->deviceChanged(0);
    } else if (control == "device information") {
        QTimer::singleShot(0, this, [&fields] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            for (const char *name : {"m_lineEditDevType", "m_lineEditDevNum", "m_lineEditHardwareVer",
                                     "m_lineEditFirmwareVer", "m_lineEditChannalCount"})
                fields << child<QLineEdit>(dialog, name)->text();
            QMetaObject::invokeMethod(dialog, "reject");
        });
        c<QAction>("m_pActionDevInfo")->trigger();
        QCOMPARE(fields.size(), p.before & NotConnected ? 0 : 5); // the dialog opened
        QVERIFY(requests().filter(QStringLiteral("1213")).isEmpty()); // the count read at connection
    } else {
        press(control.constData());
    }
    QCOMPARE(dialogs.texts(), p.messages);
    if (p.sent != Unchecked)
        QCOMPARE(requests(), p.sent);
    for (const auto &s : Switches)
        QVERIFY(p.after < 0 || c<SwitchButton>(s.second)->isChecked() == bool(p.after & s.first));
    if (p.shown != Unchecked)
        QCOMPARE(fields.isEmpty() ? rows() : fields, p.shown.isEmpty() ? before : p.shown);
    if (p.fault == Fault::RemoveMidExchange)
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->isConnected() && m_window->link()->isOpen() == 0
                                 && c<QLineEdit>("m_pLineEditDevName")->text().isEmpty(), 5000);

    m_device->clearFaults();
    if (!m_device->isPlugged())
        m_device->setPlugged(true);
    QLineEdit *name = c<QLineEdit>("m_pLineEditDevName");
    QVERIFY(QTest::qWaitFor([name] { return !name->text().isEmpty(); }, 5000) && (m_window->isConnected() || connectNow()));
    dialogs.boxes.clear();
    m_device->clearRequests();
    press("m_pushButtonReadCAN");
    QCOMPARE(dialogs.texts(), QStringList{Ok});
    QCOMPARE(requests(), (QStringList{"12A40100", "12AA0100", "12A40101", "12AA0101"}));
}

// Refusals of the settings file, and saves that cannot be written whole (a full disk, made
// by a file size limit): one message, the old file kept, no stray file beside it, the
// window's send type and rows untouched.
void TestConnection::fileFailures_data()
{
    QTest::addColumn<QString>("fileName"); // in a scratch folder; "-": not connected
    QTest::addColumn<QByteArray>("content"); // what the file holds before; null: no file
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("systemText"); // the system's reason follows the message
    const QByteArray none, kept("kept\n");
    const QString parse = QStringLiteral("解析配置文件失败."), write = QStringLiteral("写配置文件失败.");
    QTest::newRow("save, not connected") << "-" << none << QStringLiteral("设备未连接.") << false;
    QTest::newRow("empty object") << "read.txt" << QByteArray("{}") << parse << false;
    QTest::newRow("no OfflineDatas") << "read.txt" << QByteArray(R"({"CANParam":[],"SendType":0})") << parse << false;
    QTest::newRow("missing file") << "read.txt" << none << QStringLiteral("打开配置文件失败.") << true;
    QTest::newRow("save into a missing folder") << "missing/s.txt" << none << write << true;
    QTest::newRow("settings, disk full") << "s.txt" << kept << write << true;
    for (const char *name : {"monitor.txt", "monitor.log", "monitor.asc", "monitor.pcapng"})
        QTest::addRow("%s, disk full", name) << name << kept << QStringLiteral("写监控数据失败.") << true;
}

void TestConnection::fileFailures()
{
    QFETCH(QString, fileName); QFETCH(QByteArray, content); QFETCH(QString, message); QFETCH(bool, systemText);
    SimFirmware::State state;
    state.offlineRecords.assign(3, SimFirmware::Bytes(21, 0));
    start(state);
    const bool connected = fileName != QLatin1String("-"), monitor = fileName.startsWith(QLatin1String("monitor"));
    QVERIFY(!connected || connectNow());
    c<QComboBox>("m_comboBoxSendType")->setCurrentIndex(1);
    if (monitor) { // a few monitored lines to save
        m_device->setStreamRate(200);
        press("m_pWidgetDataWatch");
        QTRY_VERIFY_WITH_TIMEOUT(m_window->findChild<DataMonitorWidget *>()->session().log().runningNumber() > 20, 5000);
        press("m_pWidgetDataWatch");
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(fileName);
    QVERIFY(content.isNull() || writeFile(path, content));
    RecordingDialogs dialogs;
    dialogs.fileAnswers << path;
    dialogs.typeAnswers << QStringLiteral("*.") + QFileInfo(fileName).suffix();
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = content.isNull() ? saved.rlim_cur : 64; // below any of these files
    setrlimit(RLIMIT_FSIZE, &small);
    press(monitor ? "m_pPushButtonSave" : fileName == QLatin1String("read.txt") ? "m_pPushButtonReadfromfile"
                                                                              : "m_pPushButtonSavetofile");
    const bool answered = QTest::qWaitFor([&] { return !dialogs.boxes.isEmpty(); }, 10000);
    setrlimit(RLIMIT_FSIZE, &saved);

    QVERIFY(answered);
    QCOMPARE(dialogs.boxes.size(), 1);
    const RecordingDialogs::Box box = dialogs.boxes.first();
    QVERIFY2(box.text.startsWith(message), qPrintable(box.text));
    QCOMPARE(box.text.size() > message.size(), systemText);
    QCOMPARE(dialogs.fileCaptions.isEmpty(), !connected);
    QVERIFY(!connected || (box.kind == Dialogs::Kind::Warning && box.title == QStringLiteral("失败")));
    QCOMPARE(readAll(path), content);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), content.isNull() ? QStringList() : QStringList{fileName});
    QCOMPARE(qMakePair(c<QComboBox>("m_comboBoxSendType")->currentIndex(), list()->rowCount()), qMakePair(1, connected ? 3 : 0));
}

// Saved over a longer file, then read back in variants: channel objects go to the pages
// by position (a longer array's rest is ignored, a shorter one leaves the remaining pages
// as they were); no "SendType" means cycle send, a value other than 0 or 1 changes nothing.
void TestConnection::settingsSaveAndRead()
{
    start();
    QVERIFY(connectNow());
    auto *pages = m_window->findChild<CANParamWidget *>();
    auto *sendType = c<QComboBox>("m_comboBoxSendType");
    pages->page(0)->setBaudRate(QStringLiteral("001C0008"));
    pages->page(1)->setBaudRate(QStringLiteral("00050014"));
    const QString a = pages->page(0)->registerText(), b = pages->page(1)->registerText();
    sendType->setCurrentIndex(1);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.txt"));
    QVERIFY(writeFile(path, QByteArray(5000, 'z')));
    RecordingDialogs dialogs;
    dialogs.fileAnswers << path;
    press("m_pPushButtonSavetofile");
    QCOMPARE(dialogs.fileCaptions + dialogs.fileFilters + dialogs.texts(),
             (QStringList{QStringLiteral("保存配置"), QStringLiteral("TXT文件(*.txt)"), QStringLiteral("保存成功")}));
    const QByteArray text = readAll(path);
    const int keys[] = {text.indexOf("\"CANParam\""), text.indexOf("\"OfflineDatas\""), text.indexOf("\"SendType\"")};
    QVERIFY(!text.contains('z') && keys[0] >= 0 && keys[0] < keys[1] && keys[1] < keys[2]);
    const QJsonObject root = QJsonDocument::fromJson(text).object();
    const QJsonArray saved = root.value(QStringLiteral("CANParam")).toArray();
    QCOMPARE(saved.size(), 2);

    pages->page(1)->setBaudRate(QStringLiteral("00000000"));
    const QString untouched = pages->page(1)->registerText();
    struct Step { QJsonArray channals; QJsonValue type; int before; QString first, second; int after; };
    const Step steps[] = {{saved, 1, 0, a, b, 1}, {QJsonArray{saved.at(1)}, QJsonValue::Undefined, 1, b, untouched, 0},
                          {QJsonArray{saved.at(0), saved.at(1), saved.at(1)}, 2, 1, a, b, 1}};
    for (const Step &s : steps) {
        QJsonObject changed = root;
        changed.insert(QStringLiteral("CANParam"), s.channals);
        changed.insert(QStringLiteral("SendType"), s.type); // Undefined removes the key
        QVERIFY(writeFile(path, QJsonDocument(changed).toJson()));
        pages->page(0)->resetDefaults();
        pages->page(1)->setBaudRate(QStringLiteral("00000000"));
        sendType->setCurrentIndex(s.before);
        dialogs.boxes.clear();
        dialogs.fileAnswers << path;
        press("m_pPushButtonReadfromfile");
        QCOMPARE(dialogs.texts(), QStringList{Ok});
        QCOMPARE(QStringList({pages->page(0)->registerText(), pages->page(1)->registerText()}), QStringList({s.first, s.second}));
        QCOMPARE(sendType->currentIndex(), s.after);
    }
    QCOMPARE(dialogs.fileCaptions.last(), QStringLiteral("打开配置"));
}

QTEST_MAIN(TestConnection)
#include "tst_connection.moc"
