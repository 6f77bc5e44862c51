// Read CAN and Write CAN from the main window over the real libusb backend, against the
// simulated firmware on umockdev's emulated bus: the same request bytes reach the adapter
// and its replies fill the pages.

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
    void initTestCase();
    void readThenWrite();
};

void TestLibusbCanParam::initTestCase()
{
    QVERIFY2(EmulatedUsbBus::inMockEnvironment(), "must run under umockdev-wrapper");
    initBrantelResources();
    DeviceBackends::registerBuiltins();
    QVERIFY(DeviceBackends::select(QStringLiteral("libusb")));
}

void TestLibusbCanParam::readThenWrite()
{
    SimFirmware::State state;
    state.channels[1].bitTiming = {{0x00, 0x12, 0x34, 0x56}};
    state.channels[0].banks[3].flagsA = 0x80;
    state.channels[0].banks[3].id = {{0x1a, 0x2b, 0x3c, 0x4d}};
    auto firmware = std::make_shared<SimFirmware>(state);
    EmulatedUsbBus bus;
    const std::string path = bus.plug(firmware);
    QVERIFY2(!path.empty(), bus.error().c_str());

    RecordingDialogs dialogs;
    MainWidget window;
    auto *panel = window.findChild<CANParamWidget *>();
    QVERIFY(panel);
    QVERIFY(window.link()->open());
    panel->addChannalTabs(2);
    firmware->clearRequests();

    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("m_pushButtonReadCAN")),
                      Qt::LeftButton);
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("读取成功")});
    std::vector<SimFirmware::Bytes> sent = firmware->requests();
    const std::vector<SimFirmware::Bytes> reads{
        {0x12, 0xA4, 0x01, 0x00}, {0x12, 0xAA, 0x01, 0x00}, {0x12, 0xA4, 0x01, 0x01},
        {0x12, 0xAA, 0x01, 0x01}};
    QVERIFY(sent == reads);
    QCOMPARE(panel->page(1)->registerText(), QStringLiteral("0x00123456"));
    QCOMPARE(panel->page(0)->entry(3).idText, QStringLiteral("1a 2b 3c 4d"));
    QVERIFY(panel->page(0)->entry(3).enabled);

    panel->page(1)->setBaudRate(QStringLiteral("0012000b"));
    firmware->clearRequests();
    dialogs.boxes.clear();
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("m_pushButtonWriteCAN")),
                      Qt::LeftButton);
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("写入成功")});
    sent = firmware->requests();
    QCOMPARE(int(sent.size()), 30);
    QVERIFY(sent.at(15) == (SimFirmware::Bytes{0x12, 0x23, 0x06, 0x00, 0x10, 0x00, 0x12, 0x00, 0x0B}));
    const SimFirmware::State after = firmware->state();
    QVERIFY(after.channels[1].bitTiming == (std::array<uint8_t, 4>{{0x00, 0x12, 0x00, 0x0B}}));
    QCOMPARE(after.channels[0].banks[3].flagsA, uint8_t(0x80));
    QVERIFY(after.channels[0].banks[3].id == state.channels[0].banks[3].id);
    window.link()->close();
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
