// The device session as the main window runs it against the simulated adapter: connecting
// and its refusals, disconnecting, removal and reconnection, the operating modes, the
// device information dialog, the settings file, the offline transfer, and every exchange
// against each way the adapter can fail it.

#include "app/DeviceInfoDialog.h"
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
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <functional>
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

enum Before { Offline = 1, Relay = 2, Sending = 4, Timed = 8, NotConnected = 16, Stored = 32,
              Listed = 64, Full = 128 };
// Stored: the adapter holds Record1, Record2, Record1; Listed: the list shows Record1 and
// Record2; Full: its room is one row.

struct Press {
    const char *control; // object name; "name read", "device information", "monitoring off"
    int before;          // Before flags: the switches, the send type, what adapter and list hold
    SimFirmware::Fault fault;
    int faultCode;       // 0: the first request
    int faultReply;      // -1: the second request of that code
    QStringList messages;
    QStringList sent;    // the requests; Unchecked where the row is not about them
    int after = -1;      // the switches afterwards; -1 unchecked
    QStringList shown;   // the list's rows afterwards, or the information dialog's fields;
                         // empty: the rows as before
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

// Runs `look` on the modal dialog that opens next, then closes it.
void onNextModal(QObject *context, std::function<void(QWidget *)> look)
{
    QTimer::singleShot(0, context, [look] {
        if (QWidget *dialog = QApplication::activeModalWidget()) {
            look(dialog);
            QMetaObject::invokeMethod(dialog, "reject");
        }
    });
}

} // namespace

Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(Press)

class TestConnection : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void connect_data();
    void connect();
    void fileFailures_data();
    void fileFailures();
    void settingsSaveAndRead();
    void exchange_data();
    void exchange();

private:
    void start(SimFirmware::State state = {});
    template <typename T> T *c(const char *name) { return child<T>(m_window.get(), name); }
    void press(const char *name);
    bool connectNow();
    bool reconnect();
    QStringList requests() const;
    OfflineListWidget *list() { return m_window->findChild<OfflineListWidget *>(); }
    ChannalPageWidget *page(int i) { return m_window->findChild<CANParamWidget *>()->page(i); }
    SwitchButton *offlineSwitch() { return c<SwitchButton>("m_pWidgetOfflineModeState"); }
    SwitchButton *relaySwitch() { return c<SwitchButton>("m_pWidgetRelayModel"); }
    QComboBox *sendType() { return c<QComboBox>("m_comboBoxSendType"); }
    int offlineRows() { return c<QTableWidget>("m_pTableWidgetOfflineData")->rowCount(); }
    int channalTabs() { return c<QTabWidget>("m_pTabWidgetChannal")->count(); }
    QStringList rows();

    std::shared_ptr<SimFirmware> m_device;
    std::unique_ptr<MainWidget> m_window;
};

void TestConnection::initTestCase()
{
    initBrantelResources();
    DeviceBackends::registerBuiltins();
    QVERIFY(DeviceBackends::select(DeviceBackends::simulatedName()));
}

void TestConnection::cleanup()
{
    m_window.reset();
    SimRegistry::instance().clear();
    m_device.reset();
}

void TestConnection::start(SimFirmware::State state)
{
    m_device = SimRegistry::instance().add(state);
    m_window = std::make_unique<MainWidget>();
    m_device->clearRequests(); // the name read at start-up
}

void TestConnection::press(const char *name)
{
    QWidget *w = c<QWidget>(name);
    if (auto *button = qobject_cast<QPushButton *>(w))
        button->click();
    else
        QTest::mouseClick(w, Qt::LeftButton);
}

bool TestConnection::connectNow()
{
    press("m_pPushButtonConnect");
    m_device->clearRequests();
    return m_window->isConnected();
}

bool TestConnection::reconnect()
{
    if (!m_device->isPlugged())
        m_device->setPlugged(true);
    QLineEdit *name = c<QLineEdit>("m_pLineEditDevName");
    if (!QTest::qWaitFor([name] { return !name->text().isEmpty(); }, 5000))
        return false;
    return m_window->isConnected() || connectNow();
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
        out << QStringLiteral("%1|%2|%3|%4|%5|%6").arg(r.channal).arg(r.interval).arg(r.remote)
                   .arg(r.extended).arg(r.id, r.data);
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
    QTest::newRow("firmware 1.14") << "HLW-C2+" << 0x114 << refused;
    QTest::newRow("firmware 1.0a") << "HLW-C2+" << 0x10a << refused;
    QTest::newRow("firmware 1.15") << "HLW-C2+" << 0x115 << QString();
    QTest::newRow("firmware 2.00") << "HLW-C2+" << 0x200 << QString();
}

void TestConnection::connect()
{
    QFETCH(QString, deviceType);
    QFETCH(int, firmware);
    QFETCH(QString, message);
    SimFirmware::State state;
    if (!deviceType.isNull())
        state.deviceType = deviceType.toStdString();
    state.firmwareMajor = uint8_t(firmware >> 8);
    state.firmwareMinor = uint8_t(firmware);
    state.offlineMode = true;
    state.sendType = 1;
    state.capacity = 40;
    state.offlineRecords.assign(3, SimFirmware::Bytes(21, 0));
    start(state);
    if (deviceType.isNull())
        c<QLineEdit>("m_pLineEditDevName")->clear();
    RecordingDialogs dialogs;
    press("m_pPushButtonConnect");
    const bool connected = message.isEmpty();
    QCOMPARE(requests(), connected ? QStringList({"12130100", "12A70100"}) : QStringList());
    QCOMPARE(dialogs.texts(), connected ? QStringList() : QStringList{message});
    QCOMPARE(m_window->isConnected(), connected);
    QCOMPARE(m_window->link()->isOpen() != 0, connected);
    QCOMPARE(c<QPushButton>("m_pPushButtonConnect")->text(),
             connected ? QStringLiteral("断开连接") : QStringLiteral("连接"));
    if (!connected)
        return;
    QCOMPARE(c<QTabWidget>("m_pTabWidgetChannal")->count(), 2);
    QVERIFY(offlineSwitch()->isChecked() && !relaySwitch()->isChecked());
    QCOMPARE(sendType()->currentIndex(), 1);
    QCOMPARE(list()->rowCount(), 3);
    QCOMPARE(list()->capacity(), 40);
}

// Refusals of the settings file and saves that cannot be written whole (a full disk, made
// by a file size limit): one message, the old file kept, no stray file beside it, the
// window's send type and rows untouched.
void TestConnection::fileFailures_data()
{
    QTest::addColumn<QString>("fileName"); // in a scratch folder; "-": not connected
    QTest::addColumn<QByteArray>("content"); // what the file holds before; null: no file
    QTest::addColumn<int>("sizeLimit");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("systemText"); // the system's reason follows the message
    const QByteArray none, kept("kept\n");
    const QString parse = QStringLiteral("解析配置文件失败."), monitor = QStringLiteral("写监控数据失败.");
    const QString write = QStringLiteral("写配置文件失败.");
    QTest::newRow("save, not connected") << "-" << none << 0 << QStringLiteral("设备未连接.") << false;
    QTest::newRow("empty object") << "read.txt" << QByteArray("{}") << 0 << parse << false;
    QTest::newRow("no OfflineDatas") << "read.txt" << QByteArray(R"({"CANParam":[],"SendType":0})")
                                     << 0 << parse << false;
    QTest::newRow("missing file") << "read.txt" << none << 0 << QStringLiteral("打开配置文件失败.")
                                  << true;
    QTest::newRow("save into a missing folder") << "missing/s.txt" << none << 0 << write << true;
    QTest::newRow("settings, disk full") << "s.txt" << kept << 64 << write << true;
    for (const char *name : {"monitor.txt", "monitor.log", "monitor.asc", "monitor.pcapng"})
        QTest::addRow("%s, disk full", name) << name << kept << 64 << monitor << true;
}

void TestConnection::fileFailures()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    QFETCH(int, sizeLimit);
    QFETCH(QString, message);
    QFETCH(bool, systemText);
    SimFirmware::State state;
    state.offlineRecords.assign(3, SimFirmware::Bytes(21, 0));
    start(state);
    const bool connected = fileName != QLatin1String("-");
    if (connected)
        QVERIFY(connectNow());
    sendType()->setCurrentIndex(1);
    const bool monitor = fileName.startsWith(QLatin1String("monitor"));
    if (monitor) { // a few monitored lines to save
        m_device->setStreamRate(200);
        press("m_pWidgetDataWatch");
        QTRY_VERIFY_WITH_TIMEOUT(m_window->findChild<DataMonitorWidget *>()->session().log()
                                     .runningNumber() > 20, 5000);
        press("m_pWidgetDataWatch");
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(fileName);
    if (!content.isNull())
        QVERIFY(writeFile(path, content));
    RecordingDialogs dialogs;
    dialogs.fileAnswers << path;
    dialogs.typeAnswers << QStringLiteral("*.") + QFileInfo(fileName).suffix();
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = sizeLimit ? rlim_t(sizeLimit) : saved.rlim_cur;
    setrlimit(RLIMIT_FSIZE, &small);
    press(monitor ? "m_pPushButtonSave"
                  : fileName == QLatin1String("read.txt") ? "m_pPushButtonReadfromfile"
                                                          : "m_pPushButtonSavetofile");
    const bool answered = QTest::qWaitFor([&] { return !dialogs.boxes.isEmpty(); }, 10000);
    setrlimit(RLIMIT_FSIZE, &saved);

    QVERIFY(answered);
    QCOMPARE(dialogs.boxes.size(), 1);
    const RecordingDialogs::Box box = dialogs.boxes.first();
    QVERIFY2(box.text.startsWith(message), qPrintable(box.text));
    QCOMPARE(box.text.size() > message.size(), systemText);
    QCOMPARE(dialogs.fileCaptions.isEmpty(), !connected);
    if (connected) {
        QCOMPARE(box.kind, Dialogs::Kind::Warning);
        QCOMPARE(box.title, QStringLiteral("失败"));
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Yes));
    }
    QCOMPARE(readAll(path), content.isNull() ? QByteArray() : content);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), content.isNull() ? QStringList() : QStringList{fileName});
    QCOMPARE(sendType()->currentIndex(), 1);
    QCOMPARE(list()->rowCount(), connected ? 3 : 0);
}

// Saved over a longer file, then read back in variants: channel objects go to the pages
// by position (a longer array's rest is ignored, a shorter one leaves the remaining pages
// as they were); no "SendType" means cycle send, a value other than 0 or 1 changes nothing.
void TestConnection::settingsSaveAndRead()
{
    start();
    QVERIFY(connectNow());
    page(0)->setBaudRate(QStringLiteral("001C0008"));
    page(1)->setBaudRate(QStringLiteral("00050014"));
    const QString a = page(0)->registerText();
    const QString b = page(1)->registerText();
    QVERIFY(a != b);
    sendType()->setCurrentIndex(1);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.txt"));
    QVERIFY(writeFile(path, QByteArray(5000, 'z')));
    RecordingDialogs dialogs;
    dialogs.fileAnswers << path;
    press("m_pPushButtonSavetofile");
    QCOMPARE(dialogs.fileCaptions, QStringList{QStringLiteral("保存配置")});
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("保存成功")});
    const QByteArray text = readAll(path);
    QVERIFY(!text.contains('z'));
    const int keyA = text.indexOf("\"CANParam\"");
    QVERIFY(keyA >= 0 && keyA < text.indexOf("\"OfflineDatas\"")
            && text.indexOf("\"OfflineDatas\"") < text.indexOf("\"SendType\""));
    const QJsonObject root = QJsonDocument::fromJson(text).object();
    const QJsonArray saved = root.value(QStringLiteral("CANParam")).toArray();
    QCOMPARE(saved.size(), 2);

    page(1)->setBaudRate(QStringLiteral("00000000"));
    const QString untouched = page(1)->registerText();
    struct Step { QJsonArray channals; QJsonValue type; int before; QString first, second; int after; };
    const Step steps[] = {{saved, 0, 0, a, b, 1},
                          {QJsonArray{saved.at(1)}, QJsonValue::Undefined, 1, b, untouched, 0},
                          {QJsonArray{saved.at(0), saved.at(1), saved.at(1)}, 2, 1, a, b, 1}};
    for (const Step &s : steps) {
        QJsonObject changed = root;
        changed.insert(QStringLiteral("CANParam"), s.channals);
        if (s.type.isUndefined())
            changed.remove(QStringLiteral("SendType"));
        else if (s.type.toInt() != 0)
            changed.insert(QStringLiteral("SendType"), s.type);
        QVERIFY(writeFile(path, QJsonDocument(changed).toJson()));
        page(0)->resetDefaults();
        page(1)->setBaudRate(QStringLiteral("00000000"));
        sendType()->setCurrentIndex(s.before);
        dialogs.boxes.clear();
        dialogs.fileAnswers << path;
        press("m_pPushButtonReadfromfile");
        QCOMPARE(dialogs.texts(), QStringList{Ok});
        QCOMPARE(page(0)->registerText(), s.first);
        QCOMPARE(page(1)->registerText(), s.second);
        QCOMPARE(sendType()->currentIndex(), s.after);
    }
    QCOMPARE(dialogs.fileCaptions.last(), QStringLiteral("打开配置"));
}

// One press of a control against a prepared window and adapter: the requests it sends,
// the messages it shows, the switches and rows it leaves; then the window must still be
// usable, a good exchange getting its own replies. Rows for the operating modes, the
// offline transfer, and every exchange against each way the adapter can fail it.
void TestConnection::exchange_data()
{
    QTest::addColumn<Press>("p");
    const QString off = QStringLiteral("12A1020000"), on = QStringLiteral("12A0020000");
    // The listed rows as written: no padding after the data, none for a remote frame.
    const QString w1 = QStringLiteral("12A512010200006402000001231122");
    const QString w2 = QStringLiteral("12A51202020000C8D01F000001");
    const QStringList read{"12A60100"}, shown{"0|100|0|0|00 00 01 23|11 22 ",
        "1|200|1|1|1f 00 00 01|", "0|100|0|0|00 00 01 23|11 22 "};
    const char *offline = "m_pWidgetOfflineModeState", *relay = "m_pWidgetRelayModel";
    const char *info = "device information";
    const char *readOffline = "m_pushButtonReadOffline", *writeOffline = "m_pushButtonWriteOffline";
    const QStringList offlineFailed{QStringLiteral("设置离线模式失败.")};
    const QStringList readFailed{QStringLiteral("读离线数据失败")}, written{QStringLiteral("设置成功")};
    const QStringList sendFailed{QStringLiteral("设置离线发送失败")};
    const Fault none = Fault::WriteNeverCompletes; // not scripted in these rows
    const QList<QPair<const char *, Press>> rows = {
        {"offline on, timed send", {offline, Timed, none, 0, 0, {}, {"12A8010100"}, Offline}},
        {"relay on while offline on", {relay, Offline | Timed, none, 0, 0, {}, {"12B10101", "12A9010100"}, Relay}},
        {"offline on while relay on", {offline, Relay, none, 0, 0, {}, {"12A8010000", "12B10100"}, Offline}},
        {"offline off leaves relay alone", {offline, Offline | Relay, none, 0, 0, {}, {"12A9010000"}, Relay}},
        {"offline write cut short", {offline, 0, Fault::PartialWrite, 0, 0, offlineFailed, {"12A80100"}, Offline}},
        {"relay's follow-up fails: its own message, its switch off", {relay, Offline, Fault::WrongStatus,
            0xA9, 0, offlineFailed, {"12B10101", "12A9010000"}, Relay}},
        {"relay, not connected", {relay, NotConnected, none, 0, 0, {QStringLiteral("设备未连接.")}, {}, Relay}},
        {"read: nothing stored", {readOffline, Listed, none, 0, 0, {QStringLiteral("离线数据不存在")}, read}},
        {"read: three records over two rows", {readOffline, Listed | Stored, none, 0, 0, {Ok}, read, -1, shown}},
        {"read: three records over the rows shown at connection", {readOffline, Stored, none, 0, 0, {Ok}, read, -1, shown}},
        {"read: second record 20 bytes, the third left behind", {readOffline, Listed | Stored, Fault::TruncatedReply, 0xA6, 1, readFailed, read}},
        {"read: announces more than it sends", {readOffline, Listed | Stored, Fault::NoReply, 0xA6, 1, readFailed, read}},
        {"read: request not written", {readOffline, Listed | Stored, Fault::WriteFails, 0xA6, 0,
            {QStringLiteral("发送读离线数据请求失败")}, {}}},
        {"read, not connected", {readOffline, NotConnected | Stored, none, 0, 0, {QStringLiteral("设备未连接")}, {}}},
        {"write: empty list clears, switch stays off", {writeOffline, Sending, none, 0, 0, written,
            {off, "12A512" + QString(36, QLatin1Char('0'))}, 0}},
        {"write: two rows, sending off and on around", {writeOffline, Sending | Listed, none, 0, 0,
            written, {off, w1, w2, on}, Sending}},
        {"write: sending back on refused", {writeOffline, Sending | Listed, Fault::WrongStatus, 0xA0, 0,
            sendFailed + written, {off, w1, w2, on}, 0}},
        {"write: second record refused", {writeOffline, Sending | Listed, Fault::WrongStatus, 0xA5, -1,
            {QStringLiteral("设置离线数据失败")}, {off, w1, w2}, 0}},
        {"write: first write fails", {writeOffline, Listed, Fault::WriteFails, 0xA5, 0,
            {QStringLiteral("离线数据设置失败")}, {}, 0}},
        {"write: more rows than room", {writeOffline, Sending | Listed | Full, none, 0, 0,
            {QStringLiteral("最多支持1条数据")}, {}, Sending}},
        {"write, not connected", {writeOffline, NotConnected, none, 0, 0, {QStringLiteral("设备未连接")}, {}}},
        {"information", {info, 0, none, 0, 0, {}, Unchecked, -1, {"HLW-C2+", "HL261206001", "2.0a", "1.15", "2"}}},
        {"information: first write fails", {info, 0, Fault::WriteFails, 0x14, 0, {}, Unchecked, -1, {"", "", "", "", ""}}},
        {"information: hardware silent", {info, 0, Fault::NoReply, 0x01, 0, {}, Unchecked, -1,
            {"HLW-C2+", "HL261206001", "", "1.15", "2"}}},
        {"information: type cut short", {info, 0, Fault::ShortReply, 0x15, 0, {}, Unchecked, -1,
            {"", "HL261206001", "2.0a", "1.15", "2"}}},
        {"information, not connected", {info, NotConnected, none, 0, 0, {QStringLiteral("设备未连接")}, {}, -1, {}}},
        {"Write CAN, register cut short", {"m_pushButtonWriteCAN", 0, Fault::PartialWrite, 0x23, 0,
            {QStringLiteral("设置通道0波特率失败")}, Unchecked}},
        {"offline send on, not written", {"m_pWidgetOfflineSend", 0, Fault::WriteFails, 0xA0, 0, sendFailed, {}}},
        {"write goes on after the sending switch failed", {writeOffline, Sending, Fault::WriteFails, 0xA1, 0,
            sendFailed + written, Unchecked}},
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
        {"m_pWidgetOfflineSend", "设置离线发送失败", Fault::LongReply, nullptr},
    };
    const QPair<Fault, const char *> faults[] = {
        {Fault::NoReply, "no reply"}, {Fault::ShortReply, "short reply"}, {Fault::LongReply, "long reply"},
        {Fault::WrongStatus, "wrong status"}, {Fault::RemoveMidExchange, "removed"}};
    for (const Exchange &e : exchanges) {
        for (const auto &f : faults) {
            const char *message = f.first == e.passes ? e.passed : e.failed;
            const int before = qstrcmp(e.control, "m_pPushButtonConnect") && qstrcmp(e.control, "name read")
                ? Stored : NotConnected | Stored;
            QTest::addRow("%s, %s", e.control, f.second) << Press{e.control, before, f.first, 0, 0,
                message ? QStringList{QString::fromUtf8(message)} : QStringList(), Unchecked, -1, Unchecked};
        }
    }
}

void TestConnection::exchange()
{
    QFETCH(Press, p);
    SimFirmware::State state;
    state.hardwareMajor = 2;
    state.hardwareMinor = 0x0a;
    if (p.before & Stored)
        for (const QByteArray &r : {Record1, Record2, Record1})
            state.offlineRecords.emplace_back(r.begin(), r.end());
    start(state);
    if (!(p.before & NotConnected))
        QVERIFY(connectNow());
    if (p.before & Listed) {
        list()->initList(2, p.before & Full ? 1 : 50, 0);
        list()->fromRecords({Record1, Record2});
    }
    offlineSwitch()->setCheckedSilently(p.before & Offline);
    relaySwitch()->setCheckedSilently(p.before & Relay);
    c<SwitchButton>("m_pWidgetOfflineSend")->setCheckedSilently(p.before & Sending);
    sendType()->setCurrentIndex(p.before & Timed ? 1 : 0);
    QString control = QString::fromLatin1(p.control);
    if (control == QLatin1String("monitoring off")) {
        press("m_pWidgetDataWatch"); // on first; the fault hits switching it off
        control = QStringLiteral("m_pWidgetDataWatch");
    }
    const QStringList before = rows();
    m_device->clearRequests();
    if (p.faultReply < 0)
        m_device->scriptFault(uint8_t(p.faultCode), Fault::NoReply, 99); // spent on the first
    if (p.fault != Fault::WriteNeverCompletes)
        m_device->scriptFault(uint8_t(p.faultCode), p.fault, qMax(0, p.faultReply));
    RecordingDialogs dialogs;
    QStringList fields;
    if (control == QLatin1String("name read")) {
        emit m_window->deviceChanged(0);
    } else if (control == QLatin1String("device information")) {
        onNextModal(this, [&fields](QWidget *dialog) {
            for (const char *name : {"m_lineEditDevType", "m_lineEditDevNum", "m_lineEditHardwareVer",
                                     "m_lineEditFirmwareVer", "m_lineEditChannalCount"})
                fields << child<QLineEdit>(dialog, name)->text();
        });
        c<QAction>("m_pActionDevInfo")->trigger();
    } else {
        press(qPrintable(control));
    }
    QCOMPARE(dialogs.texts(), p.messages);
    if (p.sent != Unchecked)
        QCOMPARE(requests(), p.sent);
    if (p.after >= 0) {
        QCOMPARE(offlineSwitch()->isChecked(), bool(p.after & Offline));
        QCOMPARE(relaySwitch()->isChecked(), bool(p.after & Relay));
        QCOMPARE(c<SwitchButton>("m_pWidgetOfflineSend")->isChecked(), bool(p.after & Sending));
    }
    if (control == QLatin1String("device information")) {
        QCOMPARE(fields.size(), p.before & NotConnected ? 0 : 5); // the dialog opened
        if (p.shown != Unchecked)
            QCOMPARE(fields, p.shown);
        QVERIFY(requests().filter(QStringLiteral("1213")).isEmpty()); // the count read at connection
    } else if (p.shown != Unchecked) {
        QCOMPARE(rows(), p.shown.isEmpty() ? before : p.shown);
    }
    if (p.fault == Fault::RemoveMidExchange)
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->isConnected() && m_window->link()->isOpen() == 0
                                 && c<QLineEdit>("m_pLineEditDevName")->text().isEmpty(), 5000);

    m_device->clearFaults();
    QVERIFY(reconnect());
    dialogs.boxes.clear();
    m_device->clearRequests();
    press("m_pushButtonReadCAN");
    QCOMPARE(dialogs.texts(), QStringList{Ok});
    QCOMPARE(requests(), (QStringList{"12A40100", "12AA0100", "12A40101", "12AA0101"}));
}

QTEST_MAIN(TestConnection)
#include "tst_connection.moc"
