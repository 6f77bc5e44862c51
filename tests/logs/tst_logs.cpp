// The candump log and ASC writers against their readers: every sample frame written
// and read back unchanged, and lines that must be refused rather than misread (the
// layouts themselves are pinned by tst_monitorformat's golden files). The pcapng writer
// and its frames against hand-built bytes.

#include "LogSamples.h"
#include "monitor/AscLog.h"
#include "monitor/CandumpLog.h"
#include "monitor/PcapngLog.h"

#include <QtTest>

Q_DECLARE_METATYPE(LoggedFrame)

class TestLogs : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        QTest::addColumn<LoggedFrame>("frame");
        for (const LogSample &s : logSamples())
            QTest::newRow(s.name) << s.frame;
    }

    void roundTrip()
    {
        QFETCH(LoggedFrame, frame);
        const qint64 start = logSamples().first().frame.hostMicros;

        LoggedFrame back;
        QVERIFY(CandumpLog::parseLine(CandumpLog::formatLine(frame), &back));
        QVERIFY(sameLoggedFrame(frame, back));

        // A whole ASC file around the frame, so the header's start date is read back too.
        const QString asc = AscLog::header(start) + AscLog::formatLine(frame, start)
            + QLatin1Char('\n') + AscLog::footer();
        QVector<LoggedFrame> frames;
        int bad = -1;
        QVERIFY(AscLog::parse(asc, &frames, &bad));
        QCOMPARE(bad, 0);
        QCOMPARE(frames.size(), 1);
        QVERIFY(sameLoggedFrame(frame, frames.first()));
    }

    void refusedLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("asAsc");

        QTest::newRow("candump: standard id above 7FF") << "(1.000000) can0 800#01 R" << false;
        QTest::newRow("candump: odd data digit") << "(1.000000) can0 123#012 R" << false;
        QTest::newRow("candump: DLC suffix, short frame") << "(1.000000) can0 123#0102_C" << false;
        QTest::newRow("candump: third interface") << "(1.000000) can2 123#01" << false;
        QTest::newRow("asc: fewer bytes than the DLC")
            << "   0.000100 1  123             Rx   d 3 01 02" << true;
        QTest::newRow("asc: channel 3") << "   0.000100 3  123             Rx   d 0" << true;
    }

    // Counted as bad lines, never read as frames.
    void refusedLines()
    {
        QFETCH(QString, line);
        QFETCH(bool, asAsc);
        QVector<LoggedFrame> frames;
        int bad = 0;
        const QString asc = AscLog::header(1765000000123456) + line + '\n' + AscLog::footer();
        if (asAsc)
            QVERIFY(AscLog::parse(asc, &frames, &bad));
        else
            frames = CandumpLog::parse(line + QStringLiteral("\n\n"), &bad);
        QVERIFY(frames.isEmpty());
        QCOMPARE(bad, 1);
    }

    void pcapngFile()
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
        // Identifier, length, 0, 0, DLC above 8, data: a remote frame, and eight bytes
        // given with a DLC of 12.
        QCOMPARE(PcapngLog::socketCanFrame(logSamples().at(5).frame.record).toHex(),
                 QByteArray("40000555000000000000000000000000"));
        QCOMPARE(PcapngLog::socketCanFrame(logSamples().at(8).frame.record).toHex(),
                 QByteArray("000001000800000ca1a2a3a4a5a6a7a8"));
    }
};

QTEST_APPLESS_MAIN(TestLogs)
#include "tst_logs.moc"
