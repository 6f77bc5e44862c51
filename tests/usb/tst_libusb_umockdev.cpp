// The libusb backend end to end: real libusb in this process, usbdevfs emulated by
// umockdev, every transfer answered by the firmware model. Runs under umockdev-run.sh.
// The exact request bytes, several replies to one request, stopBulk/resumeBulk and a
// removal while monitoring are walked through libusb by tst_e2e_session_libusb.

#include "support/UmockdevMain.h"

#include "device/CWrapWinUSB.h"
#include "device/Exchange.h"
#include "device/usb/LibusbBackend.h"
#include "device/usb/LibusbHotplug.h"

#include <libusb.h>

#include <QtTest>

#include <atomic>
#include <thread>
#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(LibusbHotplug::Mode)

namespace {

using Fault = SimFirmware::Fault;

std::shared_ptr<SimFirmware> firmwareWithSerial(const char *serial)
{
    SimFirmware::State s;
    s.serialNumber = serial;
    return std::make_shared<SimFirmware>(s);
}

// One adapter on a bus of its own and a link to it, closed before the bus goes away.
struct Bench {
    EmulatedUsbBus bus;
    std::shared_ptr<SimFirmware> fw = std::make_shared<SimFirmware>();
    std::string path;
    LibusbBackend *raw = new LibusbBackend; // owned by the link; shows the pipes found
    CWrapWinUSB link{std::unique_ptr<UsbBackend>(raw)};
    bool plug(const std::vector<UsbEndpoint> &eps = EmulatedUsbBus::adapterEndpoints())
    { return !(path = bus.plug(fw, eps)).empty(); }
    bool open() { return plug() && link.open(); }
};

QString readSerial(CWrapWinUSB &link)
{
    const ExchangeResult r = Protocol::exchange(link, CommandId::ReadSerialNumber, Protocol::readSerialNumber());
    return r.passed ? Protocol::latin1Field(r.reply, 4, 11) : QString();
}

bool readBulk(CWrapWinUSB &link)
{
    uint8_t buf[SimFirmware::BulkTransferSize];
    uint32_t n = 0;
    return link.readBulk(buf, sizeof buf, &n);
}

} // namespace

class TestLibusbUmockdev : public QObject {
    Q_OBJECT
private slots:
    void commandExchange_data()
    {
        // fault -1: none; why empty: passes
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("replyLength");
        QTest::addColumn<QString>("why");
        QTest::newRow("passes") << -1 << 5 << QString();
        QTest::newRow("long reply") << int(Fault::LongReply) << 6
                                    << "a reply of 6 bytes to ReadChannalCount, 5 expected";
        // A silent device costs one time-out (libusb says so), not a hang.
        QTest::newRow("silent") << int(Fault::NoReply) << 0
                                << "no reply within 1000 ms to ReadChannalCount";
        // Unplugged after taking the request: a disconnect, not a time-out.
        QTest::newRow("removal") << int(Fault::RemoveMidExchange) << 0
                                 << "the adapter was removed during ReadChannalCount";
    }
    // The reply comes back over interrupt IN with the length the device sent, and the link
    // stays usable unless removed.
    void commandExchange()
    {
        QFETCH(int, fault);
        const QByteArray request = QByteArray::fromHex("12130100");
        Bench b;
        QVERIFY2(b.open(), b.bus.error().c_str());
        if (fault >= 0)
            b.fw->scriptFault(0x13, Fault(fault));
        const ExchangeResult r = Protocol::exchange(b.link, CommandId::ReadChannalCount, request);
        QVERIFY(!r.atRequest);
        QTEST(r.text(), "why");
        QTEST(int(r.reply.size()), "replyLength");
        const bool removed = fault == int(Fault::RemoveMidExchange);
        QCOMPARE(readSerial(b.link).isEmpty(), removed);
        QCOMPARE(int(b.fw->requests().size()), removed ? 1 : 2); // sent once; refused, not lost
    }

    void endpoints_data()
    {
        QTest::addColumn<QByteArray>("endpoints"); // (address, attributes) pairs
        QTest::addColumn<QByteArray>("pipes");     // interrupt IN, OUT, bulk IN, OUT; 0: none
        QTest::newRow("all four") << QByteArray::fromHex("8103010382020202") << QByteArray::fromHex("81018202");
        QTest::newRow("no interrupt OUT, no bulk IN") << QByteArray::fromHex("81030202") << QByteArray::fromHex("81000002");
        QTest::newRow("isochronous ignored") << QByteArray::fromHex("8103010382028401") << QByteArray::fromHex("81018200");
    }
    // The link opens whatever pipes the interface offers; a missing pipe's transfers fail
    // and nothing reaches the device.
    void endpoints()
    {
        QFETCH(QByteArray, endpoints); QFETCH(QByteArray, pipes);
        Bench b;
        std::vector<UsbEndpoint> eps;
        for (int i = 0; i + 1 < endpoints.size(); i += 2)
            eps.push_back({uint8_t(endpoints[i]), uint8_t(endpoints[i + 1])});
        QVERIFY2(b.plug(eps) && b.link.open(), b.bus.error().c_str());
        const PipeIds p = b.raw->pipes();
        const char found[] = {char(p.interruptIn), char(p.interruptOut), char(p.bulkIn), char(p.bulkOut)};
        QCOMPARE(QByteArray(found, 4).toHex(), pipes.toHex());
        QCOMPARE(b.link.bulkInPipeId(), uint8_t(pipes.at(2)));
        uint32_t n = 0;
        QCOMPARE(b.link.writePipe(reinterpret_cast<const uint8_t *>("\x12\x13\x01\x00"), 4, &n), pipes.at(1) != 0);
        QCOMPARE(int(b.fw->requests().size()), pipes.at(1) != 0 ? 1 : 0);
        QVERIFY(pipes.at(2) != 0 || !readBulk(b.link));
    }

    // Refused access (the udev rule is missing): open fails and one line on stderr names
    // the rule to install. Root is never refused: as root this runs as user nobody.
    void permissionDeniedNamesTheRule()
    {
        if (geteuid() == 0)
            QSKIP("root is never refused a device node");
        Bench b;
        QVERIFY2(b.plug(), b.bus.error().c_str());
        QCOMPARE(chmod(b.bus.nodeFile(b.path).c_str(), 0), 0);
        QTemporaryFile capture;
        QVERIFY(capture.open());
        // stderr is unbuffered: the line is in the file once open() returns.
        const int saved = dup(STDERR_FILENO);
        dup2(capture.handle(), STDERR_FILENO);
        const bool opened = b.link.open();
        dup2(saved, STDERR_FILENO);
        ::close(saved);
        QVERIFY(!opened);
        capture.seek(0);
        const QByteArray text = capture.readAll();
        QVERIFY2(text.contains("60-brantel.rules") && text.count('\n') == 1, text.constData());
    }

    // With two adapters the link opens the one libusb enumerates last; the serial number
    // in the reply tells which one answered.
    void twoAdaptersOpenTheLastEnumerated()
    {
        EmulatedUsbBus bus;
        const std::shared_ptr<SimFirmware> fw[] = {firmwareWithSerial("HL000000001"),
                                                   firmwareWithSerial("HL000000002")};
        const std::string paths[] = {bus.plug(fw[0]), bus.plug(fw[1])};
        libusb_context *ctx = nullptr;
        QCOMPARE(libusb_init(&ctx), int(LIBUSB_SUCCESS));
        libusb_device **list = nullptr;
        const ssize_t n = libusb_get_device_list(ctx, &list);
        QVERIFY(n >= 2);
        // The bus names a device ".../1-<device address>".
        const std::string lastName = "-" + std::to_string(libusb_get_device_address(list[n - 1]));
        libusb_free_device_list(list, 1);
        libusb_exit(ctx);
        const auto isLast = [&](int k) { return paths[k].substr(paths[k].rfind('-')) == lastName; };
        const int last = isLast(1) ? 1 : 0;
        QVERIFY(isLast(last));
        CWrapWinUSB link(std::make_unique<LibusbBackend>());
        QVERIFY(link.open());
        QCOMPARE(readSerial(link), QString::fromStdString(fw[last]->state().serialNumber));
        QVERIFY(fw[1 - last]->requests().empty());
    }

    // A bulk read waiting in the receive thread is ended by close() from the GUI thread,
    // which frees nothing it still uses; the closed link refuses reads, even with data queued.
    void closeEndsPendingBulkRead()
    {
        Bench b;
        QVERIFY2(b.open(), b.bus.error().c_str());
        std::atomic<int> result{-1};
        std::thread reader([&] { result = readBulk(b.link) ? 1 : 0; });
        QTest::qWait(100);
        const int pending = result; // nothing was streamed
        b.link.close();
        QTRY_COMPARE_WITH_TIMEOUT(result.load(), 0, 5000);
        reader.join();
        QCOMPARE(pending, -1);
        b.fw->queueBulk({1, 2, 3});
        QVERIFY(!readBulk(b.link));
    }

    void hotplug_data()
    {
        QTest::addColumn<LibusbHotplug::Mode>("mode");
        QTest::newRow("hot-plug callbacks") << LibusbHotplug::Mode::Automatic;
        QTest::newRow("device-list poll") << LibusbHotplug::Mode::Poll;
    }
    // Arrival and removal of the adapter reach deviceChanged; another maker's device does
    // not, and is not opened. On arrival the adapter can be opened at
    // once (the serial read): it tells each arrival apart.
    void hotplug()
    {
        QFETCH(LibusbHotplug::Mode, mode);
        EmulatedUsbBus bus;
        LibusbHotplug source(nullptr, mode, 100);
        QVERIFY(source.isActive());
        QCOMPARE(source.usesCallbacks(), mode == LibusbHotplug::Mode::Automatic);
        QList<int> codes;
        QString serial;
        connect(&source, &HotplugSource::deviceChanged, this, [&](int code) {
            codes.append(code);
            CWrapWinUSB link(std::make_unique<LibusbBackend>());
            if (code == 0 && link.open())
                serial = readSerial(link);
        });
        const std::string foreign = bus.plug(std::make_shared<SimFirmware>(),
                                             EmulatedUsbBus::adapterEndpoints(), 0x046d, 0xc52b);
        QVERIFY(!foreign.empty());
        QVERIFY(!CWrapWinUSB(std::make_unique<LibusbBackend>()).open());
        const std::string path = bus.plug(firmwareWithSerial("HL000000042"));
        QTRY_COMPARE_WITH_TIMEOUT(serial, QStringLiteral("HL000000042"), 5000);
        QCOMPARE(codes, QList<int>{0});
        bus.unplug(path);
        QTRY_COMPARE_WITH_TIMEOUT(codes, (QList<int>{0, 1}), 5000);
        bus.unplug(foreign);
        bus.plug(firmwareWithSerial("HL000000043"));
        QTRY_COMPARE_WITH_TIMEOUT(serial, QStringLiteral("HL000000043"), 5000);
        QCOMPARE(codes, (QList<int>{0, 1, 0}));
    }
};

BRANTEL_UMOCKDEV_MAIN(TestLibusbUmockdev)
#include "tst_libusb_umockdev.moc"
