// The plain logic under the channel pages: which baud-rate row a register value selects,
// which texts give four register bytes, the filter bank record in both directions and
// the "DataList" string of the settings file.

#include "canparam/BaudRateTable.h"
#include "canparam/ChannalObject.h"
#include "canparam/FilterBank.h"

#include <QtTest>

Q_DECLARE_METATYPE(DataListEntry)

namespace {

DataListEntry makeEntry(bool enabled, int workMode, int bitCount, const QString &id,
                        const QString &mask)
{
    DataListEntry e;
    e.enabled = enabled;
    e.workMode = workMode;
    e.bitCount = bitCount;
    e.idText = id;
    e.maskText = mask;
    return e;
}

QByteArray hex(const char *digits) { return QByteArray::fromHex(digits); }

} // namespace

class TestCanParamCore : public QObject {
    Q_OBJECT
private slots:
    void rowForDigits_data();
    void rowForDigits();
    void registerBytes_data();
    void registerBytes();
    void filterRequest_data();
    void filterRequest();
    void filterReply_data();
    void filterReply();
    void dataListString_data();
    void dataListString();
};

void TestCanParamCore::rowForDigits_data()
{
    QTest::addColumn<QString>("digits");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("rowText");
    QTest::newRow("500K") << "0012000b" << 11 << "0x0012000B";
    QTest::newRow("upper case") << "0012000B" << 11 << "0x0012000B";
    QTest::newRow("50K") << "0067002c" << 4 << "0x0067002C";
    QTest::newRow("first row") << "00450257" << 0 << "0x00450257";
    QTest::newRow("zero is custom") << "00000000" << 15 << "0x00000000";
    QTest::newRow("no row") << "00123456" << 15 << "0x00000000";
    QTest::newRow("blanks skipped") << "00 12 00 17" << 9 << "0x00120017";
    QTest::newRow("odd leading digit") << "012000b" << 11 << "0x0012000B";
    QTest::newRow("three bytes") << "12000b" << 15 << "0x00000000";
    QTest::newRow("five bytes") << "0012001700" << 15 << "0x00000000";
    QTest::newRow("empty") << "" << 15 << "0x00000000";
}

void TestCanParamCore::rowForDigits()
{
    QFETCH(QString, digits);
    QFETCH(int, row);
    QFETCH(QString, rowText);
    QCOMPARE(BaudRateTable::rowFor(BaudRateTable::decodeHex(digits)), row);
    QCOMPARE(BaudRateTable::registerText(BaudRateTable::value(row)), rowText);
}

void TestCanParamCore::registerBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes"); // empty: refused
    QTest::newRow("cell default") << "00 00 00 00" << hex("00000000");
    QTest::newRow("digits only") << "12345678" << hex("12345678");
    QTest::newRow("blanks anywhere") << " 12 3456 78 " << hex("12345678");
    QTest::newRow("tab and newline") << "\t12\n345678" << hex("12345678");
    QTest::newRow("register field") << "0x0012000B" << hex("0012000b");
    QTest::newRow("upper X") << "0X1a2B3c4D" << hex("1a2b3c4d");
    QTest::newRow("seven digits") << "1234567" << QByteArray();
    QTest::newRow("nine digits") << "123456789" << QByteArray();
    QTest::newRow("two prefixes") << "0x0x12345678" << QByteArray();
    QTest::newRow("not hex") << "1234567g" << QByteArray();
    QTest::newRow("dashes") << "12-34-56-78" << QByteArray();
    QTest::newRow("full-width digits") << QString::fromUtf8("１２３４５６７８") << QByteArray();
    QTest::newRow("prefix alone") << "0x" << QByteArray();
    QTest::newRow("empty") << "" << QByteArray();
}

void TestCanParamCore::registerBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(::registerBytes(text), bytes);
}

void TestCanParamCore::filterRequest_data()
{
    QTest::addColumn<int>("bank");
    QTest::addColumn<int>("channalId");
    QTest::addColumn<DataListEntry>("entry");
    QTest::addColumn<QByteArray>("request");
    const DataListEntry defaults;
    QTest::newRow("default row 0, channel 0")
        << 0 << 0 << makeEntry(true, 0, 1, defaults.idText, defaults.maskText)
        << hex("12240b00800100000000" "00000000");
    QTest::newRow("default row 5, channel 1")
        << 5 << 1 << defaults << hex("12240b05080100000000" "00000000");
    QTest::newRow("list mode, 16 bits, channel 1")
        << 13 << 1 << makeEntry(true, 1, 0, "12 34 56 78", "12345678")
        << hex("12240b0d881012345678" "12345678");
    QTest::newRow("disabled list mode, channel 0")
        << 2 << 0 << makeEntry(false, 1, 0, " 12 3456 78 ", "0xAABBCCDD")
        << hex("12240b02001012345678" "aabbccdd");
}

void TestCanParamCore::filterRequest()
{
    QFETCH(int, bank);
    QFETCH(int, channalId);
    QFETCH(DataListEntry, entry);
    QFETCH(QByteArray, request);
    QCOMPARE(FilterBank::request(bank, channalId, entry).toHex(' '), request.toHex(' '));
}

void TestCanParamCore::filterReply_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<DataListEntry>("entry");
    QTest::newRow("0x7F leaves unchecked")
        << hex("12aa0b007f0000000000" "00000000")
        << makeEntry(false, 0, 0, "00 00 00 00", "00 00 00 00");
    QTest::newRow("0x80 checks, 0x11 list and 32")
        << hex("12aa0b03801100000000" "00000000")
        << makeEntry(true, 1, 1, "00 00 00 00", "00 00 00 00");
    QTest::newRow("0xEE mask and 16")
        << hex("12aa0b0300ee1a2b3c4d" "1a2b3c4d")
        << makeEntry(false, 0, 0, "1a 2b 3c 4d", "1a 2b 3c 4d");
    QTest::newRow("the record the page writes")
        << hex("12240b0d8810DEADBEEF" "01020304")
        << makeEntry(true, 1, 0, "de ad be ef", "01 02 03 04");
}

void TestCanParamCore::filterReply()
{
    QFETCH(QByteArray, reply);
    QFETCH(DataListEntry, entry);
    const DataListEntry got = FilterBank::fromReply(reply);
    QCOMPARE(got.enabled, entry.enabled);
    QCOMPARE(got.workMode, entry.workMode);
    QCOMPARE(got.bitCount, entry.bitCount);
    QCOMPARE(got.idText, entry.idText);
    QCOMPARE(got.maskText, entry.maskText);
}

void TestCanParamCore::dataListString_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result"); // the entry written back after applying `text`
    // Applied to an entry that differs from every default: "1, 1, 0, 11 11 11 11, 22 22 22 22".
    QTest::newRow("saved default row")
        << "1, 0, 1, 00 00 00 00, 00 00 00 00" << "1, 0, 1,  00 00 00 00,  00 00 00 00";
    QTest::newRow("2 is not checked") << "2, 0, 1, a, b" << "0, 0, 1,  a,  b";
    QTest::newRow("x is not checked") << "x, 0, 1, a, b" << "0, 0, 1,  a,  b";
    QTest::newRow("blanks around numbers") << " 0 ,0 , 1 ,a,b" << "0, 0, 1, a, b";
    QTest::newRow("indices naming no item") << "0, 2, -1, a, b" << "0, 1, 0,  a,  b";
    QTest::newRow("no number reads 0") << "0, x, y, a, b" << "0, 0, 0,  a,  b";
    QTest::newRow("empty parts dropped") << "0,,0,,1,a,,b" << "0, 0, 1, a, b";
    QTest::newRow("short row") << "0, 0" << "0, 0, 0, 11 11 11 11, 22 22 22 22";
    QTest::newRow("empty") << "" << "1, 1, 0, 11 11 11 11, 22 22 22 22";
}

void TestCanParamCore::dataListString()
{
    QFETCH(QString, text);
    QFETCH(QString, result);
    DataListEntry entry = makeEntry(true, 1, 0, "11 11 11 11", "22 22 22 22");
    ChannalObject::applyDataListString(text, &entry);
    QCOMPARE(ChannalObject::dataListString(entry), result);
}

QTEST_APPLESS_MAIN(TestCanParamCore)
#include "tst_canparam_core.moc"
