// The command table's edges that the exchange, connection and CAN parameter tests leave:
// a few request bytes, reply and write checks, and the reply fields.

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
    void replyTest_data();
    void replyTest();
    void writeCheck_data();
    void writeCheck();
    void fields();
};

void TestProtocol::replyTest_data()
{
    QTest::addColumn<CommandId>("id");
    QTest::addColumn<bool>("readOk");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("passes");
    const auto row = [](const char *name, Id id, bool ok, const QByteArray &r, bool passes) {
        QTest::newRow(name) << id << ok << r << passes;
    };
    // Every command's reply test meets short, long and wrong-status replies in
    // tst_connection, tst_exchange and tst_canparam_exchange; here the edges they leave.
    // A status reply needs only to reach byte 2.
    row("ack", Id::WriteBaudRate, true, hex("12 23 81"), true);
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
    // Failed and short writes of checked commands: tst_exchange and tst_connection.
    QTest::newRow("unchecked, failed") << Id::ReadChannalCount << false << 0u << 4u << true;
    QTest::newRow("result checked, short") << Id::WriteFilterBank << true << 3u << 14u << true;
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

// The two identity requests no other test spells out (the rest are tst_canparam_exchange's,
// tst_connection's and the end-to-end session's), version texts and Latin-1 fields at full
// width; the versions read from whole replies are tst_connection's ("information").
void TestProtocol::fields()
{
    QCOMPARE(readFirmwareVersion().toHex(' '), QByteArray("12 12 01 00"));
    QCOMPARE(readDeviceType().toHex(' '), QByteArray("12 15 01 01"));
    QCOMPARE(versionText(10, 0xFF), QStringLiteral("10.ff"));
    QVERIFY(versionFromReply(hex("12 12 81 02 15")).isNull());
    QCOMPARE(latin1Field(QByteArray("\x12\x15\x81\x07\xe9" "AB  \0\0", 11), 4, 7),
             QString::fromUtf8("éAB  ") + QChar(0) + QChar(0));
    QVERIFY(latin1Field(QByteArray("\x12\x15\x81\x07HLW-C2", 10), 4, 7).isNull());
}

QTEST_APPLESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
