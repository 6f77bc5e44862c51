// The simulated adapter answers as the real device does: reply layouts, state kept per
// channel and the offline list. Its scripted faults are exercised by tst_exchange.

#include "device/CWrapWinUSB.h"
#include "device/Exchange.h"
#include "device/SimulatedAdapter.h"

#include <QtTest>

using namespace Protocol;

Q_DECLARE_METATYPE(CommandId)

namespace {
QByteArray hex(const char *text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }
}

class TestSimFirmware : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void replyLayouts_data();
    void replyLayouts();
    void channelStateRoundTrip();
    void offlineListRoundTrip();
    void offlineListRefusesBeyondCapacity();
    void logsEveryRequest();

private:
    QByteArray exchange(const QByteArray &request, CommandId id, bool *passed = nullptr);
    QList<QByteArray> readAll(const QByteArray &request, CommandId id, int count);

    std::shared_ptr<SimFirmware> m_device;
    std::unique_ptr<CWrapWinUSB> m_link;
};

void TestSimFirmware::init()
{
    SimRegistry::instance().clear();
    m_device = SimRegistry::instance().add();
    m_link = std::make_unique<CWrapWinUSB>(std::make_unique<SimBackend>());
    QVERIFY(m_link->open());
}

void TestSimFirmware::cleanup()
{
    m_link.reset();
    SimRegistry::instance().clear();
}

QByteArray TestSimFirmware::exchange(const QByteArray &request, CommandId id, bool *passed)
{
    const ExchangeResult r = Protocol::exchange(*m_link, id, request);
    if (passed)
        *passed = r.passed;
    return r.reply;
}

QList<QByteArray> TestSimFirmware::readAll(const QByteArray &request, CommandId id, int count)
{
    QList<QByteArray> replies;
    for (int i = 0; i < count; ++i) {
        const ExchangeResult r =
            i == 0 ? Protocol::exchange(*m_link, id, request) : nextReply(*m_link, id);
        if (!r.passed)
            break;
        replies << r.reply;
    }
    return replies;
}

void TestSimFirmware::replyLayouts_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<CommandId>("id");
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("firmware version 1.15") << readFirmwareVersion() << CommandId::ReadFirmwareVersion << hex("12 12 81 02 15 01");
    QTest::newRow("hardware version") << readHardwareVersion() << CommandId::ReadHardwareVersion << hex("12 01 81 02 02 01");
    QTest::newRow("channel count, 5 bytes") << readChannalCount() << CommandId::ReadChannalCount << hex("12 13 81 01 02");
    QTest::newRow("mode state, 8 bytes") << readModeState() << CommandId::ReadModeState << hex("12 A7 81 00 32 00 00 00");
    QTest::newRow("baud rate, 9 bytes") << readBaudRate(1) << CommandId::ReadBaudRate << hex("12 A4 81 05 01 00 12 00 17");
    QTest::newRow("relay ack, 4 bytes") << setRelayMode(true) << CommandId::SetRelayMode << hex("12 B1 81 00");
    QTest::newRow("offline mode ack, 4 bytes") << setOfflineMode(true, 1) << CommandId::SetOfflineMode << hex("12 A8 81 00");
    QTest::newRow("no stored frames") << readOfflineData() << CommandId::ReadOfflineData
                                      << hex("12 A6 12 00 00 00000000000000000000000000000000");
    QTest::newRow("unknown channel is refused") << readBaudRate(2) << CommandId::WriteBaudRate << hex("12 A4 80 00");
}

void TestSimFirmware::replyLayouts()
{
    QFETCH(QByteArray, request);
    QFETCH(CommandId, id);
    QFETCH(QByteArray, reply);
    QCOMPARE(exchange(request, id).toHex(' '), reply.toHex(' '));
}

void TestSimFirmware::channelStateRoundTrip()
{
    bool ok = false;
    exchange(writeBaudRate(1, hex("00 12 00 0b")), CommandId::WriteBaudRate, &ok);
    QVERIFY(ok);
    QCOMPARE(exchange(readBaudRate(1), CommandId::ReadBaudRate).mid(5).toHex(), QByteArray("0012000b"));
    QCOMPARE(exchange(readBaudRate(0), CommandId::ReadBaudRate).mid(5).toHex(), QByteArray("00120017"));

    exchange(writeFilterBank(3, 0x88, 0x11, hex("12345678"), hex("ffff0000")), CommandId::WriteFilterBank, &ok);
    QVERIFY(ok);
    const QList<QByteArray> banks =
        readAll(readAcceptanceFilters(1), CommandId::ReadAcceptanceFilters, 14);
    QCOMPARE(banks.size(), 14);
    QCOMPARE(banks[3].mid(4).toHex(' '), QByteArray("88 11 12 34 56 78 ff ff 00 00"));
    QCOMPARE(int(uint8_t(banks[4].at(4))), 0x00);
    // Channel 0 is untouched.
    QCOMPARE(readAll(readAcceptanceFilters(0), CommandId::ReadAcceptanceFilters, 14)[3].mid(6, 4).toHex(),
             QByteArray("00000000"));
}

void TestSimFirmware::offlineListRoundTrip()
{
    bool ok = false;
    // Two frames: a 15-byte record (2 data bytes) and a full 21-byte one.
    exchange(hex("12 A5 12 01 02 00 00 64 02 00 00 01 23 11 22"), CommandId::WriteOfflineFrame, &ok);
    QVERIFY(ok);
    exchange(hex("12 A5 12 02 02 00 27 10 98 18 FE F1 00 01 02 03 04 05 06 07 08"),
             CommandId::WriteOfflineFrame, &ok);
    QVERIFY(ok);
    QCOMPARE(int(uint8_t(exchange(readModeState(), CommandId::ReadModeState).at(5))), 2);

    const QList<QByteArray> records = readAll(readOfflineData(), CommandId::ReadOfflineData, 2);
    QCOMPARE(records.size(), 2);
    QCOMPARE(int(records[0].at(4)), 2);
    QCOMPARE(records[0].mid(5).toHex(' '), QByteArray("00 00 64 02 00 00 01 23 11 22 00 00 00 00 00 00"));
    QCOMPARE(records[1].mid(8, 5).toHex(' '), QByteArray("98 18 fe f1 00"));

    exchange(clearOfflineFrames(), CommandId::WriteOfflineFrame, &ok);
    QVERIFY(ok);
    QCOMPARE(int(uint8_t(exchange(readModeState(), CommandId::ReadModeState).at(5))), 0);
}

void TestSimFirmware::offlineListRefusesBeyondCapacity()
{
    SimFirmware::State s = m_device->state();
    s.capacity = 1;
    m_device->setState(s);
    bool ok = false;
    exchange(hex("12 A5 12 01 02 00 00 64 00 00 00 01 23"), CommandId::WriteOfflineFrame, &ok);
    QVERIFY(ok);
    exchange(hex("12 A5 12 02 02 00 00 64 00 00 00 01 24"), CommandId::WriteOfflineFrame, &ok);
    QVERIFY(!ok);
}

void TestSimFirmware::logsEveryRequest()
{
    exchange(setOfflineSend(true), CommandId::SetOfflineSend);
    exchange(setMonitoring(false), CommandId::SetMonitoring);
    const auto log = m_device->requests();
    QCOMPARE(log.size(), size_t(2));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(log[0].data()), int(log[0].size())).toHex(' '),
             QByteArray("12 a0 02 00 00"));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(log[1].data()), int(log[1].size())).toHex(' '),
             QByteArray("12 a3 01 00 00"));
    QVERIFY(m_device->state().offlineSending);
}

QTEST_GUILESS_MAIN(TestSimFirmware)
#include "tst_simfirmware.moc"
