// The candump log and ASC writers against their readers: every sample frame written
// and read back unchanged, known lines in the layouts other tools read, and lines that
// must be refused rather than misread. The pcapng writer against hand-built bytes.

#include "LogSamples.h"
#include "monitor/AscLog.h"
#include "monitor/CandumpLog.h"
#include "monitor/PcapngLog.h"

#include <QtTest>

Q_DECLARE_METATYPE(LoggedFrame)

class TestLogs : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void knownLines_data();
    void knownLines();
    void refusedLines_data();
    void refusedLines();
    void pcapngFrames_data();
    void pcapngFrames();
    void pcapngFile();
};

namespace {
QString describe(const LoggedFrame &f)
{
    const MonitorRecord &r = f.record;
    return QStringLiteral("t=%1 ch=%2 id=%3 ext=%4 rtr=%5 tx=%6 dlc=%7 data=%8")
        .arg(f.hostMicros).arg(r.channel).arg(r.id, 0, 16).arg(r.extended).arg(r.remote)
        .arg(r.sent).arg(r.dlc).arg(QString::fromLatin1(r.data.toHex()));
}
} // namespace

void TestLogs::roundTrip_data()
{
    QTest::addColumn<LoggedFrame>("frame");
    for (const LogSample &s : logSamples())
        QTest::newRow(s.name) << s.frame;
}

void TestLogs::roundTrip()
{
    QFETCH(LoggedFrame, frame);
    const qint64 start = logSamples().first().frame.hostMicros;

    LoggedFrame back;
    QVERIFY(CandumpLog::parseLine(CandumpLog::formatLine(frame), &back));
    QVERIFY2(sameLoggedFrame(frame, back), qPrintable(describe(back)));

    // A whole ASC file around the frame, so the header's start date is read back too.
    const QString asc = AscLog::header(start) + AscLog::formatLine(frame, start)
        + QLatin1Char('\n') + AscLog::footer();
    QVector<LoggedFrame> frames;
    int bad = -1;
    QVERIFY(AscLog::parse(asc, &frames, &bad));
    QCOMPARE(bad, 0);
    QCOMPARE(frames.size(), 1);
    QVERIFY2(sameLoggedFrame(frame, frames.first()), qPrintable(describe(frames.first())));
}

void TestLogs::knownLines_data()
{
    QTest::addColumn<int>("sample");
    QTest::addColumn<QString>("candump");
    QTest::addColumn<QString>("asc");

    QTest::newRow("standard") << 0 << "(1765000000.123456) can0 123#0102030405060708 R"
                              << "   0.000456 1  123             Rx   d 8 01 02 03 04 05 06 07 08";
    QTest::newRow("extended sent") << 1 << "(1765000000.123457) can1 18FEF100#FF00A5 T"
                                   << "   0.000457 2  18FEF100x       Tx   d 3 FF 00 A5";
    QTest::newRow("remote") << 5 << "(1765000002.123456) can1 555#R R"
                            << "   2.000456 2  555             Rx   r 0";
    QTest::newRow("remote with DLC") << 6 << "(1765000002.623456) can0 00ABCDEF#R4 T"
                                     << "   2.500456 1  ABCDEFx         Tx   r 4";
    QTest::newRow("DLC above 8") << 8 << "(1765003600.123458) can0 100#A1A2A3A4A5A6A7A8_C R"
                                 << "3600.000458 1  100             Rx   d C A1 A2 A3 A4 A5 A6 A7 A8";
}

void TestLogs::knownLines()
{
    QFETCH(int, sample);
    QFETCH(QString, candump);
    QFETCH(QString, asc);
    const QVector<LogSample> samples = logSamples();
    const LoggedFrame &f = samples.at(sample).frame;
    QCOMPARE(CandumpLog::formatLine(f), candump);
    QCOMPARE(AscLog::formatLine(f, samples.first().frame.hostMicros), asc);
}

void TestLogs::refusedLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("asAsc");

    QTest::newRow("candump: standard identifier above 0x7FF") << "(1.000000) can0 800#01 R" << false;
    QTest::newRow("candump: extended identifier above 29 bits") << "(1.000000) can0 20000000#01" << false;
    QTest::newRow("candump: four-digit identifier") << "(1.000000) can0 0123#01" << false;
    QTest::newRow("candump: odd data digit") << "(1.000000) can0 123#012 R" << false;
    QTest::newRow("candump: nine data bytes") << "(1.000000) can0 123#010203040506070809" << false;
    QTest::newRow("candump: DLC suffix on a short frame") << "(1.000000) can0 123#0102_C" << false;
    QTest::newRow("candump: DLC suffix not above 8") << "(1.000000) can0 123#0102030405060708_8" << false;
    QTest::newRow("candump: third interface") << "(1.000000) can2 123#01" << false;
    QTest::newRow("candump: time without microseconds") << "(1.5) can0 123#01" << false;
    QTest::newRow("asc: fewer bytes than the DLC") << "   0.000100 1  123             Rx   d 3 01 02" << true;
    QTest::newRow("asc: standard identifier above 0x7FF") << "   0.000100 1  800             Rx   d 0" << true;
    QTest::newRow("asc: channel 3") << "   0.000100 3  123             Rx   d 0" << true;
    QTest::newRow("asc: no direction") << "   0.000100 1  123             d 1 01" << true;
}

void TestLogs::refusedLines()
{
    QFETCH(QString, line);
    QFETCH(bool, asAsc);
    if (!asAsc) {
        LoggedFrame f;
        QVERIFY(!CandumpLog::parseLine(line, &f));
        int bad = 0;
        QVERIFY(CandumpLog::parse(line + QStringLiteral("\n\n"), &bad).isEmpty());
        QCOMPARE(bad, 1);
        return;
    }
    QVector<LoggedFrame> frames;
    int bad = 0;
    QVERIFY(AscLog::parse(AscLog::header(1765000000123456) + line + QLatin1Char('\n')
                              + AscLog::footer(),
                          &frames, &bad));
    QVERIFY(frames.isEmpty());
    QCOMPARE(bad, 1);
}

void TestLogs::pcapngFrames_data()
{
    QTest::addColumn<int>("sample");
    QTest::addColumn<QByteArray>("frame"); // identifier, length, 0, 0, DLC above 8, data

    QTest::newRow("standard") << 0 << QByteArray::fromHex("00000123 08000000 0102030405060708");
    QTest::newRow("extended") << 1 << QByteArray::fromHex("98FEF100 03000000 FF00A50000000000");
    QTest::newRow("extended 0") << 4 << QByteArray::fromHex("80000000 00000000 0000000000000000");
    QTest::newRow("remote") << 5 << QByteArray::fromHex("40000555 00000000 0000000000000000");
    QTest::newRow("extended remote") << 6 << QByteArray::fromHex("C0ABCDEF 04000000 0000000000000000");
    QTest::newRow("DLC above 8") << 8 << QByteArray::fromHex("00000100 0800000C A1A2A3A4A5A6A7A8");
    QTest::newRow("remote DLC 15") << 9 << QByteArray::fromHex("C0010000 0800000F 0000000000000000");
}

void TestLogs::pcapngFrames()
{
    QFETCH(int, sample);
    QFETCH(QByteArray, frame);
    QCOMPARE(PcapngLog::socketCanFrame(logSamples().at(sample).frame.record).toHex(),
             frame.toHex());
}

void TestLogs::pcapngFile()
{
    // Little-endian blocks: section header, can0, can1, then the sent extended frame on
    // channel 1 at 1765000000123457 µs = 0x00064542_16093241, flagged outbound.
    const QByteArray expected = QByteArray::fromHex(
        "0A0D0D0A 1C000000 4D3C2B1A 0100 0000 FFFFFFFFFFFFFFFF 1C000000"
        "01000000 20000000 E300 0000 00000000 0200 0400 63616E30 00000000 20000000"
        "01000000 20000000 E300 0000 00000000 0200 0400 63616E31 00000000 20000000"
        "06000000 3C000000 01000000 42450600 41320916 10000000 10000000"
        "98FEF100 03000000 FF00A50000000000 0200 0400 02000000 00000000 3C000000");
    QCOMPARE(PcapngLog::file({logSamples().at(1).frame}).toHex(), expected.toHex());
}

QTEST_APPLESS_MAIN(TestLogs)
#include "tst_logs.moc"
