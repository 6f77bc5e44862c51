// A whole session through the real main window, as a user runs it: the adapter is
// plugged in, Connect, Read CAN, edit and write the offline list, offline mode on,
// monitoring with an identifier filter, save the log and the settings, Disconnect.
// Built twice: against the simulated adapter in this process, and (BRANTEL_E2E_LIBUSB)
// through libusb against the same firmware on umockdev's emulated bus.

#ifdef BRANTEL_E2E_LIBUSB
#include "usb/EmulatedUsbBus.h"
#else
#include "device/SimulatedAdapter.h"
#endif

#include "app/MainWidget.h"
#include "canparam/CANParamWidget.h"
#include "canparam/ChannalPageWidget.h"
#include "device/CWrapWinUSB.h"
#include "device/DeviceBackends.h"
#include "device/SimFirmware.h"
#include "filter/FilterDialog.h"
#include "monitor/DataMonitorWidget.h"
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
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

namespace {

// The session's steps that talk to the adapter, and every request each one sends (hex),
// in order; the name read at plug-in comes before them.
enum Step { Connect, ReadCan, SendingOn, WriteOffline, OfflineMode, MonitorOn, Disconnect };
const QStringList Requests[] = {
    // Connect: channel count, mode state.
    {"12130100", "12A70100"},
    // Read CAN: bit timing and filter banks of channel 0, then of channel 1.
    {"12A40100", "12AA0100", "12A40101", "12AA0101"},
    // Offline sending on.
    {"12A0020000"},
    // Write offline data: sending off; record 1 of 2 (channel 0, interval 100, data frame,
    // standard, 0x123, 11 22); record 2 of 2 (channel 1, 200, remote, extended, 0x1F000001,
    // DLC 0, the row's data bytes kept); sending on again.
    {"12A1020000", "12A512010200006402000001231122",
     "12A51202020000C8D01F0000010000000000000000", "12A0020000"},
    // Offline mode on with timed send.
    {"12A8010100"},
    // Monitoring on.
    {"12A2010000"},
    // Disconnect: monitoring off.
    {"12A3010000"},
};

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
    void initTestCase();
    void typicalSession();

private:
    template <typename T> T *child(QObject *in, const char *name)
    {
        T *w = in->findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("no child %s", name);
        return w;
    }
    QStringList takeRequests(SimFirmware &device)
    {
        QStringList out;
        for (const auto &r : device.requests())
            out << QByteArray(reinterpret_cast<const char *>(r.data()), int(r.size())).toHex().toUpper();
        device.clearRequests();
        return out;
    }
};

void TestE2eSession::initTestCase()
{
    initBrantelResources();
    DeviceBackends::registerBuiltins();
#ifdef BRANTEL_E2E_LIBUSB
    QVERIFY2(EmulatedUsbBus::inMockEnvironment(), "must run under umockdev-wrapper");
    QVERIFY(DeviceBackends::select(QStringLiteral("libusb")));
#else
    QVERIFY(DeviceBackends::select(DeviceBackends::simulatedName()));
#endif
}

void TestE2eSession::typicalSession()
{
    RecordingDialogs dialogs;
    QTemporaryDir dir;
    SimFirmware::State initial;
    initial.channels[1].bitTiming = {{0x00, 0x12, 0x00, 0x0b}}; // 500K
    initial.channels[1].banks[3].id = {{0x00, 0x00, 0x01, 0x23}};

    // 1. The adapter is plugged in while the window is open; its name is shown.
#ifdef BRANTEL_E2E_LIBUSB
    EmulatedUsbBus bus;
    MainWidget window;
    auto device = std::make_shared<SimFirmware>(initial);
    QVERIFY2(!bus.plug(device).empty(), bus.error().c_str());
#else
    MainWidget window;
    std::shared_ptr<SimFirmware> device = SimRegistry::instance().add(initial);
#endif
    auto *name = child<QLineEdit>(&window, "m_pLineEditDevName");
    QTRY_COMPARE_WITH_TIMEOUT(name->text(), QStringLiteral("HLW-C2+_HL261206001"), 5000);
    takeRequests(*device);

    // 2. Connect: one tab per channel, the modes as the adapter holds them, an empty list.
    auto *connectButton = child<QPushButton>(&window, "m_pPushButtonConnect");
    connectButton->click();
    QVERIFY(window.isConnected());
    QCOMPARE(takeRequests(*device), Requests[Connect]);
    auto *channals = child<QTabWidget>(&window, "m_pTabWidgetChannal");
    QCOMPARE(channals->count(), 2);
    auto *offlineMode = child<SwitchButton>(&window, "m_pWidgetOfflineModeState");
    QVERIFY(!offlineMode->isChecked());
    auto *table = child<QTableWidget>(&window, "m_pTableWidgetOfflineData");
    QCOMPARE(table->rowCount(), 0);

    // 3. Read CAN: each channel's bit timing and filter banks.
    child<QPushButton>(&window, "m_pushButtonReadCAN")->click();
    QCOMPARE(takeRequests(*device), Requests[ReadCan]);
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("读取成功")});
    dialogs.boxes.clear();
    auto *canParam = window.findChild<CANParamWidget *>();
    QCOMPARE(child<QComboBox>(canParam->page(0), "m_pComboBoxBautRate")->currentText(),
             QStringLiteral("250K"));
    QCOMPARE(child<QComboBox>(canParam->page(1), "m_pComboBoxBautRate")->currentText(),
             QStringLiteral("500K"));

    // 4. Offline sending on; two rows added and edited, then Write offline data, which
    // pauses sending while the records go.
    auto *sending = child<SwitchButton>(&window, "m_pWidgetOfflineSend");
    QTest::mouseClick(sending, Qt::LeftButton);
    QCOMPARE(takeRequests(*device), Requests[SendingOn]);
    QVERIFY(device->state().offlineSending);
    auto *add = child<QAction>(&window, "m_pActionAdd");
    add->trigger();
    add->trigger();
    QCOMPARE(table->rowCount(), 2);
    table->item(0, 4)->setText(QStringLiteral("00 00 01 23"));
    table->item(0, 5)->setText(QStringLiteral("11 22"));
    qobject_cast<QComboBox *>(table->cellWidget(1, 0))->setCurrentIndex(1);
    table->item(1, 1)->setText(QStringLiteral("200"));
    qobject_cast<QComboBox *>(table->cellWidget(1, 2))->setCurrentIndex(1);
    qobject_cast<QComboBox *>(table->cellWidget(1, 3))->setCurrentIndex(1);
    table->item(1, 4)->setText(QStringLiteral("1F 00 00 01"));
    child<QPushButton>(&window, "m_pushButtonWriteOffline")->click();
    QCOMPARE(takeRequests(*device), Requests[WriteOffline]);
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("设置成功")});
    QCOMPARE(device->state().offlineRecords.size(), size_t(2));
    QVERIFY(device->state().offlineSending);
    QVERIFY(sending->isChecked());

    // 5. Timed send, then offline mode on.
    child<QComboBox>(&window, "m_comboBoxSendType")->setCurrentIndex(1);
    QTest::mouseClick(offlineMode, Qt::LeftButton);
    QCOMPARE(takeRequests(*device), Requests[OfflineMode]);
    QVERIFY(offlineMode->isChecked());
    QVERIFY(device->state().offlineMode);
    QCOMPARE(int(device->state().sendType), 1);

    // 6. Only identifiers 0x100 to 0x1FF are shown, set through the filter dialog.
    QTimer::singleShot(0, this, [this] {
        auto *dialog = qobject_cast<FilterDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        child<QComboBox>(dialog, "m_comboBoxCurrentModel")->setCurrentIndex(2);
        child<QLineEdit>(dialog, "m_lineEditIDMin")->setText(QStringLiteral("100"));
        child<QLineEdit>(dialog, "m_lineEditIDMax")->setText(QStringLiteral("1FF"));
        child<QPushButton>(dialog, "m_pushButtonAdd")->click();
        child<QPushButton>(dialog, "m_pushButtonOK")->click();
    });
    child<QAction>(&window, "m_pActionFilter")->trigger();

    // The adapter streams five frames in two transfers; three pass the filter.
    using F = SimFirmware;
    device->queueBulk(transfer({F::frameReport(0x10, false, false, 0, 0x100, false, {0xA1}),
                                F::frameReport(0x20, false, false, 1, 0x080, false, {0xB2})}));
    device->queueBulk(transfer({F::frameReport(0x30, true, false, 0, 0x1ABCDE, true, {}),
                                F::frameReport(0x40, false, true, 1, 0x1FF, false, {}),
                                F::frameReport(0x50, false, false, 0, 0x1F0, true,
                                               {1, 2, 3, 4, 5, 6, 7, 8})}));
    auto *watch = child<SwitchButton>(&window, "m_pWidgetDataWatch");
    QTest::mouseClick(watch, Qt::LeftButton);
    QVERIFY(watch->isChecked());
    auto *view = child<QTextEdit>(&window, "m_pTextEditRecords");
    const QStringList shown{
        "1         接收      0    0x00000010   数据帧  标准帧   00 00 01 00   1   a1",
        "2         接收      1    0x00000040   远程帧  标准帧   00 00 01 ff   0   ",
        "3         发送      0    0x00000050   数据帧  标准帧   00 00 01 f0   8   01 02 03 04 05 06 07 08"};
    QTRY_COMPARE_WITH_TIMEOUT(view->toPlainText().split(QLatin1Char('\n')), shown, 10000);
    QCOMPARE(takeRequests(*device), Requests[MonitorOn]);
    QVERIFY(device->state().monitoring);
    auto *cacheSize = child<QAction>(&window, "m_pActionSet");
    QVERIFY(!cacheSize->isEnabled()); // not while monitoring

    // 7. Save the monitor log, then the settings file.
    const QString logPath = dir.filePath(QStringLiteral("monitor.txt"));
    dialogs.boxes.clear();
    dialogs.fileAnswers << logPath;
    child<QPushButton>(&window, "m_pPushButtonSave")->click();
    QTRY_COMPARE_WITH_TIMEOUT(dialogs.texts(), QStringList{QStringLiteral("保存成功")}, 5000);
    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                 .replaceInStrings(QStringLiteral("\r"), QString()),
             shown);

    const QString settingsPath = dir.filePath(QStringLiteral("settings.txt"));
    dialogs.boxes.clear();
    dialogs.fileAnswers << settingsPath;
    child<QPushButton>(&window, "m_pPushButtonSavetofile")->click();
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("保存成功")});
    QFile settings(settingsPath);
    QVERIFY(settings.open(QIODevice::ReadOnly));
    const QJsonObject saved = QJsonDocument::fromJson(settings.readAll()).object();
    QCOMPARE(saved.value(QStringLiteral("SendType")).toInt(), 1);
    const QJsonArray channalsSaved = saved.value(QStringLiteral("CANParam")).toArray();
    QCOMPARE(channalsSaved.size(), 2);
    // What Read CAN showed for channel 1, and the rows as written.
    const QJsonObject channal1 = channalsSaved.at(1).toObject();
    QCOMPARE(channal1.value(QStringLiteral("BaudRate")).toString(), QStringLiteral("0x0012000B"));
    QCOMPARE(channal1.value(QStringLiteral("DataList")).toArray().at(3).toString(),
             QStringLiteral("0, 0, 1, 00 00 01 23, 00 00 00 00"));
    QCOMPARE(saved.value(QStringLiteral("OfflineDatas")).toArray(),
             (QJsonArray{"0, 100, 0, 0, 00 00 01 23, 11 22",
                         "1, 200, 1, 1, 1F 00 00 01, 00 00 00 00 00 00 00 00"}));

    // 8. Disconnect: monitoring ends, the link closes, tabs and rows go.
    connectButton->click();
    QVERIFY(!window.isConnected());
    QCOMPARE(window.link()->isOpen(), 0);
    QCOMPARE(takeRequests(*device), Requests[Disconnect]);
    QVERIFY(!device->state().monitoring);
    QVERIFY(!watch->isChecked());
    QVERIFY(cacheSize->isEnabled());
    QVERIFY(view->toPlainText().isEmpty());
    QCOMPARE(channals->count(), 0);
    QCOMPARE(table->rowCount(), 0);
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("保存成功")});
    // The adapter keeps sending its list by itself once the PC is gone.
    const SimFirmware::State kept = device->state();
    QVERIFY(kept.offlineMode && kept.offlineSending);
    QCOMPARE(int(kept.sendType), 1);
    QCOMPARE(kept.offlineRecords.size(), size_t(2));
#ifndef BRANTEL_E2E_LIBUSB
    SimRegistry::instance().clear();
#endif
}

int main(int argc, char **argv)
{
#ifdef BRANTEL_E2E_LIBUSB
    EmulatedUsbBus::reexecUnderWrapper(argc, argv);
    if (!EmulatedUsbBus::inMockEnvironment())
        return 1;
#endif
    QApplication app(argc, argv);
    TestE2eSession test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_e2e_session.moc"
