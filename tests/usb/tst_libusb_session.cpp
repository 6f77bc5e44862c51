// A device session through the real libusb backend against the simulated adapter on
// the emulated bus: connect, a mode switch, the device information dialog and Write
// offline data, with the bytes that reached the device.

#include "EmulatedUsbBus.h"

#include "app/DeviceInfoDialog.h"
#include "app/MainWidget.h"
#include "device/CWrapWinUSB.h"
#include "device/DeviceBackends.h"
#include "support/RecordingDialogs.h"
#include "widgets/BrantelResources.h"
#include "widgets/SwitchButton.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class TestLibusbSession : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void session();
};

void TestLibusbSession::initTestCase()
{
    QVERIFY2(EmulatedUsbBus::inMockEnvironment(), "must run under umockdev-wrapper");
    initBrantelResources();
    DeviceBackends::registerBuiltins();
    QVERIFY(DeviceBackends::select(QStringLiteral("libusb")));
}

static QStringList hexRequests(const SimFirmware &device)
{
    QStringList out;
    for (const auto &r : device.requests())
        out << QByteArray(reinterpret_cast<const char *>(r.data()), int(r.size())).toHex().toUpper();
    return out;
}

void TestLibusbSession::session()
{
    RecordingDialogs dialogs;
    EmulatedUsbBus bus;
    MainWidget window;
    SimFirmware::State state;
    state.hardwareMajor = 2;
    state.hardwareMinor = 0x0a;
    state.sendType = 1;
    auto firmware = std::make_shared<SimFirmware>(state);
    const std::string path = bus.plug(firmware);
    QVERIFY2(!path.empty(), bus.error().c_str());
    auto *name = window.findChild<QLineEdit *>(QStringLiteral("m_pLineEditDevName"));
    QTRY_COMPARE_WITH_TIMEOUT(name->text(), QStringLiteral("HLW-C2+_HL261206001"), 3000);

    firmware->clearRequests();
    window.findChild<QPushButton *>(QStringLiteral("m_pPushButtonConnect"))->click();
    QVERIFY(window.isConnected());
    QCOMPARE(hexRequests(*firmware), (QStringList{"12130100", "12A70100"}));

    firmware->clearRequests();
    QTest::mouseClick(window.findChild<SwitchButton *>(QStringLiteral("m_pWidgetOfflineModeState")),
                      Qt::LeftButton);
    QCOMPARE(hexRequests(*firmware), QStringList{"12A8010100"});
    QVERIFY(firmware->state().offlineMode);

    QStringList shown;
    QTimer::singleShot(0, this, [&shown] {
        auto *dialog = qobject_cast<DeviceInfoDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        for (const char *field : {"m_lineEditDevType", "m_lineEditDevNum", "m_lineEditHardwareVer",
                                  "m_lineEditFirmwareVer", "m_lineEditChannalCount"})
            shown << dialog->findChild<QLineEdit *>(QLatin1String(field))->text();
        dialog->reject();
    });
    window.findChild<QAction *>(QStringLiteral("m_pActionDevInfo"))->trigger();
    QCOMPARE(shown, (QStringList{"HLW-C2+", "HL261206001", "2.0a", "1.15", "2"}));

    // The list shows no rows before a read: writing it empties the device's list.
    firmware->clearRequests();
    SimFirmware::State stored = firmware->state();
    stored.offlineRecords.assign(2, SimFirmware::Bytes(21, 0x01));
    firmware->setState(stored);
    window.findChild<QPushButton *>(QStringLiteral("m_pushButtonWriteOffline"))->click();
    QCOMPARE(hexRequests(*firmware), QStringList{"12A512" + QString(36, QLatin1Char('0'))});
    QVERIFY(firmware->state().offlineRecords.empty());
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("设置成功")});
}

int main(int argc, char **argv)
{
    EmulatedUsbBus::reexecUnderWrapper(argc, argv);
    if (!EmulatedUsbBus::inMockEnvironment())
        return 1;
    QApplication app(argc, argv);
    TestLibusbSession test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_libusb_session.moc"
