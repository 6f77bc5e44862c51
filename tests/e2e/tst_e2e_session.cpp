// A whole session through the real main window, as a user runs it: the adapter is
// plugged in, Connect, Read and Write CAN, write and read back the offline list, offline
// mode on, monitoring with an identifier filter, off and on again, save the log and the
// settings, Disconnect; then the adapter pulled while monitoring and plugged in again.
// Built twice: against the simulated adapter in this process, and (BRANTEL_E2E_LIBUSB)
// through libusb against the same firmware on umockdev's emulated bus.

#ifdef BRANTEL_E2E_LIBUSB
#include "support/UmockdevMain.h"
#else
#include "device/SimulatedAdapter.h"
#endif

#include "app/MainWidget.h"
#include "canparam/CANParamWidget.h"
#include "canparam/ChannalPageWidget.h"
#include "device/CWrapWinUSB.h"
#include "device/DeviceBackends.h"
#include "device/SimFirmware.h"
#include "monitor/DataMonitorWidget.h"
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
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

namespace {

using F = SimFirmware;

QStringList takeRequests(SimFirmware &device)
{
    const QStringList out = requestsHex(device);
    device.clearRequests();
    return out;
}

SimFirmware::Bytes transfer(std::initializer_list<SimFirmware::Bytes> reports)
{
    SimFirmware::Bytes out;
    for (const SimFirmware::Bytes &r : reports)
        out.insert(out.end(), r.begin(), r.end());
    return out;
}

} // namespace

class TestE2eSession : public QObject {
    Q_OBJECT
private slots:
    void typicalSession();
};

void TestE2eSession::typicalSession()
{
    initBrantelResources();
    DeviceBackends::registerBuiltins();
#ifdef BRANTEL_E2E_LIBUSB
    QVERIFY(DeviceBackends::select(QStringLiteral("libusb")));
#else
    QVERIFY(DeviceBackends::select(DeviceBackends::simulatedName()));
#endif
    RecordingDialogs dialogs;
    QTemporaryDir dir;
    SimFirmware::State initial;
    initial.channels[1].bitTiming = {{0x00, 0x12, 0x00, 0x0b}}; // 500K
    initial.channels[1].banks[3].id = {{0x00, 0x00, 0x01, 0x23}};

    // The adapter is plugged in while the window is open; its name is shown.
#ifdef BRANTEL_E2E_LIBUSB
    EmulatedUsbBus bus; // before the window, whose libusb context must see the emulated bus
    MainWidget window;
    auto device = std::make_shared<SimFirmware>(initial);
    std::string path = bus.plug(device);
    QVERIFY2(!path.empty(), bus.error().c_str());
    const auto setPlugged = [&](bool plugged) {
        if (!plugged)
            return bus.unplug(path); // the firmware is told it is gone
        device->setPlugged(true);
        path = bus.plug(device);
    };
#else
    MainWidget window;
    std::shared_ptr<SimFirmware> device = SimRegistry::instance().add(initial);
    const auto setPlugged = [&](bool plugged) { device->setPlugged(plugged); };
#endif
    auto *name = child<QLineEdit>(&window, "m_pLineEditDevName");
    QTRY_COMPARE_WITH_TIMEOUT(name->text(), QStringLiteral("HLW-C2+_HL261206001"), 5000);
    takeRequests(*device);
    const auto press = [&window](const char *button) { child<QPushButton>(&window, button)->click(); };
    const auto shows = [&dialogs](const QString &text) { // the messages since the last look, and only those
        const bool ok = dialogs.texts() == QStringList{text};
        dialogs.boxes.clear();
        return ok;
    };

    // Connect (channel count, mode state): one tab per channel, the modes as the adapter
    // holds them, an empty list.
    press("m_pPushButtonConnect");
    QCOMPARE(takeRequests(*device), (QStringList{"12130100", "12A70100"}));
    auto *channals = child<QTabWidget>(&window, "m_pTabWidgetChannal");
    auto *offlineMode = child<SwitchButton>(&window, "m_pWidgetOfflineModeState");
    auto *table = child<QTableWidget>(&window, "m_pTableWidgetOfflineData");
    QVERIFY(window.isConnected() && channals->count() == 2 && !offlineMode->isChecked() && table->rowCount() == 0);

    // Read CAN: each channel's bit timing and filter banks; Write CAN sets them.
    press("m_pushButtonReadCAN");
    QCOMPARE(takeRequests(*device), (QStringList{"12A40100", "12AA0100", "12A40101", "12AA0101"}));
    QVERIFY(shows(QStringLiteral("读取成功")));
    auto *canParam = window.findChild<CANParamWidget *>();
    QCOMPARE(child<QComboBox>(canParam->page(0), "m_pComboBoxBautRate")->currentText()
                 + child<QComboBox>(canParam->page(1), "m_pComboBoxBautRate")->currentText(), "250K500K");
    canParam->page(1)->setBaudRate(QStringLiteral("001C0008"));
    press("m_pushButtonWriteCAN");
    QVERIFY(shows(QStringLiteral("写入成功")));
    QVERIFY(device->state().channels[1].bitTiming == (std::array<uint8_t, 4>{{0x00, 0x1C, 0x00, 0x08}}));
    takeRequests(*device);

    // Offline sending on; two rows added and edited, then Write offline data, which pauses
    // sending while the records go: record 1 of 2 (channel 0, interval 100, data frame,
    // standard, 0x123, 11 22); record 2 of 2 (channel 1, 200, remote, extended, 0x1F000001,
    // DLC 0, the row's data bytes kept).
    auto *sending = child<SwitchButton>(&window, "m_pWidgetOfflineSend");
    QTest::mouseClick(sending, Qt::LeftButton);
    QCOMPARE(takeRequests(*device), QStringList{"12A0020000"});
    for (int i = 0; i < 2; ++i)
        child<QAction>(&window, "m_pActionAdd")->trigger();
    for (int column : {0, 2, 3}) // channel 1, remote, extended
        qobject_cast<QComboBox *>(table->cellWidget(1, column))->setCurrentIndex(1);
    const struct { int row, column; const char *text; } cells[] = {{0, 4, "00 00 01 23"}, {0, 5, "11 22"}, {1, 1, "200"},
                                                                  {1, 4, "1F 00 00 01"}};
    for (const auto &cell : cells)
        table->item(cell.row, cell.column)->setText(QString::fromLatin1(cell.text));
    press("m_pushButtonWriteOffline");
    QCOMPARE(takeRequests(*device), (QStringList{"12A1020000", "12A512010200006402000001231122",
                                                 "12A51202020000C8D01F0000010000000000000000", "12A0020000"}));
    QVERIFY(shows(QStringLiteral("设置成功")));
    QVERIFY(device->state().offlineSending && sending->isChecked());

    // Read offline data: the two rows come back as the adapter stored them.
    press("m_pushButtonReadOffline");
    QCOMPARE(takeRequests(*device), QStringList{"12A60100"});
    QVERIFY(shows(QStringLiteral("读取成功")));
    QVERIFY(table->rowCount() == 2 && table->item(1, 4)->text() == QStringLiteral("1f 00 00 01"));

    // Timed send, then offline mode on.
    child<QComboBox>(&window, "m_comboBoxSendType")->setCurrentIndex(1);
    QTest::mouseClick(offlineMode, Qt::LeftButton);
    QCOMPARE(takeRequests(*device), QStringList{"12A8010100"});
    QVERIFY(offlineMode->isChecked() && device->state().offlineMode && device->state().sendType == 1);

    // Only identifiers 0x100 to 0x1FF are shown.
    window.findChild<DataMonitorWidget *>()->setIdFilter({IdFilter::ShowOnlyListed, {{0x100, 0x1FF}}});

    // The adapter streams five frames in two transfers; three pass the filter. Monitoring
    // off and on again: the bulk pipe works once more.
    device->queueBulk(transfer({F::frameReport(0x10, false, false, 0, 0x100, false, {0xA1}),
                                F::frameReport(0x20, false, false, 1, 0x080, false, {0xB2})}));
    device->queueBulk(transfer({F::frameReport(0x30, true, false, 0, 0x1ABCDE, true, {}),
                                F::frameReport(0x40, false, true, 1, 0x1FF, false, {}),
                                F::frameReport(0x50, false, false, 0, 0x1F0, true, {1, 2, 3, 4, 5, 6, 7, 8})}));
    auto *watch = child<SwitchButton>(&window, "m_pWidgetDataWatch");
    QTest::mouseClick(watch, Qt::LeftButton);
    auto *view = child<QTextEdit>(&window, "m_pTextEditRecords");
    const QStringList shown{
        "1         接收      0    0x00000010   数据帧  标准帧   00 00 01 00   1   a1",
        "2         接收      1    0x00000040   远程帧  标准帧   00 00 01 ff   0   ",
        "3         发送      0    0x00000050   数据帧  标准帧   00 00 01 f0   8   01 02 03 04 05 06 07 08"};
    QTRY_COMPARE_WITH_TIMEOUT(view->toPlainText().split(QLatin1Char('\n')), shown, 10000);
    QTest::mouseClick(watch, Qt::LeftButton);
    QVERIFY(!device->state().monitoring);
    device->queueBulk(F::frameReport(0x60, false, false, 0, 0x150, false, {0xC3}));
    QTest::mouseClick(watch, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(view->toPlainText().contains(QLatin1String("0x00000060")), 10000);
    QCOMPARE(takeRequests(*device), (QStringList{"12A2010000", "12A3010000", "12A2010000"}));
    auto *cacheSize = child<QAction>(&window, "m_pActionSet");
    QVERIFY(device->state().monitoring && !cacheSize->isEnabled()); // no cache size change while monitoring

    // Save the monitor log (its text as shown), then the settings file.
    const QString logPath = dir.filePath(QStringLiteral("monitor.txt")), settingsPath = dir.filePath(QStringLiteral("settings.txt"));
    dialogs.fileAnswers << logPath << settingsPath;
    press("m_pPushButtonSave");
    QTRY_VERIFY_WITH_TIMEOUT(!dialogs.boxes.isEmpty(), 5000);
    QVERIFY(shows(QStringLiteral("保存成功")));
    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly) && QString::fromUtf8(log.readAll()).remove('\r').startsWith(shown.join('\n')));
    press("m_pPushButtonSavetofile");
    QVERIFY(shows(QStringLiteral("保存成功")));
    QFile settings(settingsPath);
    QVERIFY(settings.open(QIODevice::ReadOnly));
    const QJsonObject saved = QJsonDocument::fromJson(settings.readAll()).object();
    const QJsonArray pages = saved.value(QStringLiteral("CANParam")).toArray();
    QVERIFY(saved.value(QStringLiteral("SendType")).toInt() == 1 && pages.size() == 2);
    QCOMPARE(pages.at(1)[QStringLiteral("BaudRate")].toString() + " / "
                 + pages.at(1)[QStringLiteral("DataList")].toArray().at(3).toString(),
             QStringLiteral("0x001C0008 / 0, 0, 1, 00 00 01 23, 00 00 00 00"));
    QCOMPARE(saved.value(QStringLiteral("OfflineDatas")).toArray(),
             (QJsonArray{"0, 100, 0, 0, 00 00 01 23, 11 22 ", "1, 200, 1, 1, 1f 00 00 01, "}));

    // Disconnect: monitoring ends, the link closes, tabs and rows go; the adapter keeps
    // sending its list by itself once the PC is gone.
    press("m_pPushButtonConnect");
    QVERIFY(!window.isConnected() && window.link()->isOpen() == 0);
    QCOMPARE(takeRequests(*device), QStringList{"12A3010000"});
    QVERIFY(!device->state().monitoring && !watch->isChecked() && cacheSize->isEnabled());
    QVERIFY(view->toPlainText().isEmpty() && channals->count() == 0 && table->rowCount() == 0);
    QVERIFY(device->state().offlineMode && device->state().offlineSending && device->state().offlineRecords.size() == 2);

    // Connected again and monitoring, the adapter is pulled: the receive thread's link
    // closes under it, the window disconnects and clears the name. Plugged in again, the
    // name returns and Connect works.
    press("m_pPushButtonConnect");
    QTest::mouseClick(watch, Qt::LeftButton);
    QVERIFY(window.isConnected() && device->state().monitoring);
    setPlugged(false);
    QTRY_VERIFY_WITH_TIMEOUT(name->text().isEmpty(), 5000);
    QVERIFY(!window.isConnected() && window.link()->isOpen() == 0
            && child<QPushButton>(&window, "m_pPushButtonConnect")->text() == QStringLiteral("连接"));
    setPlugged(true);
    QTRY_COMPARE_WITH_TIMEOUT(name->text(), QStringLiteral("HLW-C2+_HL261206001"), 5000);
    press("m_pPushButtonConnect");
    QVERIFY(window.isConnected() && dialogs.boxes.isEmpty());
#ifndef BRANTEL_E2E_LIBUSB
    SimRegistry::instance().clear();
#endif
}

#ifdef BRANTEL_E2E_LIBUSB
BRANTEL_UMOCKDEV_MAIN(TestE2eSession)
#else
QTEST_MAIN(TestE2eSession)
#endif
#include "tst_e2e_session.moc"
