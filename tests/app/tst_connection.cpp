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
#include "offline/OfflineListWidget.h"
#include "support/Child.h"
#include "support/RecordingDialogs.h"
#include "support/Requests.h"
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

using Fault = SimFirmware::Fault;

namespace {

// Two records as the adapter stores them (21 bytes): a data frame on channel 0, interval
// 100, standard 0x123, data 11 22; a remote frame on channel 1, interval 200, extended
// 0x1F000001, no data.
const QByteArray Record1 = QByteArray::fromHex("12A512010200006402000001231122000000000000");
const QByteArray Record2 = QByteArray::fromHex("12A51202020000C8D01F0000010000000000000000");
const QString Ok = QStringLiteral("读取成功");
const QStringList Unchecked{QStringLiteral("*")};
const char *const OfflineSw = "m_pWidgetOfflineModeState";
const char *const RelaySw = "m_pWidgetRelayModel";
const char *const SendSw = "m_pWidgetOfflineSend";
const char *const Info = "device information";

// The window and adapter before a press. Stored: the adapter holds Record1, Record2,
// Record1; Listed: the list shows Record1 and Record2; Full: its room is one row.
enum Before {
    Offline = 1, Relay = 2, Sending = 4, Timed = 8, NotConnected = 16, Stored = 32, Listed = 64,
    Full = 128
};
const QPair<int, const char *> Switches[] = {
    {Offline, OfflineSw}, {Relay, RelaySw}, {Sending, SendSw}};

// control: an object name, or "name read", "device information", "monitoring off"; before:
// Before flags; messages shown; sent: the requests; after: the switches afterwards (Before
// flags), -1 unchecked; shown: the list's rows afterwards or the information dialog's
// fields, empty for the rows as before; fault: none, or scripted for the faultCode request
// (0: the first), on its faultReply-th reply (-1: the second request of that code).
struct Press {
    const char *control;
    int before;
    QStringList messages, sent;
    int after = -1;
    QStringList shown = {};
    Fault fault = Fault::WriteNeverCompletes;
    int faultCode = 0, faultReply = 0;
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
    void settingsFile();

private:
    void start(SimFirmware::State state = {});
    template <typename T> T *c(const char *name) { return child<T>(m_window.get(), name); }
    void press(const char *name);
    bool connectNow();
    QStringList requests() const { return requestsHex(*m_device); }
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

QStringList TestConnection::rows()
{
    QStringList out;
    for (int i = 0; i < list()->rowCount(); ++i) {
        const OfflineFrameRow r = list()->row(i);
        out << QStringLiteral("%1|%2|%3|%4|%5|%6")
                   .arg(r.channal).arg(r.interval).arg(r.remote).arg(r.extended).arg(r.id, r.data);
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
    QCOMPARE(c<QPushButton>("m_pPushButtonConnect")->text(), connected ? "断开连接" : "连接");
    if (!connected)
        return;
    // Channels, modes and the stored list as the adapter reports them.
    const QList<int> shown{c<QTabWidget>("m_pTabWidgetChannal")->count(),
        c<SwitchButton>(OfflineSw)->isChecked(), c<SwitchButton>(RelaySw)->isChecked(),
        c<QComboBox>("m_comboBoxSendType")->currentIndex(), list()->rowCount(), list()->capacity()};
    QCOMPARE(shown, QList<int>({2, 1, 0, 1, 3, 40}));
}

// One press of a control against a prepared window and adapter: the requests it sends,
// the messages it shows, the switches and rows it leaves; then the window must still be
// usable, a good exchange getting its own replies (none left over from the failed one).
void TestConnection::exchange_data()
{
    QTest::addColumn<Press>("p");
    const QString off = "12A1020000", on = "12A0020000";
    // The listed rows as written: no padding after the data, none for a remote frame.
    const QString w1 = "12A512010200006402000001231122", w2 = "12A51202020000C8D01F000001";
    const QString row1 = "0|100|0|0|00 00 01 23|11 22 ", row2 = "1|200|1|1|1f 00 00 01|";
    const QStringList rd{"12A60100"}, clear{off, "12A512" + QString(36, '0')};
    const char *readOff = "m_pushButtonReadOffline", *writeOff = "m_pushButtonWriteOffline";
    const QStringList modeFailed{"设置离线模式失败."}, written{"设置成功"}, notSent{"发送读离线数据请求失败"};
    const QStringList readFailed{"读离线数据失败"}, sendFailed{"设置离线发送失败"};
    const QStringList unconnected{"设备未连接"}, refused{"设置离线数据失败"};
    const QStringList info{"HLW-C2+", "HL261206001", "2.0a", "1.15", "2"};
    const QStringList silent{"HLW-C2+", "HL261206001", "", "1.15", "2"};
    // A write cut short or not written at all is tst_protocol's; here what the window does.
    const Fault status = Fault::WrongStatus, unsent = Fault::WriteFails, mute = Fault::NoReply;
    const Fault cut = Fault::TruncatedReply;
    const int LS = Listed | Stored, SL = Sending | Listed;
    const QList<QPair<const char *, Press>> rows = {
        {"relay on, offline on", {RelaySw, Offline | Timed, {}, {"12B10101", "12A9010100"}, Relay}},
        {"offline on while relay on", {OfflineSw, Relay, {}, {"12A8010000", "12B10100"}, Offline}},
        {"offline off, relay kept", {OfflineSw, Offline | Relay, {}, {"12A9010000"}, Relay}},
        {"relay's follow-up fails",
         {RelaySw, Offline, modeFailed, {"12B10101", "12A9010000"}, Relay, {}, status, 0xA9}},
        {"relay, not connected", {RelaySw, NotConnected, {"设备未连接."}, {}, Relay}},
        {"read: nothing stored", {readOff, Listed, {"离线数据不存在"}, rd}},
        {"read: three records over two rows", {readOff, LS, {Ok}, rd, -1, {row1, row2, row1}}},
        // The second record 20 bytes: the third is left behind.
        {"read: record cut short", {readOff, LS, readFailed, rd, -1, {}, cut, 0xA6, 1}},
        {"read: fewer sent than announced", {readOff, LS, readFailed, rd, -1, {}, mute, 0xA6, 1}},
        {"read: request not written", {readOff, LS, notSent, {}, -1, {}, unsent, 0xA6}},
        {"read, not connected", {readOff, NotConnected | Stored, unconnected, {}}},
        {"write: empty list clears", {writeOff, Sending, written, clear, 0}},
        {"write: sending back on refused",
         {writeOff, SL, sendFailed + written, {off, w1, w2, on}, 0, {}, status, 0xA0}},
        {"write: record 2 refused",
         {writeOff, SL, refused, {off, w1, w2}, 0, {}, status, 0xA5, -1}},
        {"write: first write fails", {writeOff, Listed, {"离线数据设置失败"}, {}, 0, {}, unsent, 0xA5}},
        {"write: more rows than room", {writeOff, SL | Full, {"最多支持1条数据"}, {}, Sending}},
        {"write, not connected", {writeOff, NotConnected, unconnected, {}}},
        {"write after sending off failed",
         {writeOff, Sending, sendFailed + written, Unchecked, -1, {}, unsent, 0xA1}},
        {"information", {Info, 0, {}, Unchecked, -1, info}},
        {"information: hardware silent", {Info, 0, {}, Unchecked, -1, silent, mute, 0x01}},
        {"information, not connected", {Info, NotConnected, unconnected, {}, -1, {}}},
    };
    for (const auto &row : rows)
        QTest::newRow(row.first) << row.second;

    // Each exchange's first request failed in each way. A read judges the reply's length,
    // not its status, a write only the status byte: that fault passes as an answer.
    struct Exchange {
        const char *control, *failed;
        Fault passes;
        const char *passed;
    };
    const Fault none = Fault::WriteNeverCompletes;
    const Exchange exchanges[] = {
        {"name read", nullptr, none, nullptr},
        {"m_pPushButtonConnect", "读取通道个数失败", Fault::WrongStatus, nullptr},
        {"m_pushButtonReadCAN", "获取通道0波特率失败", Fault::WrongStatus, "读取成功"},
        {"m_pushButtonWriteCAN", "设置通道0波特率失败", Fault::LongReply, "写入成功"},
        {OfflineSw, "设置离线模式失败.", none, nullptr},
        {RelaySw, "设置中继失败", none, nullptr},
        {Info, nullptr, none, nullptr},
        {readOff, "读离线数据失败", Fault::WrongStatus, "读取成功"},
        {writeOff, "设置离线数据失败", Fault::LongReply, "设置成功"},
        {"m_pWidgetDataWatch", "设置失败", Fault::LongReply, nullptr},
        {"monitoring off", "设置失败", Fault::LongReply, nullptr},
        {SendSw, "设置离线发送失败", Fault::LongReply, nullptr},
    };
    const QPair<Fault, const char *> faults[] = {{Fault::NoReply, "no reply"},
        {Fault::ShortReply, "short reply"}, {Fault::LongReply, "long reply"},
        {Fault::WrongStatus, "wrong status"}, {Fault::RemoveMidExchange, "removed"}};
    for (const Exchange &e : exchanges) {
        const bool connecting = !qstrcmp(e.control, "m_pPushButtonConnect")
                                || !qstrcmp(e.control, "name read");
        for (const auto &f : faults) {
            const char *message = f.first == e.passes ? e.passed : e.failed;
            const QStringList shown = message ? QStringList{message} : QStringList();
            const int before = connecting ? NotConnected | Stored : Stored;
            QTest::addRow("%s, %s", e.control, f.second)
                << Press{e.control, before, shown, Unchecked, -1, Unchecked, f.first};
        }
    }
}

void TestConnection::exchange()
{
    QFETCH(Press, p);
    SimFirmware::State state;
    state.hardwareMajor = 2;
    state.hardwareMinor = 0x0a;
    if (p.before & Stored) {
        for (const QByteArray &r : {Record1, Record2, Record1})
            state.offlineRecords.emplace_back(r.begin(), r.end());
    }
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
    } else if (control == Info) {
        const QStringList names{"DevType", "DevNum", "HardwareVer", "FirmwareVer", "ChannalCount"};
        QTimer::singleShot(0, this, [&fields, names] {
            if (QWidget *dialog = QApplication::activeModalWidget()) {
                for (const QString &name : names)
                    fields << child<QLineEdit>(dialog, qPrintable("m_lineEdit" + name))->text();
                QMetaObject::invokeMethod(dialog, "reject");
            }
        });
        c<QAction>("m_pActionDevInfo")->trigger();
        QCOMPARE(fields.size(), p.before & NotConnected ? 0 : 5); // the dialog opened
        // The count was read at connection, not again.
        QVERIFY(requests().filter(QStringLiteral("1213")).isEmpty());
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
    QLineEdit *name = c<QLineEdit>("m_pLineEditDevName");
    if (p.fault == Fault::RemoveMidExchange) {
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->isConnected() && m_window->link()->isOpen() == 0
                                     && name->text().isEmpty(), 5000);
    }

    m_device->clearFaults();
    if (!m_device->isPlugged())
        m_device->setPlugged(true);
    QTRY_VERIFY_WITH_TIMEOUT(!name->text().isEmpty(), 5000);
    QVERIFY(m_window->isConnected() || connectNow());
    dialogs.boxes.clear();
    m_device->clearRequests();
    press("m_pushButtonReadCAN");
    QCOMPARE(dialogs.texts(), QStringList{Ok});
    QCOMPARE(requests(), (QStringList{"12A40100", "12AA0100", "12A40101", "12AA0101"}));
}

// The settings file saved over a longer file, then read back in variants: channel objects
// go to the pages by position (a longer array's rest is ignored, a shorter one leaves the
// remaining pages as they were); no "SendType" means cycle send, a value other than 0 or 1
// changes nothing. A refused save or read shows one warning and leaves the file, the
// folder, the send type and the rows as they were. Saves cut short are tst_session's.
void TestConnection::settingsFile()
{
    SimFirmware::State state;
    state.offlineRecords.assign(3, SimFirmware::Bytes(21, 0));
    start(state);
    RecordingDialogs dialogs;
    press("m_pPushButtonSavetofile");
    QCOMPARE(dialogs.texts() + dialogs.fileCaptions, QStringList{"设备未连接."});
    QVERIFY(connectNow());
    auto *pages = m_window->findChild<CANParamWidget *>();
    auto *sendType = c<QComboBox>("m_comboBoxSendType");
    pages->page(0)->setBaudRate(QStringLiteral("001C0008"));
    pages->page(1)->setBaudRate(QStringLiteral("00050014"));
    sendType->setCurrentIndex(1);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.txt"));
    const auto act = [&](const char *button, const QString &file, const QByteArray &content) {
        QVERIFY(content.isNull() || writeFile(dir.filePath(file), content));
        dialogs.boxes.clear();
        dialogs.fileAnswers << dir.filePath(file);
        press(button);
        QCOMPARE(dialogs.boxes.size(), 1);
    };
    const char *save = "m_pPushButtonSavetofile", *read = "m_pPushButtonReadfromfile";
    const struct Refusal {
        const char *button, *file;
        QByteArray content; // null: no file
        QString message;
        bool reason; // the system's reason follows the message
    } refusals[] = {
        {save, "missing/s.txt", QByteArray(), "写配置文件失败.", true},
        {read, "r.txt", "{}", "解析配置文件失败.", false},
        {read, "r.txt", R"({"CANParam":[],"SendType":0})", "解析配置文件失败.", false},
        {read, "none.txt", QByteArray(), "打开配置文件失败.", true},
    };
    for (const Refusal &r : refusals) {
        act(r.button, QString::fromLatin1(r.file), r.content);
        const RecordingDialogs::Box box = dialogs.boxes.first();
        QVERIFY2(box.text.startsWith(r.message), qPrintable(box.text));
        QCOMPARE(box.text.size() > r.message.size(), r.reason);
        QVERIFY(box.kind == Dialogs::Kind::Warning && box.title == QStringLiteral("失败"));
        QCOMPARE(readAll(dir.filePath(r.file)), r.content);
        const QStringList left = QDir(dir.path()).entryList(QDir::Files);
        QCOMPARE(left, r.content.isNull() ? QStringList() : QStringList{r.file});
        QFile::remove(dir.filePath(r.file));
        QCOMPARE(sendType->currentIndex(), 1);
        QCOMPARE(list()->rowCount(), 3);
    }

    // Saved over a longer file: replaced whole.
    act(save, "s.txt", QByteArray(5000, 'z'));
    QCOMPARE(dialogs.texts(), QStringList{"保存成功"});
    QCOMPARE(dialogs.fileCaptions.last() + dialogs.fileFilters.last(), "保存配置TXT文件(*.txt)");
    const QJsonObject root = QJsonDocument::fromJson(readAll(path)).object();
    QCOMPARE(root.value(QStringLiteral("CANParam")).toArray().size(), 2);
    QCOMPARE(root.value(QStringLiteral("SendType")).toInt(), 1);

    const QString a = "0x001C0008", b = "0x00050014", cleared = "0x00000000";
    const QByteArray A = R"({"BaudRate":"0x001C0008"})", B = R"({"BaudRate":"0x00050014"})";
    const struct Step {
        QByteArray channals;
        const char *type; // null: no "SendType"
        int before;
        QStringList pages;
        int after;
    } steps[] = {
        {'[' + A + ',' + B + ']', "1", 0, {a, b}, 1},
        {'[' + B + ']', nullptr, 1, {b, cleared}, 0},
        {'[' + A + ',' + B + ',' + B + ']', "2", 1, {a, b}, 1},
    };
    for (const Step &s : steps) {
        QByteArray json = R"({"OfflineDatas":[],"CANParam":)" + s.channals;
        json += s.type ? QByteArray(R"(,"SendType":)") + s.type + '}' : QByteArray("}");
        pages->page(0)->resetDefaults();
        pages->page(1)->setBaudRate(QStringLiteral("00000000"));
        sendType->setCurrentIndex(s.before);
        act(read, "s.txt", json);
        QCOMPARE(dialogs.texts(), QStringList{Ok});
        QCOMPARE(QStringList({pages->page(0)->registerText(), pages->page(1)->registerText()}),
                 s.pages);
        QCOMPARE(sendType->currentIndex(), s.after);
    }
    QCOMPARE(dialogs.fileCaptions.last(), QStringLiteral("打开配置"));
}

QTEST_MAIN(TestConnection)
#include "tst_connection.moc"
