// brantel-dump's capture against the simulated adapter: the frames written for each
// option set, the summary's counts, the connection check's refusals, and a SIGINT in
// the middle of a capture leaving the adapter with reporting off and whole lines.

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

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes &p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

bool sawRequest(const SimFirmware &fw, uint8_t code)
{
    for (const Bytes &r : fw.requests())
        if (r.size() > 1 && r[1] == code)
            return true;
    return false;
}

// One capture's exit code, standard output and standard error.
struct Run {
    int code;
    QString out;
    QString err;
};

Run run(const DumpOptions &o)
{
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    const int code = DumpCapture(o).run(&out, &err);
    return {code, QString::fromUtf8(out.data()), QString::fromUtf8(err.data())};
}

DumpOptions parsed(const QStringList &args)
{
    DumpOptions o;
    QString error;
    if (!parseDumpOptions(QStringList{"--simulate"} + args, &o, &error))
        qFatal("options refused: %s", qPrintable(error));
    return o;
}

QString ids(const QVector<LoggedFrame> &frames)
{
    QStringList out;
    for (const LoggedFrame &f : frames)
        out << QString::number(f.record.id, 16);
    return out.join(QLatin1Char(' '));
}
} // namespace

class TestDump : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void refusedArguments_data();
    void refusedArguments();
    void capture_data();
    void capture();
    void textFormat();
    void refused_data();
    void refused();
    void sigintEndsReporting();
};

void TestDump::initTestCase()
{
    DeviceBackends::registerBuiltins();
    QVERIFY(DeviceBackends::select(DeviceBackends::simulatedName()));
}

void TestDump::init()
{
    SimRegistry::instance().clear();
    DumpCapture::clearStopRequest();
}

void TestDump::refusedArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("reversed range") << QStringList{"--filter", "200-100"};
    QTest::newRow("not hexadecimal") << QStringList{"--filter", "1g"};
    QTest::newRow("above 31 bits") << QStringList{"--exclude", "80000000"};
    QTest::newRow("zero count") << QStringList{"--count", "0"};
    QTest::newRow("unknown format") << QStringList{"--format", "html"};
}

void TestDump::refusedArguments()
{
    QFETCH(QStringList, args);
    DumpOptions o;
    QString error;
    QVERIFY(!parseDumpOptions(args, &o, &error));
    QVERIFY(!error.isEmpty());
}

void TestDump::capture_data()
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

void TestDump::capture()
{
    QFETCH(QStringList, args);
    QFETCH(QString, ids);
    QFETCH(QString, summary);

    auto fw = SimRegistry::instance().add();
    fw->queueBulk(frame(0x100, false, 0));
    fw->queueBulk(join({frame(0x200, false, 1), frame(0x18FEF100, true, 0)}));
    fw->queueBulk(Bytes(20, 0)); // not a whole number of records
    fw->queueBulk(join({frame(0x300, false, 0, {}), frame(0x301, false, 1, {1, 2, 3, 4, 5, 6, 7, 8})}));

    const Run r = run(parsed(args));
    QCOMPARE(r.code, int(DumpExit::Ok));

    int bad = -1;
    const QVector<LoggedFrame> frames = CandumpLog::parse(r.out, &bad);
    QCOMPARE(bad, 0);
    QCOMPARE(::ids(frames), ids);
    QCOMPARE(r.err.trimmed(), QStringLiteral("brantel-dump: ") + summary);
    QVERIFY(sawRequest(*fw, 0xA2));
    QVERIFY(sawRequest(*fw, 0xA3));
    QVERIFY(!fw->state().monitoring);
}

void TestDump::textFormat()
{
    auto fw = SimRegistry::instance().add();
    fw->queueBulk(join({frame(0x100, false, 0), frame(0x1ABCDEF, true, 1, {})}));
    const Run r = run(parsed({"--count", "2", "--format", "text"}));
    QCOMPARE(r.code, int(DumpExit::Ok));
    // The monitor page's lines, numbered from 1, with the names of the program's own language.
    QCOMPARE(r.out,
             QString::fromUtf8("1         接收      0    0x00000007   数据帧  标准帧   00 00 01 00   1   11\n"
                               "2         接收      1    0x00000007   数据帧  扩展帧   01 ab cd ef   0   \n"));
}

void TestDump::refused_data()
{
    QTest::addColumn<bool>("plugged");
    QTest::addColumn<QString>("deviceType");
    QTest::addColumn<int>("firmwareMinor");
    QTest::addColumn<bool>("startRefused");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    QTest::newRow("no adapter") << false << "HLW-C2+" << 0x15 << false << int(DumpExit::NoAdapter)
                                << "no adapter found (USB 0471:1200)";
    QTest::newRow("firmware 1.14") << true << "HLW-C2+" << 0x14 << false << int(DumpExit::Incompatible)
                                   << "incompatible adapter: device type \"HLW-C2+\", firmware 1.14";
    QTest::newRow("start answered with a wrong status") << true << "HLW-C2+" << 0x15 << true
        << int(DumpExit::Failed)
        << "the adapter did not start frame reporting: status 0x80 instead of 0x81 in the reply "
           "to SetMonitoring";
}

void TestDump::refused()
{
    QFETCH(bool, plugged);
    QFETCH(QString, deviceType);
    QFETCH(int, firmwareMinor);
    QFETCH(bool, startRefused);
    QFETCH(int, exitCode);
    QFETCH(QString, message);

    std::shared_ptr<SimFirmware> fw;
    if (plugged) {
        SimFirmware::State s;
        s.deviceType = deviceType.toStdString();
        s.firmwareMinor = uint8_t(firmwareMinor);
        fw = SimRegistry::instance().add(s);
        if (startRefused)
            fw->scriptFault(0xA2, SimFirmware::Fault::WrongStatus);
    }
    const Run r = run(parsed({}));
    QCOMPARE(r.code, exitCode);
    QCOMPARE(r.err, QStringLiteral("brantel-dump: ") + message + '\n');
    QVERIFY(r.out.isEmpty());
    if (fw) {
        QCOMPARE(sawRequest(*fw, 0xA2), startRefused);
        QVERIFY(!fw->state().monitoring); // a start whose answer was lost is undone
    }
}

void TestDump::sigintEndsReporting()
{
    auto fw = SimRegistry::instance().add();
    fw->setStreamRate(200);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("capture.log"));
    DumpOptions o;
    o.simulate = true;
    o.output = path;
    DumpCapture::installStopSignals();

    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    DumpCapture capture(o);
    int exitCode = -1;
    std::thread runner([&] { exitCode = capture.run(&out, &err); });
    struct Joiner {
        std::thread &thread;
        ~Joiner()
        {
            DumpCapture::requestStop(); // a failed check must not leave the capture running
            thread.join();
        }
    };
    std::unique_ptr<Joiner> joiner(new Joiner{runner});
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(path).size() > 2000, 10000);
    QVERIFY(fw->state().monitoring);
    std::raise(SIGINT); // the handler only sets a flag: the capture ends by itself
    joiner.reset();

    QCOMPARE(exitCode, int(DumpExit::Ok));
    QVERIFY(!fw->state().monitoring);
    QVERIFY(capture.summary().reportingStopped);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.endsWith('\n'));
    int bad = -1;
    const QVector<LoggedFrame> frames = CandumpLog::parse(QString::fromUtf8(text), &bad);
    QCOMPARE(bad, 0);
    QCOMPARE(frames.size(), capture.summary().counts.shownFrames());
    QVERIFY(frames.size() > 20);
}

QTEST_GUILESS_MAIN(TestDump)
#include "tst_dump.moc"
