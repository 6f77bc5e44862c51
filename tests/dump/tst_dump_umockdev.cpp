// brantel-dump through real libusb on a umockdev-emulated bus: each refusal gives its
// one-line message and exit code, and a plugged adapter is captured from. Reporting is
// off afterwards in every case, also when the start's answer was lost.

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
    void outcome_data()
    {
        // 0: none, 1: refuses access, 2: firmware 1.14, 3: firmware 1.15, 4: a refused start
        QTest::addColumn<int>("adapter");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("stderrStart");
        QTest::addColumn<int>("lines");
        QTest::newRow("no adapter") << 0 << int(DumpExit::NoAdapter)
                                    << "brantel-dump: no adapter found (USB 0471:1200)\n" << 0;
        QTest::newRow("access refused") << 1 << int(DumpExit::AccessRefused)
            << "brantel-dump: access to the adapter refused: install the udev rule /etc/udev/rules.d/"
               "60-brantel.rules (packaging/linux/60-brantel.rules) and plug it in again\n" << 0;
        QTest::newRow("firmware 1.14") << 2 << int(DumpExit::Incompatible)
            << "brantel-dump: incompatible adapter: device type \"HLW-C2+\", firmware 1.14\n" << 0;
        QTest::newRow("capture") << 3 << int(DumpExit::Ok)
            << "brantel-dump: 3 frames (channel 0: 2, channel 1: 1), 3 transfers," << 3;
        QTest::newRow("start refused") << 4 << int(DumpExit::Failed)
            << "brantel-dump: the adapter did not start frame reporting: status 0x80 instead of 0x81 "
               "in the reply to SetMonitoring\n" << 0;
    }

    void outcome()
    {
        QFETCH(int, adapter);
        DeviceBackends::registerBuiltins(); // registering again replaces the entries
        QVERIFY(DeviceBackends::select(DeviceBackends::platformDefaultName()));
        if (adapter == 1 && geteuid() == 0)
            QSKIP("root is never refused a device node");
        EmulatedUsbBus bus;
        SimFirmware::State s;
        s.firmwareMinor = adapter == 2 ? 0x14 : 0x15;
        auto fw = std::make_shared<SimFirmware>(s);
        // Three frames in three transfers (several in one: tst_dump).
        fw->queueBulk(SimFirmware::frameReport(1, false, false, 0, 0x123, false, {1, 2}));
        fw->queueBulk(SimFirmware::frameReport(2, true, false, 1, 0x1ABCDEF, true, {}));
        fw->queueBulk(SimFirmware::frameReport(3, false, true, 0, 0x7FF, false, {}));
        if (adapter == 4)
            fw->scriptFault(0xA2, SimFirmware::Fault::WrongStatus);
        const std::string path = adapter > 0 ? bus.plug(fw) : std::string();
        QVERIFY2(adapter == 0 || !path.empty(), bus.error().c_str());
        QVERIFY(adapter != 1 || chmod(bus.nodeFile(path).c_str(), 0) == 0);
        DumpOptions o;
        o.count = 3;
        o.seconds = 5;
        QBuffer out, err;
        QVERIFY(out.open(QIODevice::WriteOnly) && err.open(QIODevice::WriteOnly));
        QTEST(int(DumpCapture(o).run(&out, &err)), "exitCode");
        QFETCH(QString, stderrStart);
        QVERIFY2(err.data().startsWith(stderrStart.toUtf8()) && err.data().count('\n') == 1,
                 err.data().constData());
        QTEST(int(out.data().count('\n')), "lines");
        QVERIFY(!fw->state().monitoring);
    }
};

BRANTEL_UMOCKDEV_MAIN(TestDumpUmockdev)
#include "tst_dump_umockdev.moc"
