// The SLCAN channel: answers to every kind of command line, the adapter exchanges they
// ask for, and the frame lines it forwards. Each command script runs twice, whole and
// one byte at a time, since a terminal may deliver a line in pieces.

#include "slcan/SlcanChannel.h"

#include <QtTest>

Q_DECLARE_METATYPE(MonitorRecord)

namespace {
// Records the exchanges asked for; refuses to start forwarding when told to.
struct FakeDevice : SlcanDevice {
    QStringList calls;
    bool refuseOpen = false;
    bool writeBitRate(int channel, int row) override
    {
        calls << QStringLiteral("rate %1 %2").arg(channel).arg(row);
        return true;
    }
    bool setForwarding(int channel, bool on) override
    {
        calls << QStringLiteral("fwd %1 %2").arg(channel).arg(int(on));
        return !(on && refuseOpen);
    }
};

const SlcanIdentity Identity{QStringLiteral("1.02"), QStringLiteral("1.15"), "HL261206001"};
MonitorRecord frame(int channel, bool extended, bool remote, bool sent, int dlc)
{
    return {0, extended ? 0x18FEF123u : 0x123u, extended, remote, sent, channel, dlc,
            QByteArray::fromHex("0102030405060708")};
}
} // namespace

class TestSlcan : public QObject {
    Q_OBJECT
private slots:
    void commands_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("refuseOpen");
        QTest::addColumn<QByteArray>("answers");
        QTest::addColumn<QString>("calls");

        // CR or LF ends a line; empty lines are ignored, an unended one waits.
        QTest::newRow("versions, serial, flags") << QByteArray("\r\n\nV\rv\nN\rF\nv") << false
                                                 << QByteArray("V0102\rv0115\rNHL261206001\rF00\r") << "";
        QTest::newRow("S9, S10, Z2, transmit refused")
            << QByteArray("S9\rS10\rZ2\rt1232AABB\rT0000012300\rr1230\rR000001230\r") << false
            << QByteArray("\a\a\a\a\a\a\a") << "";
        // S6 reaching the adapter as its 500K row is followed in check_slcan.py.
        QTest::newRow("open, settings refused, close") << QByteArray("O\rS6\rZ1\rO\rC\r") << false
                                                       << QByteArray("\r\a\a\a\r") << "fwd 0 1;fwd 0 0";
        QTest::newRow("adapter refuses to report") << QByteArray("O\rS4\r") << true << QByteArray("\a\r")
                                                   << "fwd 0 1;rate 0 7";
        QTest::newRow("overlong line, then a command") << QByteArray(40, 'A') + "\rV\r" << false
                                                       << QByteArray("\aV0102\r") << "";
    }

    void commands()
    {
        QFETCH(QByteArray, input);
        QFETCH(bool, refuseOpen);
        QFETCH(QByteArray, answers);

        FakeDevice whole, pieces;
        whole.refuseOpen = pieces.refuseOpen = refuseOpen;
        SlcanChannel a(0, Identity, &whole), b(0, Identity, &pieces);
        QCOMPARE(a.receive(input), answers);
        QByteArray answered;
        for (char c : input)
            answered += b.receive(QByteArray(1, c));
        QCOMPARE(answered, answers);
        QTEST(whole.calls.join(QLatin1Char(';')), "calls");
        QCOMPARE(pieces.calls, whole.calls);
    }

    void frames_data()
    {
        QTest::addColumn<QByteArray>("setup"); // commands before the frame
        QTest::addColumn<MonitorRecord>("record");
        QTest::addColumn<QByteArray>("line");

        // frame(channel, extended, remote, sent by the adapter, DLC) on channel 0 at
        // 1765000000123 ms, which is 40123 = 0x9CBB past a whole minute. Standard frames
        // and those of the other channel are followed in check_slcan.py.
        QTest::newRow("time stamp") << QByteArray("Z1\rO\r") << frame(0, false, false, false, 2) << QByteArray("t123201029CBB\r");
        QTest::newRow("extended") << QByteArray("O\r") << frame(0, true, false, false, 3) << QByteArray("T18FEF1233010203\r");
        QTest::newRow("remote") << QByteArray("L\r") << frame(0, false, true, false, 4) << QByteArray("r1234\r");
        QTest::newRow("extended remote") << QByteArray("O\r") << frame(0, true, true, false, 0) << QByteArray("R18FEF1230\r");
        QTest::newRow("DLC 12 as 8") << QByteArray("O\r") << frame(0, false, false, false, 12) << QByteArray("t12380102030405060708\r");
        QTest::newRow("closed") << QByteArray("O\rC\r") << frame(0, false, false, false, 2) << QByteArray();
        QTest::newRow("sent by the adapter") << QByteArray("O\r") << frame(0, false, false, true, 2) << QByteArray();
    }

    void frames()
    {
        QFETCH(QByteArray, setup);
        QFETCH(MonitorRecord, record);
        FakeDevice device;
        SlcanChannel c(0, Identity, &device);
        c.receive(setup);
        QTEST(c.frameLine(record, 1765000000123), "line");
        c.noteLostFrames(); // F reports the overrun once
        QCOMPARE(c.receive("F\rF\r"), QByteArray("F08\rF00\r"));
    }
};

QTEST_APPLESS_MAIN(TestSlcan)
#include "tst_slcan.moc"
