// brantel-dump through real libusb on a umockdev-emulated bus: each refusal gives its
// one-line message and exit code, and a plugged adapter is captured from.

#include "support/UmockdevMain.h"

#include "device/DeviceBackends.h"
#include "dump/DumpCapture.h"

#include <QBuffer>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

class TestDumpUmockdev : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    { DeviceBackends::registerBuiltins(); QVERIFY(DeviceBackends::select(DeviceBackends::platformDefaultName())); }
    void outcome_data();
    void outcome();
};

void TestDumpUmockdev::outcome_data()
{
    QTest::addColumn<bool>("plugged"); QTest::addColumn<bool>("refuseAccess"); QTest::addColumn<int>("firmwareMinor");
    QTest::addColumn<int>("exitCode"); QTest::addColumn<QString>("stderrStart"); QTest::addColumn<int>("lines");
    QTest::newRow("no adapter") << false << false << 0x15 << int(DumpExit::NoAdapter)
                                << "brantel-dump: no adapter found (USB 0471:1200)\n" << 0;
    QTest::newRow("access refused") << true << true << 0x15 << int(DumpExit::AccessRefused)
        << "brantel-dump: access to the adapter refused: install the udev rule "
           "/etc/udev/rules.d/60-brantel.rules (packaging/linux/60-brantel.rules) and plug it in again\n"
        << 0;
    QTest::newRow("firmware 1.14") << true << false << 0x14 << int(DumpExit::Incompatible)
        << "brantel-dump: incompatible adapter: device type \"HLW-C2+\", firmware 1.14\n" << 0;
    QTest::newRow("capture") << true << false << 0x15 << int(DumpExit::Ok)
        << "brantel-dump: 3 frames (channel 0: 2, channel 1: 1), 2 transfers," << 3;
}

void TestDumpUmockdev::outcome()
{
    QFETCH(bool, refuseAccess); QFETCH(int, firmwareMinor); QFETCH(bool, plugged);
    if (refuseAccess && geteuid() == 0)
        QSKIP("root is never refused a device node");
    EmulatedUsbBus bus;
    SimFirmware::State s;
    s.firmwareMinor = uint8_t(firmwareMinor);
    auto fw = std::make_shared<SimFirmware>(s);
    fw->queueBulk(SimFirmware::frameReport(1, false, false, 0, 0x123, false, {1, 2}));
    SimFirmware::Bytes two = SimFirmware::frameReport(2, true, false, 1, 0x1ABCDEF, true, {}); // and a third:
    for (uint8_t b : SimFirmware::frameReport(3, false, true, 0, 0x7FF, false, {})) two.push_back(b);
    fw->queueBulk(two);
    const std::string path = plugged ? bus.plug(fw) : std::string();
    QVERIFY2(!plugged || !path.empty(), bus.error().c_str());
    QVERIFY(!refuseAccess || chmod(bus.nodeFile(path).c_str(), 0) == 0);

    DumpOptions o;
    o.count = 3, o.seconds = 5;
    QBuffer out, err;
    QVERIFY(out.open(QIODevice::WriteOnly) && err.open(QIODevice::WriteOnly));
    QTEST(int(DumpCapture(o).run(&out, &err)), "exitCode");
    QFETCH(QString, stderrStart);
    QVERIFY2(err.data().startsWith(stderrStart.toUtf8()) && err.data().count('\n') == 1,
             err.data().constData());
    QTEST(int(out.data().count('\n')), "lines");
}

BRANTEL_UMOCKDEV_MAIN(TestDumpUmockdev)
#include "tst_dump_umockdev.moc"
