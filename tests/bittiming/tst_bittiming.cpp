// The bit-timing register decoded, and the texts that give four register bytes.

#include "canparam/BaudRateTable.h"
#include "canparam/BitTiming.h"

#include <QtTest>

class TestBitTiming : public QObject {
    Q_OBJECT
private slots:
    void decode_data();
    void decode();
    void registerBytes_data();
    void registerBytes();
};

// A few of the channel page's rates (the page's own list is pinned by tst_channalpage) and
// custom values; the sample points are worked out by hand (sync + segment 1 over all quanta).
void TestBitTiming::decode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("kbits");
    QTest::addColumn<double>("samplePercent");
    QTest::newRow("5K: 600 x 12 quanta") << "0x00450257" << true << 5.0 << 700.0 / 12;
    QTest::newRow("40K: 50 x 18 quanta") << "0x00780031" << true << 40.0 << 1000.0 / 18;
    QTest::newRow("666K: 6 x 9 quanta") << "0x00240005" << true << 2000.0 / 3 << 600.0 / 9;
    QTest::newRow("500K without 0x, lower case") << "0012000b" << true << 500.0 << 400.0 / 6;
    QTest::newRow("jump width 4 leaves the rate") << "0x03120017" << true << 250.0 << 400.0 / 6;
    QTest::newRow("custom: 12 x 10 quanta") << "0x0016000B" << true << 300.0 << 80.0;
    QTest::newRow("largest fields: 1024 x 25 quanta")
        << "0x037F03FF" << true << 36000.0 / 1024 / 25 << 68.0;
    QTest::newRow("smallest fields: 3 quanta") << "0x00000000" << true << 12000.0 << 200.0 / 3;
    QTest::newRow("reserved bit 10") << "0x00120417" << false << 0.0 << 0.0;
    QTest::newRow("reserved bit 31") << "0x80120017" << false << 0.0 << 0.0;
    QTest::newRow("seven digits") << "0x0012001" << false << 0.0 << 0.0;
    QTest::newRow("not hexadecimal") << "0x0012001G" << false << 0.0 << 0.0;
}

void TestBitTiming::decode()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, kbits);
    QFETCH(double, samplePercent);

    const BitTiming t = BitTiming::fromText(text);
    QCOMPARE(t.isValid(), valid);
    if (!valid) {
        QCOMPARE(t.bitRate(), 0.0);
        return;
    }
    QVERIFY2(qAbs(t.bitRate() - kbits * 1000) < 0.01, qPrintable(QString::number(t.bitRate())));
    QVERIFY2(qAbs(100 * t.samplePoint() - samplePercent) < 1e-9,
             qPrintable(QString::number(100 * t.samplePoint())));
    // Encoding the decoded fields gives the register back.
    QCOMPARE(BitTiming::fromFields(t.prescaler(), t.segment1(), t.segment2(), t.jumpWidth())
                 .registerValue(),
             BitTiming::fromText(text).registerValue());
}

void TestBitTiming::registerBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes"); // empty: refused
    QTest::newRow("blanks anywhere") << " 12 3456\t78\n" << QByteArray::fromHex("12345678");
    QTest::newRow("upper X") << "0X1a2B3c4D" << QByteArray::fromHex("1a2b3c4d");
    QTest::newRow("seven digits") << "1234567" << QByteArray();
    QTest::newRow("two prefixes") << "0x0x12345678" << QByteArray();
}

void TestBitTiming::registerBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(::registerBytes(text), bytes);
}

QTEST_MAIN(TestBitTiming)
#include "tst_bittiming.moc"
