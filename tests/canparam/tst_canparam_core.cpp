// The plain logic under the channel pages: the texts that give four register bytes and
// the filter bank record both ways.

#include "canparam/BaudRateTable.h"
#include "canparam/ChannalObject.h"
#include "canparam/FilterBank.h"

#include <QtTest>

namespace {
QByteArray hex(const char *digits) { return QByteArray::fromHex(digits); }
} // namespace

class TestCanParamCore : public QObject {
    Q_OBJECT
private slots:
    void registerBytes_data();
    void registerBytes();
    void filterRecord_data();
    void filterRecord();
};

void TestCanParamCore::registerBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes"); // empty: refused
    QTest::newRow("blanks anywhere") << " 12 3456\t78\n" << hex("12345678");
    QTest::newRow("upper X") << "0X1a2B3c4D" << hex("1a2b3c4d");
    QTest::newRow("seven digits") << "1234567" << QByteArray();
    QTest::newRow("two prefixes") << "0x0x12345678" << QByteArray();
}

void TestCanParamCore::registerBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(::registerBytes(text), bytes);
}

// A row (enabled, work mode, bit count, ID, mask) becomes the request of bank `bank`; the
// same record read back gives the row with the cells as the page shows them.
void TestCanParamCore::filterRecord_data()
{
    QTest::addColumn<int>("bank");
    QTest::addColumn<int>("channalId");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("default row 0, channel 0")
        << 0 << 0 << "1, 0, 1, 00 00 00 00, 00 00 00 00" << hex("12240b00800100000000" "00000000")
        << "1, 0, 1, 00 00 00 00, 00 00 00 00";
    QTest::newRow("list mode, 16 bits, channel 1")
        << 13 << 1 << "1, 1, 0, 12 34 56 78,  12 3456 78 " << hex("12240b0d881012345678" "12345678")
        << "1, 1, 0, 12 34 56 78, 12 34 56 78";
    QTest::newRow("cells read back in lower case")
        << 2 << 0 << "0, 1, 1, 1A2B3C4D, 0xAABBCCDD" << hex("12240b0200111a2b3c4d" "aabbccdd")
        << "0, 1, 1, 1a 2b 3c 4d, aa bb cc dd";
}

void TestCanParamCore::filterRecord()
{
    QFETCH(int, bank);
    QFETCH(int, channalId);
    QFETCH(QString, row);
    QFETCH(QByteArray, record);
    QFETCH(QString, readBack);
    DataListEntry entry;
    ChannalObject::applyDataListString(row, &entry);
    entry.idText = entry.idText.mid(1); // the blank that followed the comma
    entry.maskText = entry.maskText.mid(1);
    QCOMPARE(FilterBank::request(bank, channalId, entry).toHex(' '), record.toHex(' '));
    QCOMPARE(ChannalObject::dataListString(FilterBank::fromReply(record)), readBack);
}

QTEST_APPLESS_MAIN(TestCanParamCore)
#include "tst_canparam_core.moc"
