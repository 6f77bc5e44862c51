// The command table as the device sees it: request bytes of every command, and each
// reply and write check accepting and refusing exactly what it should.

#include "device/Protocol.h"

#include <QtTest>

using namespace Protocol;
using Id = CommandId;

Q_DECLARE_METATYPE(CommandId)

static QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

class TestProtocol : public QObject {
    Q_OBJECT
private slots:
    void requestBytes_data();
    void requestBytes();
    void replyTest_data();
    void replyTest();
    void writeCheck_data();
    void writeCheck();
    void fields();
};

// The requests the end-to-end session and tst_connection do not already spell out.
void TestProtocol::requestBytes_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("firmware version") << readFirmwareVersion() << hex("12 12 01 00");
    QTest::newRow("device type") << readDeviceType() << hex("12 15 01 01");
    QTest::newRow("bit timing ch0")
        << writeBaudRate(0, hex("00 12 00 17")) << hex("12 23 06 00 00 00 12 00 17");
    QTest::newRow("bit timing ch1 carries bit 4")
        << writeBaudRate(1, hex("00 12 00 17")) << hex("12 23 06 00 10 00 12 00 17");
    QTest::newRow("filter bank 5")
        << writeFilterBank(5, 0x88, 0x10, hex("12345678"), hex("1a2b3c4d"))
        << hex("12 24 0B 05 88 10 12 34 56 78 1A 2B 3C 4D");
}

void TestProtocol::requestBytes()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, expected);
    QCOMPARE(request.toHex(' '), expected.toHex(' '));
}

void TestProtocol::replyTest_data()
{
    QTest::addColumn<CommandId>("id");
    QTest::addColumn<bool>("readOk");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("passes");
    const auto row = [](const char *name, Id id, bool ok, const QByteArray &r, bool passes) {
        QTest::newRow(name) << id << ok << r << passes;
    };
    // A short reply and a missing status byte are tst_exchange's, a long one
    // tst_libusb_umockdev's.
    // Count tests: exactly n bytes, whatever byte 2 holds.
    row("channel count, 5 bytes", Id::ReadChannalCount, true, hex("12 13 81 01 02"), true);
    row("bit timing, bad status", Id::ReadBaudRate, true, hex("12 A4 00 05 00 00 12 00 17"),
        true);
    row("bit timing, 8 bytes", Id::ReadBaudRate, true, hex("12 A4 81 05 00 00 12 00"), false);
    row("filter bank, 13 bytes", Id::ReadAcceptanceFilters, true, QByteArray(13, '\0'), false);
    row("offline record, 21 bytes", Id::ReadOfflineData, true, QByteArray(21, '\0'), true);
    // Status tests: byte 2 is 0x81; any length that reaches byte 2.
    row("ack", Id::WriteBaudRate, true, hex("12 23 81"), true);
    row("nak", Id::WriteFilterBank, true, hex("12 24 80 00"), false);
    // Count and status together.
    row("relay ack", Id::SetRelayMode, true, hex("12 B1 81 00"), true);
    row("offline mode, 5-byte ack", Id::SetOfflineMode, true, hex("12 A8 81 00 00"), false);
    // Taken as they come.
    row("firmware version, read failed", Id::ReadFirmwareVersion, false, QByteArray(), true);
}

void TestProtocol::replyTest()
{
    QFETCH(CommandId, id);
    QFETCH(bool, readOk);
    QFETCH(QByteArray, reply);
    QTEST(replyPasses(id, readOk, reply), "passes");
}

void TestProtocol::writeCheck_data()
{
    QTest::addColumn<CommandId>("id");
    QTest::addColumn<bool>("writeOk");
    QTest::addColumn<uint>("written");
    QTest::addColumn<uint>("length"); // the request's real length
    QTest::addColumn<bool>("passes");
    // A failed and a short write of checked commands are tst_exchange's.
    QTest::newRow("unchecked, failed") << Id::ReadChannalCount << false << 0u << 4u << true;
    QTest::newRow("result checked, short") << Id::WriteFilterBank << true << 3u << 14u << true;
    QTest::newRow("length checked, whole") << Id::ReadOfflineData << true << 4u << 4u << true;
    QTest::newRow("length checked, failed") << Id::SetRelayMode << false << 4u << 4u << false;
    QTest::newRow("length checked, long") << Id::SetOfflineMode << true << 6u << 5u << false;
}

void TestProtocol::writeCheck()
{
    QFETCH(CommandId, id);
    QFETCH(bool, writeOk);
    QFETCH(uint, written);
    QFETCH(uint, length);
    QTEST(writePasses(id, writeOk, written, length), "passes");
}

// Version texts and Latin-1 fields at full width; the versions read from whole replies are
// tst_connection's ("information").
void TestProtocol::fields()
{
    QCOMPARE(versionText(10, 0xFF), QStringLiteral("10.ff"));
    QVERIFY(versionFromReply(hex("12 12 81 02 15")).isNull());
    QCOMPARE(latin1Field(QByteArray("\x12\x15\x81\x07\xe9" "AB  \0\0", 11), 4, 7),
             QString::fromUtf8("éAB  ") + QChar(0) + QChar(0));
    QVERIFY(latin1Field(QByteArray("\x12\x15\x81\x07HLW-C2", 10), 4, 7).isNull());
}

QTEST_APPLESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
