// The libusb backend end to end: real libusb in this process, usbdevfs emulated by
// umockdev, every transfer answered by the firmware model. Runs under umockdev-wrapper
// (the test re-executes itself under it when started directly).

#include "EmulatedUsbBus.h"
#include "BulkReader.h"

#include "device/CWrapWinUSB.h"
#include "device/DeviceBackends.h"
#include "device/PlatformBackends.h"
#include "device/Protocol.h"
#include "device/SimFirmware.h"
#include "device/usb/LibusbBackend.h"
#include "device/usb/LibusbHotplug.h"

#include <libusb.h>

#include <QtTest>

#include <algorithm>
#include <atomic>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(CommandId)
Q_DECLARE_METATYPE(SimFirmware::Fault)
Q_DECLARE_METATYPE(LibusbHotplug::Mode)

namespace {

constexpr int NoFault = -1;

std::shared_ptr<SimFirmware> firmwareWithSerial(const std::string &serial)
{
    SimFirmware::State s;
    s.serialNumber = serial;
    return std::make_shared<SimFirmware>(s);
}

// A link over a fresh libusb backend; `raw` lets a test look at the pipes found.
struct Link {
    LibusbBackend *raw;
    CWrapWinUSB link;
    Link() : Link(std::make_unique<LibusbBackend>()) {}

private:
    explicit Link(std::unique_ptr<LibusbBackend> b) : raw(b.get()), link(std::move(b)) {}
};

QByteArray bytes(const SimFirmware::Bytes &b)
{
    return QByteArray(reinterpret_cast<const char *>(b.data()), int(b.size()));
}

// Endpoint lists in table rows: pairs of (address, attributes).
std::vector<EndpointSpec> endpointsFrom(const QByteArray &pairs)
{
    std::vector<EndpointSpec> out;
    for (int i = 0; i + 1 < pairs.size(); i += 2)
        out.push_back({uint8_t(pairs[i]), uint8_t(pairs[i + 1])});
    return out;
}

// Bus and device number of the last 0471:1200 device libusb enumerates: the one the
// backend must open.
bool lastEnumeratedAdapter(int *bus, int *device)
{
    libusb_context *ctx = nullptr;
    if (libusb_init(&ctx) != LIBUSB_SUCCESS)
        return false;
    libusb_device **list = nullptr;
    const ssize_t n = libusb_get_device_list(ctx, &list);
    bool found = false;
    for (ssize_t i = 0; i < n; ++i) {
        libusb_device_descriptor d;
        if (libusb_get_device_descriptor(list[i], &d) == 0 && d.idVendor == 0x0471
            && d.idProduct == 0x1200) {
            *bus = libusb_get_bus_number(list[i]);
            *device = libusb_get_device_address(list[i]);
            found = true;
        }
    }
    if (n >= 0)
        libusb_free_device_list(list, 1);
    libusb_exit(ctx);
    return found;
}

} // namespace

class TestLibusbUmockdev : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void commandExchange_data();
    void commandExchange();
    void multiReplyCommand();
    void silentFirmwareTimesOut();
    void removalMidExchangeFailsAtOnce();

    void missingEndpoints_data();
    void missingEndpoints();
    void noAdapter_data();
    void noAdapter();
    void permissionDeniedNamesTheRule();
    void twoAdaptersOpenTheLastEnumerated();

    void bulkStreamWhileMonitoring();
    void closeDuringPendingBulkRead();
    void removalDuringPendingBulkRead();

    void hotplug_data();
    void hotplug();
    void registeredAsPlatformBackend();
};

void TestLibusbUmockdev::initTestCase()
{
    QVERIFY2(EmulatedUsbBus::inMockEnvironment(), "must run under umockdev-wrapper");
}

void TestLibusbUmockdev::commandExchange_data()
{
    QTest::addColumn<CommandId>("id");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("replyLength");
    QTest::addColumn<bool>("passes");

    const auto hex = [](const char *h) { return QByteArray::fromHex(h); };
    QTest::newRow("ReadChannalCount") << CommandId::ReadChannalCount << hex("12130100")
                                      << NoFault << 5 << true;
    QTest::newRow("ReadChannalCount long reply")
        << CommandId::ReadChannalCount << hex("12130100") << int(SimFirmware::Fault::LongReply)
        << 6 << false;
    QTest::newRow("ReadChannalCount short reply")
        << CommandId::ReadChannalCount << hex("12130100") << int(SimFirmware::Fault::ShortReply)
        << 2 << false;
    QTest::newRow("ReadModeState") << CommandId::ReadModeState << hex("12a70100") << NoFault
                                   << 8 << true;
    QTest::newRow("ReadBaudRate channel 1")
        << CommandId::ReadBaudRate << hex("12a40101") << NoFault << 9 << true;
    QTest::newRow("SetRelayMode on") << CommandId::SetRelayMode << hex("12b10101") << NoFault
                                     << 4 << true;
    QTest::newRow("SetRelayMode wrong status")
        << CommandId::SetRelayMode << hex("12b10101") << int(SimFirmware::Fault::WrongStatus)
        << 4 << false;
    QTest::newRow("SetOfflineMode five bytes")
        << CommandId::SetOfflineMode << hex("12a8010100") << NoFault << 4 << true;
    QTest::newRow("ReadFirmwareVersion untested reply")
        << CommandId::ReadFirmwareVersion << hex("12120100") << int(SimFirmware::Fault::ShortReply)
        << 2 << true;
}

// Exact request bytes reach the firmware over interrupt OUT, and the reply comes back
// over interrupt IN with exactly the length the device sent, judged as the table says.
void TestLibusbUmockdev::commandExchange()
{
    QFETCH(CommandId, id);
    QFETCH(QByteArray, request);
    QFETCH(int, fault);
    QFETCH(int, replyLength);
    QFETCH(bool, passes);

    EmulatedUsbBus bus;
    auto fw = std::make_shared<SimFirmware>();
    QVERIFY2(!bus.plug(fw).empty(), bus.error().c_str());
    if (fault != NoFault)
        fw->scriptFault(uint8_t(request[1]), SimFirmware::Fault(fault));

    Link l;
    QVERIFY(l.link.open());
    QVERIFY(Protocol::sendRequest(l.link, id, request));
    QByteArray reply;
    QCOMPARE(Protocol::readReply(l.link, id, &reply), passes);
    QCOMPARE(reply.size(), replyLength);

    const auto seen = fw->requests();
    QCOMPARE(int(seen.size()), 1);
    QCOMPARE(bytes(seen.front()), request);
}

// Fourteen replies to one request, read back to back.
void TestLibusbUmockdev::multiReplyCommand()
{
    EmulatedUsbBus bus;
    auto fw = std::make_shared<SimFirmware>();
    QVERIFY2(!bus.plug(fw).empty(), bus.error().c_str());
    Link l;
    QVERIFY(l.link.open());
    const QByteArray request = Protocol::readAcceptanceFilters(1);
    QCOMPARE(request, QByteArray::fromHex("12aa0101"));
    QVERIFY(Protocol::sendRequest(l.link, CommandId::ReadAcceptanceFilters, request));
    for (int bank = 0; bank < SimFirmware::FilterBankCount; ++bank) {
        QByteArray reply;
        QVERIFY2(Protocol::readReply(l.link, CommandId::ReadAcceptanceFilters, &reply),
                 qPrintable(QStringLiteral("bank %1").arg(bank)));
    }
    // Nothing more is queued: the next read times out instead of returning stale bytes.
    QByteArray extra;
    QVERIFY(!Protocol::readReply(l.link, CommandId::ReadAcceptanceFilters, &extra));
    QVERIFY(extra.isEmpty());
}

// A device that takes the request and never answers costs one time-out, not a hang,
// and the link stays usable afterwards.
void TestLibusbUmockdev::silentFirmwareTimesOut()
{
    EmulatedUsbBus bus;
    auto fw = std::make_shared<SimFirmware>();
    QVERIFY2(!bus.plug(fw).empty(), bus.error().c_str());
    fw->scriptFault(0x13, SimFirmware::Fault::NoReply);
    Link l;
    QVERIFY(l.link.open());

    QVERIFY(Protocol::sendRequest(l.link, CommandId::ReadChannalCount,
                                  Protocol::readChannalCount()));
    QElapsedTimer timer;
    timer.start();
    QByteArray reply;
    QVERIFY(!Protocol::readReply(l.link, CommandId::ReadChannalCount, &reply));
    const qint64 ms = timer.elapsed();
    qInfo("silent firmware: read failed after %lld ms", ms);
    QVERIFY2(ms >= 900 && ms <= 2000, qPrintable(QString::number(ms)));
    QVERIFY(reply.isEmpty());

    QVERIFY(Protocol::sendRequest(l.link, CommandId::ReadChannalCount,
                                  Protocol::readChannalCount()));
    QVERIFY(Protocol::readReply(l.link, CommandId::ReadChannalCount, &reply));
    QCOMPARE(reply.size(), 5);
}

// Unplugged right after taking the request: the read fails as a disconnect, well
// before the time-out would end it.
void TestLibusbUmockdev::removalMidExchangeFailsAtOnce()
{
    EmulatedUsbBus bus;
    auto fw = std::make_shared<SimFirmware>();
    QVERIFY2(!bus.plug(fw).empty(), bus.error().c_str());
    fw->scriptFault(0xA7, SimFirmware::Fault::RemoveMidExchange);
    Link l;
    QVERIFY(l.link.open());
    QVERIFY(Protocol::sendRequest(l.link, CommandId::ReadModeState, Protocol::readModeState()));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!Protocol::readReply(l.link, CommandId::ReadModeState, nullptr));
    QVERIFY2(timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed())));
    // Gone for good: a later request is refused instead of vanishing.
    const QByteArray request = Protocol::readModeState();
    uint32_t written = 0;
    QVERIFY(!l.link.writePipe(reinterpret_cast<const uint8_t *>(request.constData()),
                              uint32_t(request.size()), &written));
    QCOMPARE(written, 0u);
    QCOMPARE(int(fw->requests().size()), 1);
    l.link.close();
}

void TestLibusbUmockdev::missingEndpoints_data()
{
    QTest::addColumn<QByteArray>("endpoints"); // (address, attributes) pairs
    QTest::addColumn<int>("interruptIn");
    QTest::addColumn<int>("interruptOut");
    QTest::addColumn<int>("bulkIn");
    QTest::addColumn<int>("bulkOut");

    QTest::newRow("all four") << QByteArray::fromHex("8103010382020202") << 0x81 << 0x01
                              << 0x82 << 0x02;
    QTest::newRow("no interrupt OUT") << QByteArray::fromHex("810382020202") << 0x81 << 0
                                      << 0x82 << 0x02;
    QTest::newRow("no bulk IN") << QByteArray::fromHex("810301030202") << 0x81 << 0x01 << 0
                                << 0x02;
    QTest::newRow("later interrupt IN wins")
        << QByteArray::fromHex("81030103830382020202") << 0x83 << 0x01 << 0x82 << 0x02;
    QTest::newRow("isochronous ignored")
        << QByteArray::fromHex("8103010382028401") << 0x81 << 0x01 << 0x82 << 0;
    QTest::newRow("no endpoints") << QByteArray() << 0 << 0 << 0 << 0;
}

// The link opens whatever pipes the interface offers; a missing pipe's transfers fail
// at once and nothing reaches the device.
void TestLibusbUmockdev::missingEndpoints()
{
    QFETCH(QByteArray, endpoints);
    QFETCH(int, interruptIn);
    QFETCH(int, interruptOut);
    QFETCH(int, bulkIn);
    QFETCH(int, bulkOut);

    EmulatedUsbBus bus;
    auto fw = std::make_shared<SimFirmware>();
    QVERIFY2(!bus.plug(fw, endpointsFrom(endpoints)).empty(), bus.error().c_str());
    Link l;
    QVERIFY(l.link.open());
    const PipeIds p = l.raw->pipes();
    QCOMPARE(int(p.interruptIn), interruptIn);
    QCOMPARE(int(p.interruptOut), interruptOut);
    QCOMPARE(int(p.bulkIn), bulkIn);
    QCOMPARE(int(p.bulkOut), bulkOut);
    QCOMPARE(int(l.link.bulkInPipeId()), bulkIn);

    const QByteArray request = Protocol::readChannalCount();
    uint32_t written = 99;
    const bool wrote = l.link.writePipe(reinterpret_cast<const uint8_t *>(request.constData()),
                                        uint32_t(request.size()), &written);
    QCOMPARE(wrote, interruptOut != 0);
    QCOMPARE(int(written), wrote ? request.size() : 0);
    QCOMPARE(int(fw->requests().size()), wrote ? 1 : 0);

    if (bulkIn == 0) {
        uint8_t buf[64];
        uint32_t n = 0;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!l.link.readBulk(buf, sizeof buf, &n));
        QVERIFY(timer.elapsed() < 100);
    }
}

void TestLibusbUmockdev::noAdapter_data()
{
    QTest::addColumn<bool>("foreignDevice");
    QTest::newRow("empty bus") << false;
    QTest::newRow("only another device") << true;
}

void TestLibusbUmockdev::noAdapter()
{
    QFETCH(bool, foreignDevice);
    EmulatedUsbBus bus;
    auto other = std::make_shared<SimFirmware>();
    if (foreignDevice)
        QVERIFY(!bus.plug(other, EmulatedUsbBus::adapterEndpoints(), 0x046d, 0xc52b).empty());
    Link l;
    QVERIFY(!l.link.open());
    QCOMPARE(l.link.isOpen(), 0);
    uint8_t buf[8] = {0x12, 0x13, 0x01, 0x00};
    uint32_t n = 0;
    QVERIFY(!l.link.writePipe(buf, 4, &n));
    QVERIFY(other->requests().empty());
    l.link.close(); // a failed open is always followed by close
    QCOMPARE(l.link.isOpen(), 0);
}

// Refused access (the udev rule is missing): open fails and one line on stderr names
// the rule to install. Root opens any node, so this runs only as a normal user.
void TestLibusbUmockdev::permissionDeniedNamesTheRule()
{
    if (geteuid() == 0)
        QSKIP("root is never refused a device node");
    EmulatedUsbBus bus;
    const std::string path = bus.plug(std::make_shared<SimFirmware>());
    QVERIFY2(!path.empty(), bus.error().c_str());
    QCOMPARE(chmod(bus.nodeFile(path).c_str(), 0), 0);

    QTemporaryFile capture;
    QVERIFY(capture.open());
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    dup2(capture.handle(), STDERR_FILENO);
    bool opened;
    {
        Link l;
        opened = l.link.open();
    }
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    ::close(saved);

    QVERIFY(!opened);
    capture.seek(0);
    const QByteArray text = capture.readAll();
    QVERIFY2(text.contains("60-brantel.rules"), text.constData());
    QCOMPARE(text.count('\n'), 1);
}

// With two adapters the link opens the one libusb enumerates last; the serial number
// in the reply tells which one answered.
void TestLibusbUmockdev::twoAdaptersOpenTheLastEnumerated()
{
    EmulatedUsbBus bus;
    auto first = firmwareWithSerial("HL000000001");
    auto second = firmwareWithSerial("HL000000002");
    const std::string pathFirst = bus.plug(first);
    const std::string pathSecond = bus.plug(second);
    QVERIFY(!pathFirst.empty() && !pathSecond.empty());

    int lastBus = 0, lastDevice = 0, b = 0, d = 0;
    QVERIFY(lastEnumeratedAdapter(&lastBus, &lastDevice));
    QVERIFY(bus.address(pathFirst, &b, &d));
    const bool firstIsLast = (b == lastBus && d == lastDevice);
    QVERIFY(bus.address(pathSecond, &b, &d));
    QVERIFY(firstIsLast != (b == lastBus && d == lastDevice));
    auto expected = firstIsLast ? first : second;
    auto other = firstIsLast ? second : first;

    Link l;
    QVERIFY(l.link.open());
    QVERIFY(Protocol::sendRequest(l.link, CommandId::ReadSerialNumber,
                                  Protocol::readSerialNumber()));
    QByteArray reply;
    Protocol::readReply(l.link, CommandId::ReadSerialNumber, &reply);
    QCOMPARE(Protocol::latin1Field(reply, 4, 11),
             QString::fromStdString(expected->state().serialNumber));
    QCOMPARE(int(expected->requests().size()), 1);
    QVERIFY(other->requests().empty());
}

// Monitoring on: queued transfers arrive first and unchanged, then the streamed frame
// reports, each transfer whole records of 19 bytes, at most three.
void TestLibusbUmockdev::bulkStreamWhileMonitoring()
{
    EmulatedUsbBus bus;
    auto fw = std::make_shared<SimFirmware>();
    QVERIFY2(!bus.plug(fw).empty(), bus.error().c_str());
    Link l;
    QVERIFY(l.link.open());
    QCOMPARE(int(l.link.bulkInPipeId()), 0x82);

    std::vector<SimFirmware::Bytes> queued;
    for (int i = 0; i < 3; ++i) {
        SimFirmware::Bytes t;
        for (int k = 0; k <= i; ++k) {
            const auto r = SimFirmware::frameReport(uint32_t(1000 * i + k), k % 2 == 1, false,
                                                    k % 2, uint32_t(0x100 + k), false,
                                                    {uint8_t(i), uint8_t(k)});
            t.insert(t.end(), r.begin(), r.end());
        }
        queued.push_back(t);
        fw->queueBulk(t);
    }
    QVERIFY(Protocol::sendRequest(l.link, CommandId::SetMonitoring, Protocol::setMonitoring(true)));
    QVERIFY(Protocol::readReply(l.link, CommandId::SetMonitoring, nullptr));
    QVERIFY(fw->state().monitoring);
    fw->setStreamRate(500);

    uint8_t buf[SimFirmware::BulkTransferSize];
    for (const auto &expected : queued) {
        uint32_t n = 0;
        QVERIFY(l.link.readBulk(buf, sizeof buf, &n));
        QCOMPARE(QByteArray(reinterpret_cast<char *>(buf), int(n)), bytes(expected));
    }
    constexpr int Streamed = 50;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Streamed; ++i) {
        uint32_t n = 0;
        QVERIFY(l.link.readBulk(buf, sizeof buf, &n));
        QVERIFY2(n > 0 && n % SimFirmware::FrameReportSize == 0
                     && n <= 3 * SimFirmware::FrameReportSize,
                 qPrintable(QString::number(n)));
    }
    qInfo("%d streamed transfers at 500/s took %lld ms", Streamed, timer.elapsed());
    l.link.close();
}

// close() on the GUI thread while the receive thread waits in a bulk read: the read
// ends with false and close() returns promptly. Repeated to show the spread.
void TestLibusbUmockdev::closeDuringPendingBulkRead()
{
    EmulatedUsbBus bus;
    auto fw = std::make_shared<SimFirmware>();
    QVERIFY2(!bus.plug(fw).empty(), bus.error().c_str());
    Link l;

    constexpr int Rounds = 10;
    QVector<qint64> latencies;
    for (int round = 0; round < Rounds; ++round) {
        QVERIFY(l.link.open());
        BulkReader reader(l.link);
        QTest::qWait(150);
        QCOMPARE(reader.result(), -1); // still waiting: nothing was streamed
        QElapsedTimer timer;
        timer.start();
        l.link.close();
        latencies.append(timer.nsecsElapsed() / 1000);
        reader.join();
        QCOMPARE(reader.result(), 0);
        QCOMPARE(l.link.isOpen(), 0);
    }
    std::sort(latencies.begin(), latencies.end());
    qInfo("close() during a pending bulk read, %d rounds: min %lld us, median %lld us, max %lld us",
          Rounds, latencies.first(), latencies[Rounds / 2], latencies.last());
    QVERIFY2(latencies.last() < 500 * 1000, qPrintable(QString::number(latencies.last())));

    uint8_t buf[64];
    uint32_t n = 0;
    QVERIFY(!l.link.readBulk(buf, sizeof buf, &n)); // closed: fails at once
}

// Pulling the adapter while the receive thread waits ends the read; the later close()
// touches nothing freed.
void TestLibusbUmockdev::removalDuringPendingBulkRead()
{
    EmulatedUsbBus bus;
    auto fw = std::make_shared<SimFirmware>();
    const std::string path = bus.plug(fw);
    QVERIFY2(!path.empty(), bus.error().c_str());
    Link l;
    QVERIFY(l.link.open());
    BulkReader reader(l.link);
    QTest::qWait(100);
    bus.unplug(path);
    QTRY_COMPARE_WITH_TIMEOUT(reader.result(), 0, 2000);
    reader.join();
    l.link.close();
    QCOMPARE(l.link.isOpen(), 0);
}

void TestLibusbUmockdev::hotplug_data()
{
    QTest::addColumn<LibusbHotplug::Mode>("mode");
    QTest::newRow("hot-plug callbacks") << LibusbHotplug::Mode::Automatic;
    QTest::newRow("device-list poll") << LibusbHotplug::Mode::Poll;
}

// Arrival and removal of the adapter reach deviceChanged on the owning thread; another
// device does not. On arrival the adapter can be opened at once (the name read).
void TestLibusbUmockdev::hotplug()
{
    QFETCH(LibusbHotplug::Mode, mode);
    EmulatedUsbBus bus;
    LibusbHotplug source(nullptr, mode, 100);
    QVERIFY(source.isActive());
    QCOMPARE(source.usesCallbacks(), mode == LibusbHotplug::Mode::Automatic);

    QList<int> codes;
    QString serialOnArrival;
    bool offThread = false;
    connect(&source, &HotplugSource::deviceChanged, this, [&](int code) {
        offThread = offThread || QThread::currentThread() != thread();
        codes.append(code);
        if (code == 0) {
            Link l;
            QByteArray reply;
            if (l.link.open()
                && Protocol::sendRequest(l.link, CommandId::ReadSerialNumber,
                                         Protocol::readSerialNumber())
                && Protocol::readReply(l.link, CommandId::ReadSerialNumber, &reply))
                serialOnArrival = Protocol::latin1Field(reply, 4, 11);
        }
    });

    const std::string foreign =
        bus.plug(std::make_shared<SimFirmware>(), EmulatedUsbBus::adapterEndpoints(), 0x046d,
                 0xc52b);
    QVERIFY(!foreign.empty());
    QTest::qWait(400);
    QCOMPARE(codes, QList<int>());

    const std::string path = bus.plug(firmwareWithSerial("HL000000042"));
    QVERIFY(!path.empty());
    QTRY_COMPARE_WITH_TIMEOUT(codes, QList<int>{0}, 3000);
    QCOMPARE(serialOnArrival, QStringLiteral("HL000000042"));

    bus.unplug(foreign);
    QTest::qWait(400);
    QCOMPARE(codes, QList<int>{0});

    bus.unplug(path);
    QTRY_COMPARE_WITH_TIMEOUT(codes, (QList<int>{0, 1}), 3000);
    QVERIFY(!offThread);
}

// The registry offers "libusb" as the platform default, and what it builds works.
void TestLibusbUmockdev::registeredAsPlatformBackend()
{
    DeviceBackends::registerBuiltins();
    QVERIFY(DeviceBackends::names().contains(QStringLiteral("libusb")));
    QCOMPARE(DeviceBackends::platformDefaultName(), QStringLiteral("libusb"));
    QVERIFY(DeviceBackends::select(QStringLiteral("libusb")));

    EmulatedUsbBus bus;
    auto fw = std::make_shared<SimFirmware>();
    QVERIFY2(!bus.plug(fw).empty(), bus.error().c_str());
    CWrapWinUSB link; // the selected backend
    QVERIFY(link.open());
    QVERIFY(Protocol::sendRequest(link, CommandId::ReadChannalCount, Protocol::readChannalCount()));
    QVERIFY(Protocol::readReply(link, CommandId::ReadChannalCount, nullptr));

    QObject owner;
    HotplugSource *source = DeviceBackends::createHotplugSource(&owner);
    QVERIFY(qobject_cast<LibusbHotplug *>(source) != nullptr);
    QCOMPARE(source->parent(), &owner);
}

int main(int argc, char **argv)
{
    EmulatedUsbBus::reexecUnderWrapper(argc, argv);
    if (!EmulatedUsbBus::inMockEnvironment())
        return 1;
    QCoreApplication app(argc, argv);
    TestLibusbUmockdev test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_libusb_umockdev.moc"
