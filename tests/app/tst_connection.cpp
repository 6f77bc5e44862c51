// The device session as the main window runs it against the simulated adapter:
// connecting and its refusals, disconnecting, removal and reconnection, the operating
// modes, the device information dialog, the settings file and the offline transfer.

#include "app/DeviceInfoDialog.h"
#include "app/MainWidget.h"
#include "canparam/CANParamWidget.h"
#include "canparam/ChannalPageWidget.h"
#include "device/CWrapWinUSB.h"
#include "device/DeviceBackends.h"
#include "device/SimulatedAdapter.h"
#include "monitor/DataMonitorWidget.h"
#include "offline/OfflineFrameRecord.h"
#include "offline/OfflineListWidget.h"
#include "monitor/MonitorLog.h"
#include "support/RecordingDialogs.h"
#include "widgets/BrantelResources.h"
#include "widgets/SwitchButton.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using Fault = SimFirmware::Fault;
Q_DECLARE_METATYPE(Fault)

class TestConnection : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void connect_data();
    void connect();
    void disconnectRemovalAndReconnection();
    void failedNameReadKeepsTheCheckedValues();
    void modeSwitches_data();
    void modeSwitches();
    void deviceInfo_data();
    void deviceInfo();
    void settingsRefusals_data();
    void settingsRefusals();
    void settingsSaveAndRead();
    void defaultsOnlyForShownChannals();
    void staleRepliesAreNotTaken();
    void readOffline_data();
    void readOffline();
    void writeOffline_data();
    void writeOffline();
    void writeFailuresWithoutUnplugging_data();
    void writeFailuresWithoutUnplugging();

private:
    MainWidget *start(const SimFirmware::State &state = {});
    template <typename T> T *child(const char *name)
    {
        T *w = m_window->findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("no child %s", name);
        return w;
    }
    QPushButton *connectButton() { return child<QPushButton>("m_pPushButtonConnect"); }
    SwitchButton *offlineSwitch() { return child<SwitchButton>("m_pWidgetOfflineModeState"); }
    SwitchButton *relaySwitch() { return child<SwitchButton>("m_pWidgetRelayModel"); }
    QComboBox *sendType() { return child<QComboBox>("m_comboBoxSendType"); }
    int offlineRows() { return child<QTableWidget>("m_pTableWidgetOfflineData")->rowCount(); }
    int channalTabs() { return child<QTabWidget>("m_pTabWidgetChannal")->count(); }
    ChannalPageWidget *page(int i) { return m_window->findChild<CANParamWidget *>()->page(i); }
    bool connectNow();
    QStringList requests() const;
    OfflineListWidget *list() { return m_window->findChild<OfflineListWidget *>(); }
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

MainWidget *TestConnection::start(const SimFirmware::State &state)
{
    m_device = SimRegistry::instance().add(state);
    m_window = std::make_unique<MainWidget>();
    m_device->clearRequests(); // the name read at start-up
    return m_window.get();
}

bool TestConnection::connectNow()
{
    connectButton()->click();
    m_device->clearRequests();
    return m_window->isConnected();
}

QStringList TestConnection::requests() const
{
    QStringList out;
    for (const auto &r : m_device->requests())
        out << QByteArray(reinterpret_cast<const char *>(r.data()), int(r.size())).toHex().toUpper();
    return out;
}

void TestConnection::connect_data()
{
    QTest::addColumn<QString>("deviceType");
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("faultCode");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("message"); // empty: connected
    QTest::addColumn<QStringList>("sent");
    const QStringList none;
    const QStringList both{"12130100", "12A70100"};
    const QString unsupported = QStringLiteral("程序不支持此硬件");
    QTest::newRow("no name") << QString() << 1 << 0x15 << 0 << Fault::NoReply
                             << QStringLiteral("设备不存在") << none;
    QTest::newRow("type without +") << "HLW-C21" << 1 << 0x15 << 0 << Fault::NoReply
                                    << unsupported << none;
    QTest::newRow("+ before the end and at it") << "HLW+C2+" << 1 << 0x15 << 0 << Fault::NoReply << unsupported
                           << none;
    QTest::newRow("firmware 1.14") << "HLW-C2+" << 1 << 0x14 << 0 << Fault::NoReply
                                   << unsupported << none;
    QTest::newRow("firmware 1.0a") << "HLW-C2+" << 1 << 0x0a << 0 << Fault::NoReply
                                   << unsupported << none;
    QTest::newRow("firmware 1.09") << "HLW-C2+" << 1 << 0x09 << 0 << Fault::NoReply
                                   << unsupported << none;
    QTest::newRow("firmware 1.15") << "HLW-C2+" << 1 << 0x15 << 0 << Fault::NoReply << QString()
                                   << both;
    QTest::newRow("firmware 1.20") << "HLW-C2+" << 1 << 0x20 << 0 << Fault::NoReply << QString()
                                   << both;
    QTest::newRow("firmware 2.00") << "HLW-C2+" << 2 << 0x00 << 0 << Fault::NoReply << QString()
                                   << both;
    const QString countFailed = QStringLiteral("读取通道个数失败");
    QTest::newRow("count reply 6 bytes") << "HLW-C2+" << 1 << 0x15 << 0x13 << Fault::LongReply
                                         << countFailed << QStringList{"12130100"};
    QTest::newRow("count reply 2 bytes") << "HLW-C2+" << 1 << 0x15 << 0x13 << Fault::ShortReply
                                         << countFailed << QStringList{"12130100"};
    QTest::newRow("mode state short") << "HLW-C2+" << 1 << 0x15 << 0xA7 << Fault::TruncatedReply
                                      << QStringLiteral("获取离线模式数据失败") << both;
}

void TestConnection::connect()
{
    QFETCH(QString, deviceType);
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, faultCode);
    QFETCH(Fault, fault);
    QFETCH(QString, message);
    QFETCH(QStringList, sent);
    SimFirmware::State state;
    if (!deviceType.isNull())
        state.deviceType = deviceType.toStdString();
    state.firmwareMajor = uint8_t(major);
    state.firmwareMinor = uint8_t(minor);
    state.offlineMode = true;
    state.sendType = 1;
    state.capacity = 40;
    state.offlineRecords.assign(3, SimFirmware::Bytes(21, 0));
    start(state);
    if (deviceType.isNull())
        child<QLineEdit>("m_pLineEditDevName")->clear();
    if (faultCode)
        m_device->scriptFault(uint8_t(faultCode), fault);
    RecordingDialogs dialogs;

    connectButton()->click();
    QCOMPARE(requests(), sent);
    const bool connected = message.isEmpty();
    QCOMPARE(dialogs.texts(), connected ? QStringList() : QStringList{message});
    QCOMPARE(m_window->isConnected(), connected);
    QCOMPARE(m_window->link()->isOpen() != 0, connected);
    QCOMPARE(connectButton()->text(), connected ? QStringLiteral("断开连接") : QStringLiteral("连接"));
    if (!connected)
        return;
    QCOMPARE(channalTabs(), 2);
    QVERIFY(offlineSwitch()->isChecked());
    QVERIFY(!relaySwitch()->isChecked());
    QCOMPARE(sendType()->currentIndex(), 1);
    QCOMPARE(offlineRows(), 3);
    QCOMPARE(m_window->findChild<OfflineListWidget *>()->capacity(), 40);
}

// Disconnect; then the adapter pulled while the monitor receives (the link closed under
// the receive thread), plugged in again and reconnected: monitoring shows frames again.
void TestConnection::disconnectRemovalAndReconnection()
{
    SimFirmware::State state;
    state.offlineMode = true;
    state.offlineRecords.assign(3, SimFirmware::Bytes(21, 0));
    start(state);
    RecordingDialogs dialogs;
    QVERIFY(connectNow());
    connectButton()->click(); // disconnect
    QVERIFY(!m_window->isConnected());
    QCOMPARE(m_window->link()->isOpen(), 0);
    QCOMPARE(connectButton()->text(), QStringLiteral("连接"));
    QCOMPARE(channalTabs(), 0);
    QCOMPARE(offlineRows(), 0);
    QVERIFY(offlineSwitch()->isChecked()); // the switches keep their positions

    QVERIFY(connectNow());
    m_device->setStreamRate(200);
    auto *watch = child<SwitchButton>("m_pWidgetDataWatch");
    auto *monitor = m_window->findChild<DataMonitorWidget *>();
    QTest::mouseClick(watch, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(monitor->session().log().runningNumber() > 0, 5000);
    m_device->setPlugged(false);
    QLineEdit *name = child<QLineEdit>("m_pLineEditDevName");
    QTRY_VERIFY_WITH_TIMEOUT(name->text().isEmpty(), 5000);
    QVERIFY(!m_window->isConnected());
    QCOMPARE(m_window->link()->isOpen(), 0);
    QCOMPARE(connectButton()->text(), QStringLiteral("连接"));
    QCOMPARE(channalTabs(), 2); // kept until the next connection
    QCOMPARE(offlineRows(), 3);

    m_device->setPlugged(true);
    QTRY_VERIFY_WITH_TIMEOUT(!name->text().isEmpty(), 5000);
    QVERIFY(connectNow());
    QCOMPARE(channalTabs(), 2);
    QCOMPARE(offlineRows(), 3);
    if (watch->isChecked())
        QTest::mouseClick(watch, Qt::LeftButton);
    const qint64 before = monitor->session().log().runningNumber();
    QTest::mouseClick(watch, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(monitor->session().log().runningNumber() > before, 5000);
    QVERIFY(m_device->state().monitoring);
    QVERIFY(dialogs.boxes.isEmpty());
}

// A name read that fails at arrival keeps the shown name together with the device type
// and firmware version that Connect checks for it.
void TestConnection::failedNameReadKeepsTheCheckedValues()
{
    start();
    QLineEdit *name = child<QLineEdit>("m_pLineEditDevName");
    const QString shown = name->text();
    QVERIFY(!shown.isEmpty());
    for (uint8_t code : {uint8_t(0x14), uint8_t(0x15)}) {
        m_device->scriptFault(code, Fault::NoReply);
        emit m_window->deviceChanged(0);
        QCOMPARE(name->text(), shown);
    }
    RecordingDialogs dialogs;
    QVERIFY(connectNow());
    QVERIFY(dialogs.boxes.isEmpty());
}

void TestConnection::modeSwitches_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<bool>("offlineBefore");
    QTest::addColumn<bool>("relayBefore");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("press");
    QTest::addColumn<int>("faultCode");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<bool>("offlineAfter");
    QTest::addColumn<bool>("relayAfter");
    QTest::addColumn<QStringList>("messages");
    const QStringList quiet;
    const QStringList offlineFailed{QStringLiteral("设置离线模式失败.")};
    const QStringList relayFailed{QStringLiteral("设置中继失败")};
    QTest::newRow("offline on, timed send")
        << true << false << false << 1 << "offline" << 0 << Fault::NoReply
        << QStringList{"12A8010100"} << true << false << quiet;
    QTest::newRow("relay on while offline on")
        << true << true << false << 1 << "relay" << 0 << Fault::NoReply
        << QStringList{"12B10101", "12A9010100"} << false << true << quiet;
    QTest::newRow("offline on while relay on")
        << true << false << true << 0 << "offline" << 0 << Fault::NoReply
        << QStringList{"12A8010000", "12B10100"} << true << false << quiet;
    QTest::newRow("offline off leaves relay alone")
        << true << true << true << 0 << "offline" << 0 << Fault::NoReply
        << QStringList{"12A9010000"} << false << true << quiet;
    QTest::newRow("5-byte reply with 0x81")
        << true << false << false << 0 << "offline" << 0xA8 << Fault::LongReply
        << QStringList{"12A8010000"} << true << false << offlineFailed;
    QTest::newRow("offline write cut short")
        << true << false << false << 0 << "offline" << 0xA8 << Fault::PartialWrite
        << QStringList{"12A80100"} << true << false << offlineFailed;
    QTest::newRow("relay reply lost")
        << true << false << false << 0 << "relay" << 0xB1 << Fault::NoReply
        << QStringList{"12B10101"} << false << true << relayFailed;
    QTest::newRow("follow-up fails: its own message, its switch off")
        << true << true << false << 0 << "relay" << 0xA9 << Fault::WrongStatus
        << QStringList{"12B10101", "12A9010000"} << false << true << offlineFailed;
    QTest::newRow("not connected")
        << false << false << false << 0 << "relay" << 0 << Fault::NoReply
        << QStringList() << false << true << QStringList{QStringLiteral("设备未连接.")};
}

void TestConnection::modeSwitches()
{
    QFETCH(bool, connected);
    QFETCH(bool, offlineBefore);
    QFETCH(bool, relayBefore);
    QFETCH(int, type);
    QFETCH(QString, press);
    QFETCH(int, faultCode);
    QFETCH(Fault, fault);
    QFETCH(QStringList, sent);
    QFETCH(bool, offlineAfter);
    QFETCH(bool, relayAfter);
    QFETCH(QStringList, messages);
    start();
    if (connected)
        QVERIFY(connectNow());
    offlineSwitch()->setCheckedSilently(offlineBefore);
    relaySwitch()->setCheckedSilently(relayBefore);
    sendType()->setCurrentIndex(type);
    if (faultCode)
        m_device->scriptFault(uint8_t(faultCode), fault);
    RecordingDialogs dialogs;

    QTest::mouseClick(press == QLatin1String("relay") ? relaySwitch() : offlineSwitch(),
                      Qt::LeftButton);
    QCOMPARE(requests(), sent);
    QCOMPARE(dialogs.texts(), messages);
    QCOMPARE(offlineSwitch()->isChecked(), offlineAfter);
    QCOMPARE(relaySwitch()->isChecked(), relayAfter);
}

void TestConnection::deviceInfo_data()
{
    QTest::addColumn<int>("faultCode");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QStringList>("fields"); // type, serial, hardware, firmware, channels
    QTest::newRow("all answered") << 0 << Fault::NoReply
                                  << QStringList{"HLW-C2+", "HL261206001", "2.0a", "1.15", "2"};
    QTest::newRow("first write fails") << 0x14 << Fault::WriteFails
                                       << QStringList{"", "", "", "", ""};
    QTest::newRow("hardware silent") << 0x01 << Fault::NoReply
                                     << QStringList{"HLW-C2+", "HL261206001", "", "1.15", "2"};
    QTest::newRow("type cut short") << 0x15 << Fault::ShortReply
                                    << QStringList{"", "HL261206001", "2.0a", "1.15", "2"};
}

void TestConnection::deviceInfo()
{
    QFETCH(int, faultCode);
    QFETCH(Fault, fault);
    QFETCH(QStringList, fields);
    SimFirmware::State state;
    state.hardwareMajor = 2;
    state.hardwareMinor = 0x0a;
    start(state);
    RecordingDialogs dialogs;
    QAction *action = child<QAction>("m_pActionDevInfo");

    action->trigger(); // not connected: no dialog
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("设备未连接")});
    QVERIFY(requests().isEmpty());

    QVERIFY(connectNow());
    // The count shown is the one read at connection, not asked again.
    SimFirmware::State changed = m_device->state();
    changed.channelCount = 1;
    m_device->setState(changed);
    if (faultCode)
        m_device->scriptFault(uint8_t(faultCode), fault);

    QStringList shown;
    QTimer::singleShot(0, this, [&shown] {
        auto *dialog = qobject_cast<DeviceInfoDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        for (const char *name : {"m_lineEditDevType", "m_lineEditDevNum", "m_lineEditHardwareVer",
                                 "m_lineEditFirmwareVer", "m_lineEditChannalCount"})
            shown << dialog->findChild<QLineEdit *>(QLatin1String(name))->text();
        dialog->reject();
    });
    action->trigger();
    QCOMPARE(shown, fields);
    for (const QString &r : requests())
        QVERIFY(!r.startsWith(QLatin1String("1213")));
    QCOMPARE(dialogs.boxes.size(), 1);
}

void TestConnection::settingsRefusals_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<bool>("save");
    QTest::addColumn<QByteArray>("content"); // null: the file does not exist
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("withSystemText");
    const QString notConnected = QStringLiteral("设备未连接.");
    const QString parse = QStringLiteral("解析配置文件失败.");
    QTest::newRow("save, not connected") << false << true << QByteArray() << notConnected << false;
    QTest::newRow("empty object") << true << false << QByteArray("{}") << parse << false;
    QTest::newRow("no OfflineDatas") << true << false
                                     << QByteArray(R"({"CANParam":[],"SendType":0})") << parse
                                     << false;
    QTest::newRow("missing file") << true << false << QByteArray()
                                  << QStringLiteral("打开配置文件失败.") << true;
    QTest::newRow("save into a missing folder") << true << true << QByteArray()
                                                << QStringLiteral("写配置文件失败.") << true;
}

void TestConnection::settingsRefusals()
{
    QFETCH(bool, connected);
    QFETCH(bool, save);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QFETCH(bool, withSystemText);
    SimFirmware::State state;
    state.offlineRecords.assign(3, SimFirmware::Bytes(21, 0));
    start(state);
    if (connected)
        QVERIFY(connectNow());
    sendType()->setCurrentIndex(1);
    QTemporaryDir dir;
    QString path = dir.filePath(save ? QStringLiteral("missing/s.txt") : QStringLiteral("s.txt"));
    if (!content.isNull()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    RecordingDialogs dialogs;
    dialogs.fileAnswers << path;
    child<QPushButton>(save ? "m_pPushButtonSavetofile" : "m_pPushButtonReadfromfile")->click();

    QCOMPARE(dialogs.boxes.size(), 1);
    const RecordingDialogs::Box box = dialogs.boxes.first();
    QVERIFY(box.text.startsWith(message));
    QCOMPARE(box.text.size() > message.size(), withSystemText);
    QCOMPARE(dialogs.fileCaptions.isEmpty(), !connected);
    if (connected) {
        QCOMPARE(box.kind, Dialogs::Kind::Warning);
        QCOMPARE(box.title, QStringLiteral("失败"));
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Yes));
        QCOMPARE(dialogs.fileFilters, QStringList{QStringLiteral("TXT文件(*.txt)")});
    }
    QCOMPARE(sendType()->currentIndex(), 1);
    QCOMPARE(offlineRows(), connected ? 3 : 0);
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
    auto write = [](const QString &file, const QByteArray &content) {
        QFile f(file);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
    };
    QVERIFY(write(path, QByteArray(5000, 'z')));
    RecordingDialogs dialogs;
    dialogs.fileAnswers << path;
    child<QPushButton>("m_pPushButtonSavetofile")->click();
    QCOMPARE(dialogs.fileCaptions, QStringList{QStringLiteral("保存配置")});
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("保存成功")});
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
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
        QVERIFY(write(path, QJsonDocument(changed).toJson()));
        page(0)->resetDefaults();
        page(1)->setBaudRate(QStringLiteral("00000000"));
        sendType()->setCurrentIndex(s.before);
        dialogs.boxes.clear();
        dialogs.fileAnswers << path;
        child<QPushButton>("m_pPushButtonReadfromfile")->click();
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("读取成功")});
        QCOMPARE(page(0)->registerText(), s.first);
        QCOMPARE(page(1)->registerText(), s.second);
        QCOMPARE(sendType()->currentIndex(), s.after);
    }
    QCOMPARE(dialogs.fileCaptions.last(), QStringLiteral("打开配置"));
}

void TestConnection::defaultsOnlyForShownChannals()
{
    start();
    QVERIFY(connectNow());
    RecordingDialogs dialogs;
    QPushButton *defaults = child<QPushButton>("m_pPushButtonDefault");
    page(0)->setBaudRate(QStringLiteral("001C0008"));
    const QString custom = page(0)->registerText();
    defaults->click();
    const QString standard = page(0)->registerText();
    QVERIFY(standard != custom);

    ChannalPageWidget *first = page(0);
    first->setBaudRate(QStringLiteral("001C0008"));
    connectButton()->click(); // disconnect: no tabs shown
    QVERIFY(!page(0));
    m_device->clearRequests();
    defaults->click();
    QCOMPARE(first->registerText(), custom);
    QVERIFY(dialogs.boxes.isEmpty());
    QVERIFY(requests().isEmpty());
}

// After an exchange that stopped at a bad reply, the next one gets its own replies.
void TestConnection::staleRepliesAreNotTaken()
{
    SimFirmware::State state;
    state.offlineRecords.assign(4, SimFirmware::Bytes(21, 0));
    start(state);
    QVERIFY(connectNow());
    RecordingDialogs dialogs;

    m_device->scriptFault(0xB1, Fault::PartialWrite); // answered, but the reply never read
    QTest::mouseClick(relaySwitch(), Qt::LeftButton);
    QTest::mouseClick(offlineSwitch(), Qt::LeftButton);
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("设置中继失败")});

    dialogs.boxes.clear();
    m_device->scriptFault(0xA6, Fault::TruncatedReply, 1); // records 3 and 4 left behind
    QPushButton *read = child<QPushButton>("m_pushButtonReadOffline");
    read->click();
    read->click();
    QCOMPARE(dialogs.texts(), (QStringList{QStringLiteral("读离线数据失败"),
                                           QStringLiteral("读取成功")}));
    QCOMPARE(offlineRows(), 4);
    QVERIFY(read->isEnabled());
}

namespace {

// A distinct frame per index: channels, both frame types, 1 to 8 data bytes.
OfflineFrameRow sampleRow(int i, int dataBytes = 8)
{
    OfflineFrameRow r;
    r.channal = i % 2;
    r.interval = QString::number(100 + i);
    r.extended = i % 2;
    r.id = QStringLiteral("00 00 0%1 %2").arg(i % 8).arg(0x10 + i, 2, 16, QLatin1Char('0'));
    QStringList bytes;
    for (int b = 0; b < dataBytes; ++b)
        bytes << QStringLiteral("%1").arg(0x11 * (b + 1) & 0xFF, 2, 16, QLatin1Char('0'));
    r.data = bytes.join(QLatin1Char(' '));
    return r;
}

QByteArray encoded(const OfflineFrameRow &row, int index, int count)
{
    return encodeOfflineRow(row, index, count).record;
}

// As the device stores and returns it: always 21 bytes.
SimFirmware::Bytes stored(const QByteArray &record)
{
    SimFirmware::Bytes out(record.begin(), record.end());
    out.resize(SimFirmware::OfflineRecordSize, 0x00);
    return out;
}

QString hex(const QByteArray &bytes) { return QString::fromLatin1(bytes.toHex().toUpper()); }

QString rowText(const OfflineFrameRow &r)
{
    return QStringLiteral("%1|%2|%3|%4|%5|%6")
        .arg(r.channal).arg(r.interval).arg(r.remote).arg(r.extended).arg(r.id, r.data);
}

} // namespace

QStringList TestConnection::rows()
{
    QStringList out;
    for (int i = 0; i < list()->rowCount(); ++i)
        out << rowText(list()->row(i));
    return out;
}

void TestConnection::readOffline_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<int>("storedCount");
    QTest::addColumn<int>("rowsBefore");
    QTest::addColumn<int>("faultCode");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("faultReply");
    QTest::addColumn<QString>("message");
    const QString failed = QStringLiteral("读离线数据失败");
    const QString ok = QStringLiteral("读取成功");
    QTest::newRow("nothing stored") << true << 0 << 2 << 0 << Fault::NoReply << 0
                                    << QStringLiteral("离线数据不存在");
    QTest::newRow("3 into 5 rows") << true << 3 << 5 << 0 << Fault::NoReply << 0 << ok;
    QTest::newRow("3 into 1 row") << true << 3 << 1 << 0 << Fault::NoReply << 0 << ok;
    QTest::newRow("second record 20 bytes") << true << 3 << 5 << 0xA6
                                            << Fault::TruncatedReply << 1 << failed;
    QTest::newRow("announces more than it sends") << true << 3 << 5 << 0xA6
                                                  << Fault::NoReply << 2 << failed;
    QTest::newRow("request not written") << true << 3 << 5 << 0xA6 << Fault::WriteFails
                                         << 0 << QStringLiteral("发送读离线数据请求失败");
    QTest::newRow("not connected") << false << 3 << 0 << 0 << Fault::NoReply << 0
                                   << QStringLiteral("设备未连接");
}

void TestConnection::readOffline()
{
    QFETCH(bool, connected);
    QFETCH(int, storedCount);
    QFETCH(int, rowsBefore);
    QFETCH(int, faultCode);
    QFETCH(Fault, fault);
    QFETCH(int, faultReply);
    QFETCH(QString, message);
    SimFirmware::State state;
    QVector<QByteArray> records;
    for (int i = 0; i < storedCount; ++i) {
        QByteArray r = encoded(sampleRow(i), i, storedCount);
        if (i == 0) // a remote frame, DLC 0
            r[8] = char(uint8_t(r[8]) & ~OfflineFrame::LengthCodeMask | OfflineFrame::RemoteFlag);
        records << r;
        state.offlineRecords.push_back(stored(r));
    }
    start(state);
    if (connected) {
        QVERIFY(connectNow());
        list()->initList(2, 50, rowsBefore);
    }
    const QStringList before = rows();
    if (faultCode)
        m_device->scriptFault(uint8_t(faultCode), fault, faultReply);
    RecordingDialogs dialogs;
    QPushButton *read = child<QPushButton>("m_pushButtonReadOffline");
    read->click();

    QCOMPARE(dialogs.texts(), QStringList{message});
    QVERIFY(read->isEnabled());
    QCOMPARE(requests(), connected && fault != Fault::WriteFails ? QStringList{"12A60100"}
                                                                 : QStringList());
    if (message != QStringLiteral("读取成功")) {
        QCOMPARE(rows(), before);
        return;
    }
    QCOMPARE(list()->rowCount(), storedCount);
    for (int i = 0; i < storedCount; ++i)
        QCOMPARE(rowText(list()->row(i)), rowText(decodeOfflineRecord(QByteArray(
                     reinterpret_cast<const char *>(stored(records[i]).data()), 21))));
    QCOMPARE(list()->row(0).remote, 1);
    QCOMPARE(list()->row(0).data, QString());
}

void TestConnection::writeOffline_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<int>("capacity");
    QTest::addColumn<bool>("sendingOn");
    QTest::addColumn<int>("faultCode");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QStringList>("sent"); // "off", "on", "clear", "rN"
    QTest::addColumn<QString>("message"); // the boxes' texts, joined by " / "
    QTest::addColumn<bool>("sendingAfter");
    const QString ok = QStringLiteral("设置成功");
    const QString refused = QStringLiteral("设置离线数据失败");
    QTest::newRow("empty list clears, switch stays off")
        << true << 0 << 50 << true << 0 << Fault::NoReply << QStringList{"off", "clear"} << ok
        << false;
    QTest::newRow("two rows, switch off and on around")
        << true << 2 << 50 << true << 0 << Fault::NoReply
        << QStringList{"off", "r0", "r1", "on"} << ok << true;
    QTest::newRow("sending back on refused: the switch shows it off")
        << true << 2 << 50 << true << 0xA0 << Fault::WrongStatus
        << QStringList{"off", "r0", "r1", "on"} << QStringLiteral("设置离线发送失败 / 设置成功")
        << false;
    QTest::newRow("second refused with 0x80")
        << true << 2 << 50 << true << -2 << Fault::WrongStatus
        << QStringList{"off", "r0", "r1"} << refused << false;
    QTest::newRow("first write fails") << true << 2 << 50 << false << 0xA5 << Fault::WriteFails
                                       << QStringList() << QStringLiteral("离线数据设置失败")
                                       << false;
    QTest::newRow("more rows than capacity") << true << 3 << 2 << true << 0 << Fault::NoReply
                                             << QStringList() << QStringLiteral("最多支持2条数据")
                                             << true;
    QTest::newRow("not connected") << false << 0 << 0 << false << 0 << Fault::NoReply
                                   << QStringList() << QStringLiteral("设备未连接") << false;
}

void TestConnection::writeOffline()
{
    QFETCH(bool, connected);
    QFETCH(int, rowCount);
    QFETCH(int, capacity);
    QFETCH(bool, sendingOn);
    QFETCH(int, faultCode);
    QFETCH(Fault, fault);
    QFETCH(QStringList, sent);
    QFETCH(QString, message);
    QFETCH(bool, sendingAfter);
    start();
    if (connected)
        QVERIFY(connectNow());
    // Rows as a read shows them; row 1 is a data frame with two data bytes.
    QVector<QByteArray> shown;
    for (int i = 0; i < rowCount; ++i)
        shown << encoded(sampleRow(i, i == 1 ? 2 : 8), i, rowCount).leftJustified(21, '\0');
    list()->initList(2, capacity, 0);
    if (!shown.isEmpty())
        list()->fromRecords(shown);
    auto *sending = child<SwitchButton>("m_pWidgetOfflineSend");
    sending->setCheckedSilently(sendingOn);
    if (faultCode == -2) {
        m_device->scriptFault(0xA5, Fault::NoReply, 99); // spent on the first record
        m_device->scriptFault(0xA5, fault);
    } else if (faultCode) {
        m_device->scriptFault(uint8_t(faultCode), fault);
    }
    RecordingDialogs dialogs;
    QPushButton *write = child<QPushButton>("m_pushButtonWriteOffline");
    write->click();

    QStringList expected;
    for (const QString &step : sent) {
        if (step == QLatin1String("off"))
            expected << QStringLiteral("12A1020000");
        else if (step == QLatin1String("on"))
            expected << QStringLiteral("12A0020000");
        else if (step == QLatin1String("clear"))
            expected << QStringLiteral("12A512") + QString(36, QLatin1Char('0'));
        else
            expected << hex(encoded(list()->row(step.mid(1).toInt()), step.mid(1).toInt(), rowCount));
    }
    QCOMPARE(requests(), expected);
    QCOMPARE(dialogs.texts().join(QLatin1String(" / ")), message);
    QCOMPARE(sending->isChecked(), sendingAfter);
    QVERIFY(write->isEnabled());
    if (rowCount >= 2 && expected.size() > 1)
        QCOMPARE(expected.at(sent.indexOf(QStringLiteral("r1"))).size(), 15 * 2);
}

// The adapter refusing or cutting short a request, without being pulled: every
// exchange that writes ends with its own message.
void TestConnection::writeFailuresWithoutUnplugging_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("sendingOn");
    QTest::addColumn<int>("faultCode");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QStringList>("messages");
    const QString sendFailed = QStringLiteral("设置离线发送失败");
    QTest::newRow("Write CAN, register cut short")
        << "m_pushButtonWriteCAN" << false << 0x23 << Fault::PartialWrite
        << QStringList{QStringLiteral("设置通道0波特率失败")};
    QTest::newRow("offline send on, not written")
        << "m_pWidgetOfflineSend" << false << 0xA0 << Fault::WriteFails << QStringList{sendFailed};
    QTest::newRow("Write offline data goes on after the switch failed")
        << "m_pushButtonWriteOffline" << true << 0xA1 << Fault::WriteFails
        << QStringList{sendFailed, QStringLiteral("设置成功")};
}

void TestConnection::writeFailuresWithoutUnplugging()
{
    QFETCH(QString, control);
    QFETCH(bool, sendingOn);
    QFETCH(int, faultCode);
    QFETCH(Fault, fault);
    QFETCH(QStringList, messages);
    start();
    QVERIFY(connectNow());
    child<SwitchButton>("m_pWidgetOfflineSend")->setCheckedSilently(sendingOn);
    m_device->scriptFault(uint8_t(faultCode), fault);
    RecordingDialogs dialogs;
    QWidget *w = child<QWidget>(control.toLatin1().constData());
    if (auto *button = qobject_cast<QPushButton *>(w))
        button->click();
    else
        QTest::mouseClick(w, Qt::LeftButton);
    QCOMPARE(dialogs.texts(), messages);
    QVERIFY(m_device->isPlugged());
}

QTEST_MAIN(TestConnection)
#include "tst_connection.moc"
