// One exchange says why it failed: every reason from a scripted fault of the simulated
// adapter, the table's verdict beside it, the log line, and a usable link afterwards.

#include "device/CWrapWinUSB.h"
#include "device/Exchange.h"
#include "device/SimulatedAdapter.h"

#include <QtTest>

using namespace Protocol;
using Fault = SimFirmware::Fault;
using Id = CommandId;

Q_DECLARE_METATYPE(CommandId)

class TestExchange : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() // the device log is quiet unless asked for
    { QVERIFY(!lcDevice().isInfoEnabled()); QLoggingCategory::setFilterRules(QStringLiteral("brantel.device.info=true")); }
    void cleanup() { SimRegistry::instance().clear(); }
    void reasons_data();
    void reasons();
};

void TestExchange::reasons_data()
{
    // fault -1: none; reply: the one judged, 0 the first, k after k more reads;
    // usable: the same exchange passes right after.
    QTest::addColumn<bool>("open"); QTest::addColumn<CommandId>("id"); QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("fault"); QTest::addColumn<int>("reply"); QTest::addColumn<bool>("passed");
    QTest::addColumn<bool>("atRequest"); QTest::addColumn<QString>("text"); QTest::addColumn<bool>("usable");

    const auto row = [](const char *name, bool open, Id id, const QByteArray &request, int fault,
                        int reply, bool passed, bool atRequest, const char *text, bool usable = true) {
        QTest::newRow(name) << open << id << request << fault << reply << passed << atRequest << QString::fromLatin1(text) << usable;
    };
    row("closed link", false, Id::SetRelayMode, setRelayMode(true), -1, 0, false, true,
        "no open link for SetRelayMode", false);
    row("write fails", true, Id::ReadSerialNumber, readSerialNumber(), int(Fault::WriteFails), 0,
        false, true, "writing ReadSerialNumber failed");
    // The cut request is answered; that answer must not reach the next exchange.
    row("short write", true, Id::SetRelayMode, setRelayMode(true), int(Fault::PartialWrite), 0,
        false, true, "SetRelayMode written short: 3 of 4 bytes");
    row("no reply", true, Id::ReadChannalCount, readChannalCount(), int(Fault::NoReply), 0, false,
        false, "no reply within 1000 ms to ReadChannalCount");
    row("short reply", true, Id::ReadChannalCount, readChannalCount(), int(Fault::ShortReply), 0,
        false, false, "a reply of 2 bytes to ReadChannalCount, 5 expected");
    row("no status byte", true, Id::WriteBaudRate, writeBaudRate(0, QByteArray::fromHex("00120017")),
        int(Fault::ShortReply), 0, false, false, "a reply of 2 bytes to WriteBaudRate, 3 or more expected");
    row("wrong status", true, Id::SetMonitoring, setMonitoring(true), int(Fault::WrongStatus), 0,
        false, false, "status 0x80 instead of 0x81 in the reply to SetMonitoring");
    row("removal", true, Id::ReadModeState, readModeState(), int(Fault::RemoveMidExchange), 0,
        false, false, "the adapter was removed during ReadModeState", false);
    row("third filter bank silent", true, Id::ReadAcceptanceFilters, readAcceptanceFilters(0),
        int(Fault::NoReply), 2, false, false, "no reply within 1000 ms to ReadAcceptanceFilters");
    // Version replies are not judged: the exchange passes, the reason still tells.
    row("unjudged reply lost", true, Id::ReadFirmwareVersion, readFirmwareVersion(),
        int(Fault::NoReply), 0, true, false, "no reply within 1000 ms to ReadFirmwareVersion");
}

void TestExchange::reasons()
{
    QFETCH(bool, open); QFETCH(CommandId, id); QFETCH(QByteArray, request);
    QFETCH(int, fault); QFETCH(int, reply); QFETCH(QString, text); QFETCH(bool, passed);

    auto device = SimRegistry::instance().add();
    CWrapWinUSB link(std::make_unique<SimBackend>());
    QVERIFY(link.open());
    open ? void() : link.close();
    if (fault >= 0)
        device->scriptFault(uint8_t(request.at(1)), Fault(fault), reply);
    QTest::ignoreMessage(QtInfoMsg, qPrintable(passed ? text + " (not judged)" : text));
    ExchangeResult r = exchange(link, id, request);
    for (int k = 0; k < reply; ++k) {
        QVERIFY(r.passed);
        r = nextReply(link, id);
    }
    QCOMPARE(r.passed, passed); QTEST(r.atRequest, "atRequest"); QCOMPARE(r.text(), text);
    QTEST(exchange(link, id, request).passed, "usable");
}

QTEST_GUILESS_MAIN(TestExchange)
#include "tst_exchange.moc"
