// brantel-dump's capture against the simulated adapter: refused arguments, the frames
// written for each option set, the summary's counts, a refused start, and a SIGINT in the middle of a capture leaving the adapter with reporting off and
// whole lines.

#include "device/DeviceBackends.h"
#include "device/SimulatedAdapter.h"
#include "dump/DumpCapture.h"
#include "monitor/CandumpLog.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <thread>

namespace {
using Bytes = SimFirmware::Bytes;

Bytes frame(quint32 id, bool extended, int channel, Bytes data = {0x11})
{
    return SimFirmware::frameReport(7, extended, false, channel, id, false, data);
}

// A capture's exit code, standard output and standard error.
struct Run {
    int code;
    QString out, err;
};

Run run(const QStringList &args)
{
    DumpOptions o;
    QString error;
    if (!parseDumpOptions(QStringList{"--simulate"} + args, &o, &error))
        qFatal("options refused: %s", qPrintable(error));
    QBuffer out, err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    const int code = DumpCapture(o).run(&out, &err);
    return {code, QString::fromUtf8(out.data()), QString::fromUtf8(err.data())};
}
} // namespace

class TestDump : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        DeviceBackends::registerBuiltins();
        QVERIFY(DeviceBackends::select(DeviceBackends::simulatedName()));
    }

    void init()
    {
        SimRegistry::instance().clear();
        DumpCapture::clearStopRequest();
    }

    void refusedArguments()
    {
        for (const QStringList &args : {QStringList{"--filter", "200-100"}, {"--exclude", "80000000"},
                                        {"--count", "0"}, {"--format", "html"}}) {
            DumpOptions o;
            QString error;
            QVERIFY2(!parseDumpOptions(args, &o, &error) && !error.isEmpty(), qPrintable(args.join(' ')));
        }
    }

    void capture_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("ids");
        QTest::addColumn<QString>("summary");

        QTest::newRow("everything") << QStringList{"--seconds", "0.5"} << "100 200 18fef100 300 301"
            << "5 frames (channel 0: 3, channel 1: 2), 4 transfers, 1 malformed transfers dropped, 0 frames filtered out";
        QTest::newRow("filter") << QStringList{"--seconds", "0.5", "--filter", "200-18FEF100"} << "200 18fef100 300 301"
            << "4 frames (channel 0: 2, channel 1: 2), 4 transfers, 1 malformed transfers dropped, 1 frames filtered out";
        QTest::newRow("ranges, 0x, repeated filter, exclude inside")
            << QStringList{"--seconds", "0.5", "--filter", "0x100,300-301", "--filter", "200", "--exclude", "301"}
            << "100 200 300"
            << "3 frames (channel 0: 2, channel 1: 1), 4 transfers, 1 malformed transfers dropped, 2 frames filtered out";
        QTest::newRow("count stops in a transfer") << QStringList{"--count", "2"} << "100 200"
            << "2 frames (channel 0: 1, channel 1: 1), 2 transfers, 0 malformed transfers dropped, 0 frames filtered out";
    }

    void capture()
    {
        QFETCH(QStringList, args);
        auto fw = SimRegistry::instance().add();
        fw->queueBulk(frame(0x100, false, 0));
        Bytes two = frame(0x200, false, 1), extended = frame(0x18FEF100, true, 0);
        two.insert(two.end(), extended.begin(), extended.end());
        fw->queueBulk(two);
        fw->queueBulk(Bytes(20, 0)); // not a whole number of records
        Bytes last = frame(0x300, false, 0, {}), full = frame(0x301, false, 1, {1, 2, 3, 4, 5, 6, 7, 8});
        last.insert(last.end(), full.begin(), full.end());
        fw->queueBulk(last);

        const Run r = run(args);
        QCOMPARE(r.code, int(DumpExit::Ok));
        int bad = -1;
        QStringList ids;
        for (const LoggedFrame &f : CandumpLog::parse(r.out, &bad))
            ids << QString::number(f.record.id, 16);
        QCOMPARE(bad, 0);
        QTEST(ids.join(' '), "ids");
        QTEST(r.err.trimmed().remove(QStringLiteral("brantel-dump: ")), "summary");
        QVERIFY(!fw->state().monitoring);
    }

    // No adapter and an old firmware are refused in tst_dump_umockdev.
    void startRefused()
    {
        auto fw = SimRegistry::instance().add();
        fw->scriptFault(0xA2, SimFirmware::Fault::WrongStatus);
        const Run r = run({});
        QCOMPARE(r.code, int(DumpExit::Failed));
        QCOMPARE(r.err, QStringLiteral("brantel-dump: the adapter did not start frame reporting: status 0x80 "
                                       "instead of 0x81 in the reply to SetMonitoring\n"));
        QVERIFY(r.out.isEmpty());
        QVERIFY(!fw->state().monitoring); // a start whose answer was lost is undone
    }

    void sigintEndsReporting()
    {
        auto fw = SimRegistry::instance().add();
        fw->setStreamRate(200);
        QTemporaryDir dir;
        DumpOptions o;
        o.simulate = true;
        o.output = dir.filePath(QStringLiteral("capture.log"));
        DumpCapture::installStopSignals();
        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        DumpCapture capture(o);
        int exitCode = -1;
        std::thread runner([&] { exitCode = capture.run(&out, &err); });
        // A failed check must not leave the capture running.
        std::unique_ptr<std::thread, void (*)(std::thread *)> joiner(
            &runner, [](std::thread *t) { DumpCapture::requestStop(); t->join(); });
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(o.output).size() > 2000, 10000);
        QVERIFY(fw->state().monitoring);
        std::raise(SIGINT); // the handler only sets a flag: the capture ends by itself
        joiner.reset();

        QCOMPARE(exitCode, int(DumpExit::Ok));
        QVERIFY(!fw->state().monitoring && capture.summary().reportingStopped);
        QFile file(o.output);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.endsWith('\n'));
        int bad = -1;
        const QVector<LoggedFrame> frames = CandumpLog::parse(QString::fromUtf8(text), &bad);
        QCOMPARE(bad, 0);
        QCOMPARE(frames.size(), capture.summary().counts.shownFrames());
        QVERIFY(frames.size() > 20);
    }
};

QTEST_GUILESS_MAIN(TestDump)
#include "tst_dump.moc"
