// Read CAN and Write CAN from the main window over the real libusb backend, against the
// simulated firmware on umockdev's emulated bus.

#include "EmulatedUsbBus.h"

#include "app/MainWidget.h"
#include "canparam/CANParamWidget.h"
#include "canparam/ChannalPageWidget.h"
#include "device/CWrapWinUSB.h"
#include "device/DeviceBackends.h"
#include "support/RecordingDialogs.h"
#include "widgets/BrantelResources.h"

#include <QApplication>
#include <QPushButton>
#include <QtTest>

class TestLibusbCanParam : public QObject {
    Q_OBJECT
private slots:
    void readThenWrite();
};

void TestLibusbCanParam::readThenWrite()
{
    initBrantelResources();
    DeviceBackends::registerBuiltins();
    QVERIFY(DeviceBackends::select(QStringLiteral("libusb")));
    SimFirmware::State state;
    state.channels[1].bitTiming = {{0x00, 0x12, 0x34, 0x56}};
    auto firmware = std::make_shared<SimFirmware>(state);
    EmulatedUsbBus bus;
    QVERIFY2(!bus.plug(firmware).empty(), bus.error().c_str());

    RecordingDialogs dialogs;
    MainWidget window;
    auto *panel = window.findChild<CANParamWidget *>();
    QVERIFY(window.link()->open());
    panel->addChannalTabs(2);
    firmware->clearRequests();
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("m_pushButtonReadCAN")),
                      Qt::LeftButton);
    QVERIFY(firmware->requests()
            == (std::vector<SimFirmware::Bytes>{{0x12, 0xA4, 0x01, 0x00}, {0x12, 0xAA, 0x01, 0x00},
                                                {0x12, 0xA4, 0x01, 0x01}, {0x12, 0xAA, 0x01, 0x01}}));
    QCOMPARE(panel->page(1)->registerText(), QStringLiteral("0x00123456"));

    panel->page(1)->setBaudRate(QStringLiteral("0012000b"));
    firmware->clearRequests();
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("m_pushButtonWriteCAN")),
                      Qt::LeftButton);
    QCOMPARE(dialogs.texts(), (QStringList{QStringLiteral("读取成功"), QStringLiteral("写入成功")}));
    QCOMPARE(int(firmware->requests().size()), 30);
    QVERIFY(firmware->state().channels[1].bitTiming == (std::array<uint8_t, 4>{{0x00, 0x12, 0x00, 0x0B}}));
}

int main(int argc, char **argv)
{
    EmulatedUsbBus::reexecUnderWrapper(argc, argv);
    if (!EmulatedUsbBus::inMockEnvironment())
        return 1;
    QApplication app(argc, argv);
    TestLibusbCanParam test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_libusb_canparam.moc"
