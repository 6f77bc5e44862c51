// The bit-timing register rule against the channel page's fifteen rates and a few custom
// values; the calculator is checked through the channel page (tst_bittiming_widgets).

#include "canparam/BitTiming.h"

#include <QtTest>

class TestBitTiming : public QObject {
    Q_OBJECT
private slots:
    void decode_data();
    void decode();
};

namespace {
// The register values of the channel page's rate list, with their labels' rates and the
// sample points worked out by hand (sync + segment 1 over all quanta).
struct TableRow {
    const char *label;
    quint32 value;
    double kbits;
    int sampleQuanta;
    int quanta;
};
const TableRow Table[] = {
    {"5K", 0x00450257, 5, 7, 12},          {"10K", 0x001C00E0, 10, 14, 16},
    {"20K", 0x000500E0, 20, 7, 8},         {"40K", 0x00780031, 40, 10, 18},
    {"50K", 0x0067002C, 50, 9, 16},        {"80K", 0x004B0018, 80, 13, 18},
    {"100K", 0x0012003B, 100, 4, 6},       {"125K", 0x0012002F, 125, 4, 6},
    {"200K", 0x0027000E, 200, 9, 12},      {"250K", 0x00120017, 250, 4, 6},
    {"400K", 0x00160008, 400, 8, 10},      {"500K", 0x0012000B, 500, 4, 6},
    {"666K", 0x00240005, 2000.0 / 3, 6, 9}, {"800K", 0x00240004, 800, 6, 9},
    {"1000K", 0x00120005, 1000, 4, 6},
};
} // namespace

void TestBitTiming::decode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("kbits");
    QTest::addColumn<double>("samplePercent");

    for (const TableRow &row : Table)
        QTest::newRow(row.label) << QString::asprintf("0x%08X", row.value) << true << row.kbits
                                 << 100.0 * row.sampleQuanta / row.quanta;
    QTest::newRow("500K without 0x, lower case") << "0012000b" << true << 500.0 << 400.0 / 6;
    QTest::newRow("jump width 4 leaves the rate") << "0x03120017" << true << 250.0 << 400.0 / 6;
    QTest::newRow("custom: 12 x 10 quanta") << "0x0016000B" << true << 300.0 << 80.0;
    QTest::newRow("largest fields: 1024 x 25 quanta") << "0x037F03FF" << true << 36000.0 / 1024 / 25 << 68.0;
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

QTEST_APPLESS_MAIN(TestBitTiming)
#include "tst_bittiming.moc"
