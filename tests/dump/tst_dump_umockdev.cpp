// brantel-dump through real libusb on a umockdev-emulated bus: each refusal gives its
// one-line message and exit code, and a plugged adapter is captured from.

#include "../usb/EmulatedUsbBus.h"
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
    {
        QVERIFY2(EmulatedUsbBus::inMockEnvironment(), "must run under umockdev-wrapper");
        DeviceBackends::registerBuiltins();
        QVERIFY(DeviceBackends::select(DeviceBackends::platformDefaultName()));
    }
    void outcome_data();
    void outcome();
};

void TestDumpUmockdev::outcome_data()
{
    QTest::addColumn<bool>("plugged");
    QTest::addColumn<bool>("refuseAccess");
    QTest::addColumn<int>("firmwareMinor");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stderrStart");
    QTest::addColumn<int>("lines");

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
    QFETCH(bool, plugged);
    QFETCH(bool, refuseAccess);
    QFETCH(int, firmwareMinor);
    QFETCH(int, exitCode);
    QFETCH(QString, stderrStart);
    QFETCH(int, lines);

    if (refuseAccess && geteuid() == 0)
        QSKIP("root is never refused a device node");
    EmulatedUsbBus bus;
    if (plugged) {
        SimFirmware::State s;
        s.firmwareMinor = uint8_t(firmwareMinor);
        auto fw = std::make_shared<SimFirmware>(s);
        fw->queueBulk(SimFirmware::frameReport(1, false, false, 0, 0x123, false, {1, 2}));
        SimFirmware::Bytes two = SimFirmware::frameReport(2, true, false, 1, 0x1ABCDEF, true, {});
        const SimFirmware::Bytes third = SimFirmware::frameReport(3, false, true, 0, 0x7FF, false, {});
        two.insert(two.end(), third.begin(), third.end());
        fw->queueBulk(two);
        const std::string path = bus.plug(fw);
        QVERIFY2(!path.empty(), bus.error().c_str());
        if (refuseAccess)
            QCOMPARE(chmod(bus.nodeFile(path).c_str(), 0), 0);
    }
    DumpOptions o;
    o.count = 3;
    o.seconds = 5;
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    QCOMPARE(DumpCapture(o).run(&out, &err), exitCode);
    QVERIFY2(err.data().startsWith(stderrStart.toUtf8()), err.data().constData());
    QCOMPARE(err.data().count('\n'), 1);
    QCOMPARE(out.data().count('\n'), lines);
}

int main(int argc, char **argv)
{
    EmulatedUsbBus::reexecUnderWrapper(argc, argv);
    if (!EmulatedUsbBus::inMockEnvironment())
        return 1;
    QCoreApplication app(argc, argv);
    TestDumpUmockdev test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dump_umockdev.moc"
