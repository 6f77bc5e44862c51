// The libusb backend end to end: real libusb in this process, usbdevfs emulated by
// umockdev, every transfer answered by the firmware model. Runs under umockdev-wrapper
// (the test re-executes itself under it when started directly).

#include "EmulatedUsbBus.h"
#include "BulkReader.h"

#include "device/CWrapWinUSB.h"
#include "device/Exchange.h"
#include "device/SimFirmware.h"
#include "device/usb/LibusbBackend.h"
#include "device/usb/LibusbHotplug.h"

#include <libusb.h>

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(CommandId)
Q_DECLARE_METATYPE(LibusbHotplug::Mode)

namespace {

constexpr int NoFault = -1;

std::shared_ptr<SimFirmware> firmwareWithSerial(const std::string &serial)
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
    bool plug(const std::vector<UsbEndpoint> &endpoints = EmulatedUsbBus::adapterEndpoints())
    {
        path = bus.plug(fw, endpoints);
        return !path.empty();
    }
    bool plugAndOpen() { return plug() && link.open(); }
};

QString readSerial(CWrapWinUSB &link)
{
    const ExchangeResult r =
        Protocol::exchange(link, CommandId::ReadSerialNumber, Protocol::readSerialNumber());
    return r.passed ? Protocol::latin1Field(r.reply, 4, 11) : QString();
}

// Straight to interrupt OUT: the bytes written, or -1 when the write failed with none.
int write(CWrapWinUSB &link, const QByteArray &bytes)
{
    uint32_t n = 0;
    const bool ok = link.writePipe(reinterpret_cast<const uint8_t *>(bytes.constData()),
                                   uint32_t(bytes.size()), &n);
    return ok ? int(n) : (n == 0 ? -1 : -2);
}

bool readBulk(CWrapWinUSB &link, QByteArray *out = nullptr)
{
    uint8_t buf[SimFirmware::BulkTransferSize];
    uint32_t n = 0;
    const bool ok = link.readBulk(buf, sizeof buf, &n);
    if (out)
        *out = QByteArray(reinterpret_cast<const char *>(buf), int(n));
    return ok;
}

QByteArray bytes(const SimFirmware::Bytes &b)
{
    return QByteArray(reinterpret_cast<const char *>(b.data()), int(b.size()));
}

// Bus and device number of the last 0471:1200 device libusb enumerates: the one the
// backend must open.
std::pair<int, int> lastEnumeratedAdapter()
{
    std::pair<int, int> found{0, 0};
    libusb_context *ctx = nullptr;
    if (libusb_init(&ctx) != LIBUSB_SUCCESS)
        return found;
    libusb_device **list = nullptr;
    const ssize_t n = libusb_get_device_list(ctx, &list);
    for (ssize_t i = 0; i < n; ++i) {
        libusb_device_descriptor d;
        if (libusb_get_device_descriptor(list[i], &d) == 0 && d.idVendor == 0x0471
            && d.idProduct == 0x1200)
            found = {libusb_get_bus_number(list[i]), libusb_get_device_address(list[i])};
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
    void initTestCase()
    {
        QVERIFY2(EmulatedUsbBus::inMockEnvironment(), "must run under umockdev-wrapper");
    }
    void commandExchange_data();
    void commandExchange();
    void silentFirmwareTimesOut();
    void removalMidExchangeFailsAtOnce();
    void endpoints_data();
    void endpoints();
    void noAdapter();
    void permissionDeniedNamesTheRule();
    void twoAdaptersOpenTheLastEnumerated();
    void bulkStreamWhileMonitoring();
    void stopAndCloseDuringPendingBulkRead();
    void removalDuringPendingBulkRead();
    void hotplug_data();
    void hotplug();
};

void TestLibusbUmockdev::commandExchange_data()
{
    QTest::addColumn<CommandId>("id");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("replies");
    QTest::addColumn<int>("replyLength");
    QTest::addColumn<bool>("passes");

    const auto hex = [](const char *h) { return QByteArray::fromHex(h); };
    const int longReply = int(SimFirmware::Fault::LongReply);
    QTest::newRow("ReadChannalCount")
        << CommandId::ReadChannalCount << hex("12130100") << NoFault << 1 << 5 << true;
    QTest::newRow("ReadChannalCount long reply")
        << CommandId::ReadChannalCount << hex("12130100") << longReply << 1 << 6 << false;
    QTest::newRow("SetRelayMode wrong status")
        << CommandId::SetRelayMode << hex("12b10101") << int(SimFirmware::Fault::WrongStatus)
        << 1 << 4 << false;
    QTest::newRow("ReadAcceptanceFilters, a reply per bank") << CommandId::ReadAcceptanceFilters
        << hex("12aa0101") << NoFault << int(SimFirmware::FilterBankCount) << 14 << true;
}

// Exact request bytes reach the firmware over interrupt OUT, and each reply comes back
// over interrupt IN with exactly the length the device sent, judged as the table says.
void TestLibusbUmockdev::commandExchange()
{
    QFETCH(CommandId, id);
    QFETCH(QByteArray, request);
    QFETCH(int, fault);
    QFETCH(int, replies);
    QFETCH(int, replyLength);
    QFETCH(bool, passes);

    Bench b;
    QVERIFY2(b.plugAndOpen(), b.bus.error().c_str());
    if (fault != NoFault)
        b.fw->scriptFault(uint8_t(request[1]), SimFirmware::Fault(fault));
    for (int i = 0; i < replies; ++i) {
        const ExchangeResult r =
            i == 0 ? Protocol::exchange(b.link, id, request) : Protocol::nextReply(b.link, id);
        QVERIFY(!r.atRequest);
        QCOMPARE(r.passed, passes);
        QCOMPARE(r.reply.size(), replyLength);
    }
    const auto seen = b.fw->requests();
    QCOMPARE(int(seen.size()), 1);
    QCOMPARE(bytes(seen.front()), request);
}

// A device that takes the request and never answers costs one time-out (libusb says
// so), not a hang, and the link stays usable afterwards.
void TestLibusbUmockdev::silentFirmwareTimesOut()
{
    Bench b;
    QVERIFY2(b.plugAndOpen(), b.bus.error().c_str());
    b.fw->scriptFault(0x13, SimFirmware::Fault::NoReply);
    ExchangeResult r =
        Protocol::exchange(b.link, CommandId::ReadChannalCount, Protocol::readChannalCount());
    QCOMPARE(r.text(), QStringLiteral("no reply within 1000 ms to ReadChannalCount"));
    QVERIFY(r.reply.isEmpty());

    r = Protocol::exchange(b.link, CommandId::ReadChannalCount, Protocol::readChannalCount());
    QVERIFY(r.passed);
    QCOMPARE(r.reply.size(), 5);
}

// Unplugged right after taking the request: the read fails as a disconnect, not as a
// time-out, and later requests are refused, not lost.
void TestLibusbUmockdev::removalMidExchangeFailsAtOnce()
{
    Bench b;
    QVERIFY2(b.plugAndOpen(), b.bus.error().c_str());
    b.fw->scriptFault(0xA7, SimFirmware::Fault::RemoveMidExchange);
    QCOMPARE(Protocol::exchange(b.link, CommandId::ReadModeState, Protocol::readModeState()).text(),
             QStringLiteral("the adapter was removed during ReadModeState"));
    QCOMPARE(write(b.link, Protocol::readModeState()), -1);
    QCOMPARE(int(b.fw->requests().size()), 1);
}

void TestLibusbUmockdev::endpoints_data()
{
    QTest::addColumn<QByteArray>("endpoints"); // (address, attributes) pairs
    QTest::addColumn<QByteArray>("pipes");     // interrupt IN, OUT, bulk IN, OUT; 0: none
    const auto hex = [](const char *h) { return QByteArray::fromHex(h); };
    QTest::newRow("all four") << hex("8103010382020202") << hex("81018202");
    QTest::newRow("no interrupt OUT, no bulk IN") << hex("81030202") << hex("81000002");
    QTest::newRow("isochronous ignored") << hex("8103010382028401") << hex("81018200");
}

// The link opens whatever pipes the interface offers; a missing pipe's transfers fail
// at once and nothing reaches the device.
void TestLibusbUmockdev::endpoints()
{
    QFETCH(QByteArray, endpoints);
    QFETCH(QByteArray, pipes);

    Bench b;
    std::vector<UsbEndpoint> eps;
    for (int i = 0; i + 1 < endpoints.size(); i += 2)
        eps.push_back({uint8_t(endpoints[i]), uint8_t(endpoints[i + 1])});
    QVERIFY2(b.plug(eps), b.bus.error().c_str());
    QVERIFY(b.link.open());
    const PipeIds p = b.raw->pipes();
    const char found[] = {char(p.interruptIn), char(p.interruptOut), char(p.bulkIn), char(p.bulkOut)};
    QCOMPARE(QByteArray(found, 4), pipes);
    QCOMPARE(b.link.bulkInPipeId(), uint8_t(pipes.at(2)));

    const QByteArray request = Protocol::readChannalCount();
    const bool writable = pipes.at(1) != 0;
    QCOMPARE(write(b.link, request), writable ? request.size() : -1);
    QCOMPARE(int(b.fw->requests().size()), writable ? 1 : 0);
    if (pipes.at(2) == 0) {
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!readBulk(b.link));
        QVERIFY(timer.elapsed() < 800); // at once, not after a wait
    }
}

// Another maker's device on the bus is not the adapter.
void TestLibusbUmockdev::noAdapter()
{
    Bench b;
    QVERIFY(!b.bus.plug(b.fw, EmulatedUsbBus::adapterEndpoints(), 0x046d, 0xc52b).empty());
    QVERIFY(!b.link.open());
    QCOMPARE(b.link.isOpen(), 0);
    QCOMPARE(write(b.link, Protocol::readChannalCount()), -1);
    QVERIFY(b.fw->requests().empty());
    b.link.close(); // a failed open is always followed by close
    QCOMPARE(b.link.isOpen(), 0);
}

// Refused access (the udev rule is missing): open fails and one line on stderr names
// the rule to install. Root opens any node, so this runs only as a normal user.
void TestLibusbUmockdev::permissionDeniedNamesTheRule()
{
    if (geteuid() == 0)
        QSKIP("root is never refused a device node");
    Bench b;
    QVERIFY2(b.plug(), b.bus.error().c_str());
    QCOMPARE(chmod(b.bus.nodeFile(b.path).c_str(), 0), 0);

    QTemporaryFile capture;
    QVERIFY(capture.open());
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    dup2(capture.handle(), STDERR_FILENO);
    const bool opened = b.link.open();
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
    const std::shared_ptr<SimFirmware> fw[] = {firmwareWithSerial("HL000000001"),
                                               firmwareWithSerial("HL000000002")};
    const std::string paths[] = {bus.plug(fw[0]), bus.plug(fw[1])};
    const std::pair<int, int> last = lastEnumeratedAdapter();
    std::pair<int, int> at[2];
    for (int i = 0; i < 2; ++i)
        QVERIFY(bus.address(paths[i], &at[i].first, &at[i].second));
    QVERIFY((at[0] == last) != (at[1] == last));
    const int expected = at[0] == last ? 0 : 1;

    CWrapWinUSB link(std::make_unique<LibusbBackend>());
    QVERIFY(link.open());
    QCOMPARE(readSerial(link), QString::fromStdString(fw[expected]->state().serialNumber));
    QCOMPARE(int(fw[expected]->requests().size()), 1);
    QVERIFY(fw[1 - expected]->requests().empty());
}

// Monitoring on: queued transfers arrive first and unchanged, then the streamed frame
// reports, each transfer whole records of 19 bytes, at most three.
void TestLibusbUmockdev::bulkStreamWhileMonitoring()
{
    Bench b;
    QVERIFY2(b.plugAndOpen(), b.bus.error().c_str());
    QCOMPARE(int(b.link.bulkInPipeId()), 0x82);

    QList<QByteArray> queued;
    SimFirmware::Bytes t;
    for (int k = 0; k < 3; ++k) {
        const auto r = SimFirmware::frameReport(uint32_t(1000 + k), k % 2 == 1, false, k % 2,
                                                uint32_t(0x100 + k), false, {uint8_t(k)});
        t.insert(t.end(), r.begin(), r.end());
        queued << bytes(t);
        b.fw->queueBulk(t);
    }
    QVERIFY(Protocol::exchange(b.link, CommandId::SetMonitoring, Protocol::setMonitoring(true))
                .passed);
    QVERIFY(b.fw->state().monitoring);
    b.fw->setStreamRate(500);

    QByteArray got;
    for (const QByteArray &expected : qAsConst(queued)) {
        QVERIFY(readBulk(b.link, &got));
        QCOMPARE(got, expected);
    }
    for (int i = 0; i < 50; ++i) {
        QVERIFY(readBulk(b.link, &got));
        QVERIFY2(!got.isEmpty() && got.size() % SimFirmware::FrameReportSize == 0
                     && got.size() <= 3 * SimFirmware::FrameReportSize,
                 qPrintable(QString::number(got.size())));
    }
}

// A pending bulk read ended from the GUI thread: stopBulk() ends it with the link still
// carrying commands and bulk reads allowed again after resumeBulk(); close() ends the next
// one and returns promptly.
void TestLibusbUmockdev::stopAndCloseDuringPendingBulkRead()
{
    Bench b;
    QVERIFY2(b.plugAndOpen(), b.bus.error().c_str());
    {
        BulkReader reader(b.link);
        QTest::qWait(150);
        QCOMPARE(reader.result(), -1); // still waiting: nothing was streamed
        b.link.stopBulk();
        reader.join();
        QCOMPARE(reader.result(), 0);
    }
    QCOMPARE(b.link.isOpen(), 1);
    QCOMPARE(readSerial(b.link), QString::fromStdString(b.fw->state().serialNumber));
    b.link.resumeBulk();
    b.fw->queueBulk({1, 2, 3});
    QByteArray got;
    QVERIFY(readBulk(b.link, &got));
    QCOMPARE(got, QByteArray("\x01\x02\x03"));

    BulkReader reader(b.link);
    QTest::qWait(150);
    QCOMPARE(reader.result(), -1);
    QElapsedTimer timer;
    timer.start();
    b.link.close();
    QVERIFY(timer.elapsed() < 800);
    reader.join();
    QCOMPARE(reader.result(), 0);
    QCOMPARE(b.link.isOpen(), 0);
    QVERIFY(!readBulk(b.link)); // closed: fails at once
}

// Pulling the adapter while the receive thread waits ends the read; the later close()
// touches nothing freed.
void TestLibusbUmockdev::removalDuringPendingBulkRead()
{
    Bench b;
    QVERIFY2(b.plugAndOpen(), b.bus.error().c_str());
    BulkReader reader(b.link);
    QTest::qWait(100);
    b.bus.unplug(b.path);
    QTRY_COMPARE_WITH_TIMEOUT(reader.result(), 0, 2000);
    reader.join();
    b.link.close();
    QCOMPARE(b.link.isOpen(), 0);
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
            CWrapWinUSB link(std::make_unique<LibusbBackend>());
            if (link.open())
                serialOnArrival = readSerial(link);
        }
    });

    const std::string foreign = bus.plug(std::make_shared<SimFirmware>(),
                                         EmulatedUsbBus::adapterEndpoints(), 0x046d, 0xc52b);
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
