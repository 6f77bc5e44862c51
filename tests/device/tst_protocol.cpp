// The command table as the device sees it: request bytes of every command, and each
// reply and write check accepting and refusing exactly what it should.

#include "device/Protocol.h"

#include <QtTest>

using namespace Protocol;

Q_DECLARE_METATYPE(CommandId)

namespace {
QByteArray hex(const char *text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }
} // namespace

class TestProtocol : public QObject {
    Q_OBJECT
private slots:
    void requestBytes_data();
    void requestBytes();
    void replyTest_data();
    void replyTest();
    void writeCheck_data();
    void writeCheck();
    void versionText_data();
    void versionText();
    void latin1Field_data();
    void latin1Field();
};

void TestProtocol::requestBytes_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("ReadHardwareVersion") << readHardwareVersion() << hex("12 01 01 00");
    QTest::newRow("ReadFirmwareVersion") << readFirmwareVersion() << hex("12 12 01 00");
    QTest::newRow("ReadChannalCount") << readChannalCount() << hex("12 13 01 00");
    QTest::newRow("ReadSerialNumber") << readSerialNumber() << hex("12 14 01 00");
    QTest::newRow("ReadDeviceType") << readDeviceType() << hex("12 15 01 01");
    QTest::newRow("WriteBaudRate ch0 250K")
        << writeBaudRate(0, hex("00 12 00 17")) << hex("12 23 06 00 00 00 12 00 17");
    QTest::newRow("WriteBaudRate ch1 carries bit 4")
        << writeBaudRate(1, hex("00 12 00 17")) << hex("12 23 06 00 10 00 12 00 17");
    QTest::newRow("WriteFilterBank default row 0 ch0")
        << writeFilterBank(0, 0x80, 0x01, hex("00000000"), hex("00000000"))
        << hex("12 24 0B 00 80 01 00 00 00 00 00 00 00 00");
    QTest::newRow("WriteFilterBank row 5 registers")
        << writeFilterBank(5, 0x88, 0x10, hex("12345678"), hex("1a2b3c4d"))
        << hex("12 24 0B 05 88 10 12 34 56 78 1A 2B 3C 4D");
    QTest::newRow("SetOfflineSend on") << setOfflineSend(true) << hex("12 A0 02 00 00");
    QTest::newRow("SetOfflineSend off") << setOfflineSend(false) << hex("12 A1 02 00 00");
    QTest::newRow("SetMonitoring start") << setMonitoring(true) << hex("12 A2 01 00 00");
    QTest::newRow("SetMonitoring stop") << setMonitoring(false) << hex("12 A3 01 00 00");
    QTest::newRow("ReadBaudRate ch0") << readBaudRate(0) << hex("12 A4 01 00");
    QTest::newRow("ReadBaudRate ch1") << readBaudRate(1) << hex("12 A4 01 01");
    QTest::newRow("WriteOfflineFrame passes the record")
        << writeOfflineFrame(hex("12 A5 12 01 01 00 00 64 02 00 00 01 23 11 22"))
        << hex("12 A5 12 01 01 00 00 64 02 00 00 01 23 11 22");
    QTest::newRow("clearing record")
        << clearOfflineFrames() << hex("12 A5 12 000000000000000000000000000000000000");
    QTest::newRow("ReadOfflineData") << readOfflineData() << hex("12 A6 01 00");
    QTest::newRow("ReadModeState") << readModeState() << hex("12 A7 01 00");
    QTest::newRow("SetOfflineMode on, timed send") << setOfflineMode(true, 1) << hex("12 A8 01 01 00");
    QTest::newRow("SetOfflineMode off, cycle send") << setOfflineMode(false, 0) << hex("12 A9 01 00 00");
    QTest::newRow("ReadAcceptanceFilters ch1") << readAcceptanceFilters(1) << hex("12 AA 01 01");
    QTest::newRow("SetRelayMode on") << setRelayMode(true) << hex("12 B1 01 01");
    QTest::newRow("SetRelayMode off") << setRelayMode(false) << hex("12 B1 01 00");
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

    // Count tests: exactly n bytes, whatever byte 2 holds.
    QTest::newRow("channel count, 5 bytes") << CommandId::ReadChannalCount << true << hex("12 13 81 01 02") << true;
    QTest::newRow("channel count, 8 bytes") << CommandId::ReadChannalCount << true << hex("12 13 81 01 02 00 00 00") << false;
    QTest::newRow("channel count, 4 bytes") << CommandId::ReadChannalCount << true << hex("12 13 81 01") << false;
    QTest::newRow("channel count, read failed") << CommandId::ReadChannalCount << false << hex("12 13 81 01 02") << false;
    QTest::newRow("baud rate, 9 bytes, bad status") << CommandId::ReadBaudRate << true << hex("12 A4 00 05 00 00 12 00 17") << true;
    QTest::newRow("baud rate, 8 bytes") << CommandId::ReadBaudRate << true << hex("12 A4 81 05 00 00 12 00") << false;
    QTest::newRow("filter bank, 14 bytes") << CommandId::ReadAcceptanceFilters << true << QByteArray(14, '\0') << true;
    QTest::newRow("filter bank, 13 bytes") << CommandId::ReadAcceptanceFilters << true << QByteArray(13, '\0') << false;
    QTest::newRow("offline record, 21 bytes") << CommandId::ReadOfflineData << true << QByteArray(21, '\0') << true;
    QTest::newRow("offline record, 20 bytes") << CommandId::ReadOfflineData << true << QByteArray(20, '\0') << false;
    QTest::newRow("mode state, 8 bytes") << CommandId::ReadModeState << true << hex("12 A7 81 00 32 00 00 00") << true;
    QTest::newRow("mode state, 7 bytes") << CommandId::ReadModeState << true << hex("12 A7 81 00 32 00 00") << false;
    // Status tests: byte 2 is 0x81; the length does not matter, but must reach byte 2.
    QTest::newRow("baud write ack") << CommandId::WriteBaudRate << true << hex("12 23 81 00") << true;
    QTest::newRow("baud write 3-byte ack") << CommandId::WriteBaudRate << true << hex("12 23 81") << true;
    QTest::newRow("baud write long ack") << CommandId::WriteBaudRate << true << hex("12 23 81 00 00 00 00 00 00") << true;
    QTest::newRow("baud write nak") << CommandId::WriteBaudRate << true << hex("12 23 80 00") << false;
    QTest::newRow("baud write 2-byte reply") << CommandId::WriteBaudRate << true << hex("12 23") << false;
    QTest::newRow("baud write read failed") << CommandId::WriteBaudRate << false << hex("12 23 81 00") << false;
    QTest::newRow("filter write nak") << CommandId::WriteFilterBank << true << hex("12 24 80 00") << false;
    QTest::newRow("offline send ack") << CommandId::SetOfflineSend << true << hex("12 A0 81 00") << true;
    QTest::newRow("offline send empty reply") << CommandId::SetOfflineSend << true << QByteArray() << false;
    QTest::newRow("monitoring ack, 8 bytes") << CommandId::SetMonitoring << true << hex("12 A2 81 00 00 00 00 00") << true;
    QTest::newRow("offline frame nak") << CommandId::WriteOfflineFrame << true << hex("12 A5 7F 00") << false;
    // Count and status together.
    QTest::newRow("relay 4 bytes ack") << CommandId::SetRelayMode << true << hex("12 B1 81 00") << true;
    QTest::newRow("relay 4 bytes without 0x81") << CommandId::SetRelayMode << true << hex("12 B1 80 00") << false;
    QTest::newRow("relay 5 bytes ack") << CommandId::SetRelayMode << true << hex("12 B1 81 00 00") << false;
    QTest::newRow("offline mode 4 bytes ack") << CommandId::SetOfflineMode << true << hex("12 A8 81 00") << true;
    QTest::newRow("offline mode 5 bytes ack") << CommandId::SetOfflineMode << true << hex("12 A8 81 00 00") << false;
    // Replies taken as they come.
    QTest::newRow("firmware version, read failed") << CommandId::ReadFirmwareVersion << false << QByteArray() << true;
    QTest::newRow("serial number, anything") << CommandId::ReadSerialNumber << true << hex("00") << true;
}

void TestProtocol::replyTest()
{
    QFETCH(CommandId, id);
    QFETCH(bool, readOk);
    QFETCH(QByteArray, reply);
    QFETCH(bool, passes);
    QCOMPARE(replyPasses(id, readOk, reply), passes);
}

void TestProtocol::writeCheck_data()
{
    QTest::addColumn<CommandId>("id");
    QTest::addColumn<bool>("writeOk");
    QTest::addColumn<uint>("written");
    QTest::addColumn<bool>("passes");

    QTest::newRow("unchecked write failed") << CommandId::ReadChannalCount << false << 0u << true;
    QTest::newRow("result checked, failed") << CommandId::ReadSerialNumber << false << 4u << false;
    QTest::newRow("result checked, short ok") << CommandId::WriteFilterBank << true << 3u << true;
    QTest::newRow("length checked, whole") << CommandId::SetOfflineSend << true << 5u << true;
    QTest::newRow("length checked, short") << CommandId::SetOfflineSend << true << 4u << false;
    QTest::newRow("length checked, failed") << CommandId::SetRelayMode << false << 4u << false;
    QTest::newRow("read offline, whole") << CommandId::ReadOfflineData << true << 4u << true;
    QTest::newRow("read offline, short") << CommandId::ReadOfflineData << true << 3u << false;
    QTest::newRow("offline mode, long") << CommandId::SetOfflineMode << true << 6u << false;
}

void TestProtocol::writeCheck()
{
    QFETCH(CommandId, id);
    QFETCH(bool, writeOk);
    QFETCH(uint, written);
    QFETCH(bool, passes);
    // The request lengths are the real ones each command is written with.
    const QMap<int, int> length = {
        {int(CommandId::ReadChannalCount), 4}, {int(CommandId::ReadSerialNumber), 4},
        {int(CommandId::WriteFilterBank), 14}, {int(CommandId::SetOfflineSend), 5},
        {int(CommandId::SetRelayMode), 4},     {int(CommandId::ReadOfflineData), 4},
        {int(CommandId::SetOfflineMode), 5}};
    QCOMPARE(writePasses(id, writeOk, written, uint32_t(length.value(int(id)))), passes);
}

void TestProtocol::versionText_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QString>("text");
    QTest::newRow("1.15") << 1 << 0x15 << "1.15";
    QTest::newRow("2.0a") << 2 << 0x0A << "2.0a";
    QTest::newRow("1.00") << 1 << 0x00 << "1.00";
    QTest::newRow("10.ff") << 10 << 0xFF << "10.ff";
}

void TestProtocol::versionText()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(QString, text);
    QCOMPARE(Protocol::versionText(uint8_t(major), uint8_t(minor)), text);
    const QByteArray reply = hex("12 12 81 02") + QByteArray(1, char(minor)) + QByteArray(1, char(major));
    QCOMPARE(versionFromReply(reply), text);
    QVERIFY(versionFromReply(reply.left(5)).isNull());
}

void TestProtocol::latin1Field_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("field");
    QTest::newRow("device type") << QByteArray("\x12\x15\x81\x07HLW-C2+", 11) << 7 << "HLW-C2+";
    QTest::newRow("padding kept") << QByteArray("\x12\x15\x81\x07" "AB  \0\0\0", 11) << 7
                                  << QString::fromLatin1("AB  \0\0\0", 7);
    QTest::newRow("Latin-1, not UTF-8") << QByteArray("\x12\x15\x81\x07\xe9\xe8" "12345", 11) << 7
                                        << QString::fromUtf8("éè12345");
    QTest::newRow("reply too short") << QByteArray("\x12\x15\x81\x07HLW-C2", 10) << 7 << QString();
}

void TestProtocol::latin1Field()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, width);
    QFETCH(QString, field);
    const QString got = Protocol::latin1Field(reply, 4, width);
    QCOMPARE(got, field);
    QCOMPARE(got.isNull(), field.isNull());
}

QTEST_APPLESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
