// The command table as the device sees it: request bytes of every command, and each
// reply and write check accepting and refusing exactly what it should.

#include "device/Protocol.h"

#include <QtTest>

using namespace Protocol;
using Id = CommandId;

Q_DECLARE_METATYPE(CommandId)

static QByteArray hex(const char *text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }

class TestProtocol : public QObject {
    Q_OBJECT
private slots:
    void requestBytes_data();
    void requestBytes() { QFETCH(QByteArray, request); QFETCH(QByteArray, expected);
                          QCOMPARE(request.toHex(' '), expected.toHex(' ')); }
    void replyTest_data();
    void replyTest() { QFETCH(CommandId, id); QFETCH(bool, readOk); QFETCH(QByteArray, reply);
                       QTEST(replyPasses(id, readOk, reply), "passes"); }
    void writeCheck_data();
    void writeCheck() { QFETCH(CommandId, id); QFETCH(bool, writeOk); QFETCH(uint, written); QFETCH(uint, length);
                        QTEST(writePasses(id, writeOk, written, length), "passes"); }
    void fields();
};

void TestProtocol::requestBytes_data()
{
    QTest::addColumn<QByteArray>("request"); QTest::addColumn<QByteArray>("expected");
    const auto row = [](const char *name, const QByteArray &r, const char *bytes) { QTest::newRow(name) << r << hex(bytes); };
    row("firmware version", readFirmwareVersion(), "12 12 01 00");
    row("channel count", readChannalCount(), "12 13 01 00");
    row("device type", readDeviceType(), "12 15 01 01");
    row("bit timing ch0", writeBaudRate(0, hex("00 12 00 17")), "12 23 06 00 00 00 12 00 17");
    row("bit timing ch1 carries bit 4", writeBaudRate(1, hex("00 12 00 17")), "12 23 06 00 10 00 12 00 17");
    row("filter bank 5", writeFilterBank(5, 0x88, 0x10, hex("12345678"), hex("1a2b3c4d")),
        "12 24 0B 05 88 10 12 34 56 78 1A 2B 3C 4D");
    row("offline send on", setOfflineSend(true), "12 A0 02 00 00");
    row("monitoring start", setMonitoring(true), "12 A2 01 00 00");
    row("monitoring stop", setMonitoring(false), "12 A3 01 00 00");
    row("read bit timing ch1", readBaudRate(1), "12 A4 01 01");
    row("clearing record", clearOfflineFrames(), "12 A5 12 000000000000000000000000000000000000");
    row("mode state", readModeState(), "12 A7 01 00");
    row("offline mode on, timed", setOfflineMode(true, 1), "12 A8 01 01 00");
    row("offline mode off, cycle", setOfflineMode(false, 0), "12 A9 01 00 00");
    row("filters ch1", readAcceptanceFilters(1), "12 AA 01 01");
    row("relay on", setRelayMode(true), "12 B1 01 01");
}

void TestProtocol::replyTest_data()
{
    QTest::addColumn<CommandId>("id"); QTest::addColumn<bool>("readOk");
    QTest::addColumn<QByteArray>("reply"); QTest::addColumn<bool>("passes");
    const auto row = [](const char *name, Id id, bool ok, const QByteArray &r, bool passes) { QTest::newRow(name) << id << ok << r << passes; };
    // Count tests: exactly n bytes, whatever byte 2 holds.
    row("channel count, 5 bytes", Id::ReadChannalCount, true, hex("12 13 81 01 02"), true);
    row("channel count, 6 bytes", Id::ReadChannalCount, true, hex("12 13 81 01 02 00"), false);
    row("channel count, 4 bytes", Id::ReadChannalCount, true, hex("12 13 81 01"), false);
    row("bit timing, bad status", Id::ReadBaudRate, true, hex("12 A4 00 05 00 00 12 00 17"), true);
    row("bit timing, 8 bytes", Id::ReadBaudRate, true, hex("12 A4 81 05 00 00 12 00"), false);
    row("filter bank, 13 bytes", Id::ReadAcceptanceFilters, true, QByteArray(13, '\0'), false);
    row("offline record, 21 bytes", Id::ReadOfflineData, true, QByteArray(21, '\0'), true);
    // Status tests: byte 2 is 0x81; any length that reaches byte 2.
    row("ack", Id::WriteBaudRate, true, hex("12 23 81"), true);
    row("nak", Id::WriteFilterBank, true, hex("12 24 80 00"), false);
    row("no status byte", Id::WriteBaudRate, true, hex("12 23"), false);
    // Count and status together.
    row("relay ack", Id::SetRelayMode, true, hex("12 B1 81 00"), true);
    row("relay nak", Id::SetRelayMode, true, hex("12 B1 80 00"), false);
    row("offline mode, 5-byte ack", Id::SetOfflineMode, true, hex("12 A8 81 00 00"), false);
    // Taken as they come.
    row("firmware version, read failed", Id::ReadFirmwareVersion, false, QByteArray(), true);
}

void TestProtocol::writeCheck_data()
{
    QTest::addColumn<CommandId>("id"); QTest::addColumn<bool>("writeOk"); QTest::addColumn<uint>("written");
    QTest::addColumn<uint>("length"); QTest::addColumn<bool>("passes"); // length: the request's real length
    QTest::newRow("unchecked, failed") << Id::ReadChannalCount << false << 0u << 4u << true;
    QTest::newRow("result checked, failed") << Id::ReadSerialNumber << false << 4u << 4u << false;
    QTest::newRow("result checked, short") << Id::WriteFilterBank << true << 3u << 14u << true;
    QTest::newRow("length checked, short") << Id::SetOfflineSend << true << 4u << 5u << false;
    QTest::newRow("length checked, whole") << Id::ReadOfflineData << true << 4u << 4u << true;
    QTest::newRow("length checked, failed") << Id::SetRelayMode << false << 4u << 4u << false;
    QTest::newRow("length checked, long") << Id::SetOfflineMode << true << 6u << 5u << false;
}

// Version texts (minor at byte 4, major at byte 5) and Latin-1 fields at full width.
void TestProtocol::fields()
{
    QCOMPARE(versionFromReply(hex("12 12 81 02 15 01")), QStringLiteral("1.15"));
    QCOMPARE(versionFromReply(hex("12 12 81 02 0A 02")), QStringLiteral("2.0a"));
    QCOMPARE(versionText(10, 0xFF), QStringLiteral("10.ff"));
    QVERIFY(versionFromReply(hex("12 12 81 02 15")).isNull());
    QCOMPARE(latin1Field(QByteArray("\x12\x15\x81\x07\xe9" "AB  \0\0", 11), 4, 7),
             QString::fromUtf8("éAB  ") + QChar(0) + QChar(0));
    QVERIFY(latin1Field(QByteArray("\x12\x15\x81\x07HLW-C2", 10), 4, 7).isNull());
}

QTEST_APPLESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
