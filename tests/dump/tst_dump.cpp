// brantel-dump's capture against the simulated adapter: the frames written for each
// option set and the summary's counts. (Refused arguments are in check_input.py, refused
// starts in tst_dump_umockdev, a SIGINT mid-capture in check_pcapng.py.)

#include "device/DeviceBackends.h"
#include "device/SimulatedAdapter.h"
#include "dump/DumpCapture.h"
#include "monitor/CandumpLog.h"

#include <QBuffer>
#include <QtTest>

namespace {
using Bytes = SimFirmware::Bytes;

Bytes frame(quint32 id, bool extended, int channel, Bytes data = {0x11})
{
    return SimFirmware::frameReport(7, extended, false, channel, id, false, data);
}
} // namespace

class TestDump : public QObject {
    Q_OBJECT
private slots:
    void capture_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("ids");
        QTest::addColumn<QString>("summary");

        // 200 and 301 are the ends of a range; 18FEF100 comes from the repeated --filter.
        QTest::newRow("ranges, 0x, repeated filter, exclude inside")
            << QStringList{"--seconds", "0.5", "--filter", "0x100,200-301", "--filter", "18FEF100",
                           "--exclude", "300"}
            << "100 200 18fef100 301"
            << "4 frames (channel 0: 2, channel 1: 2), 4 transfers, 1 malformed transfers dropped, "
               "1 frames filtered out";
        QTest::newRow("count stops in a transfer") << QStringList{"--count", "2"} << "100 200"
            << "2 frames (channel 0: 1, channel 1: 1), 2 transfers, 0 malformed transfers dropped, 0 frames filtered out";
    }

    void capture()
    {
        QFETCH(QStringList, args);
        DeviceBackends::registerBuiltins(); // registering again replaces the entries
        QVERIFY(DeviceBackends::select(DeviceBackends::simulatedName()));
        SimRegistry::instance().clear();
        auto fw = SimRegistry::instance().add();
        fw->queueBulk(frame(0x100, false, 0));
        Bytes two = frame(0x200, false, 1), extended = frame(0x18FEF100, true, 0);
        two.insert(two.end(), extended.begin(), extended.end());
        fw->queueBulk(two);
        fw->queueBulk(Bytes(20, 0)); // not a whole number of records
        Bytes last = frame(0x300, false, 0, {}), full = frame(0x301, false, 1, {1, 2, 3, 4, 5, 6, 7, 8});
        last.insert(last.end(), full.begin(), full.end());
        fw->queueBulk(last);

        DumpOptions o;
        QString error;
        QVERIFY2(parseDumpOptions(QStringList{"--simulate"} + args, &o, &error), qPrintable(error));
        QBuffer out, err;
        QVERIFY(out.open(QIODevice::WriteOnly) && err.open(QIODevice::WriteOnly));
        QCOMPARE(DumpCapture(o).run(&out, &err), int(DumpExit::Ok));
        int bad = -1;
        QStringList ids;
        for (const LoggedFrame &f : CandumpLog::parse(QString::fromUtf8(out.data()), &bad))
            ids << QString::number(f.record.id, 16);
        QCOMPARE(bad, 0);
        QTEST(ids.join(' '), "ids");
        QTEST(QString::fromUtf8(err.data()).trimmed().remove(QStringLiteral("brantel-dump: ")),
              "summary");
        QVERIFY(!fw->state().monitoring);
    }
};

QTEST_GUILESS_MAIN(TestDump)
#include "tst_dump.moc"
