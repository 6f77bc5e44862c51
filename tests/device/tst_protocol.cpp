// The command table's reply and write checks, the identity fields, and every reason an
// exchange with the simulated adapter can fail for.

#include "device/CWrapWinUSB.h"
#include "device/Exchange.h"
#include "device/Protocol.h"
#include "device/SimulatedAdapter.h"

#include <QtTest>

using namespace Protocol;
using Fault = SimFirmware::Fault;
using Id = CommandId;

namespace {
QByteArray hex(const char *t) { return QByteArray::fromHex(QByteArray(t).replace(' ', "")); }
// fault -1: none; reply: the one judged, 0 the first, k after k more reads;
// usable: the same exchange passes right after.
struct Reason {
    bool open;
    Id id;
    QByteArray request;
    int fault;
    int reply;
    bool passed;
    bool atRequest;
    QString text;
    bool usable;
};
} // namespace
Q_DECLARE_METATYPE(Reason)

class TestProtocol : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() // the device log is quiet unless asked for
    {
        QVERIFY(!lcDevice().isInfoEnabled());
        QLoggingCategory::setFilterRules(QStringLiteral("brantel.device.info=true"));
    }
    void cleanup() { SimRegistry::instance().clear(); }
    void checks();
    void fields();
    void reasons_data();
    void reasons();
};

// Every command's reply and write checks meet short, long and wrong-status replies and
// failed or short writes in the reasons below, tst_connection and tst_canparam_exchange;
// here the edges they leave.
void TestProtocol::checks()
{
    // A status reply needs only to reach byte 2.
    QVERIFY(replyPasses(Id::WriteBaudRate, true, hex("12 23 81")));
    // Version replies are taken as they come.
    QVERIFY(replyPasses(Id::ReadFirmwareVersion, false, QByteArray()));
    // Writes: unchecked, result checked (a short one passes), length checked (a long one fails).
    QVERIFY(writePasses(Id::ReadChannalCount, false, 0, 4));
    QVERIFY(writePasses(Id::WriteFilterBank, true, 3, 14));
    QVERIFY(!writePasses(Id::SetOfflineMode, true, 6, 5));
}

// The two identity requests no other test spells out (the rest are tst_canparam_exchange's,
// tst_connection's and the end-to-end session's), version texts and Latin-1 fields at full
// width; the versions read from whole replies are tst_connection's ("information").
void TestProtocol::fields()
{
    QCOMPARE(readFirmwareVersion().toHex(' '), QByteArray("12 12 01 00"));
    QCOMPARE(readDeviceType().toHex(' '), QByteArray("12 15 01 01"));
    QCOMPARE(versionText(10, 0xFF), QStringLiteral("10.ff"));
    QVERIFY(versionFromReply(hex("12 12 81 02 15")).isNull());
    QCOMPARE(latin1Field(QByteArray("\x12\x15\x81\x07\xe9" "AB  \0\0", 11), 4, 7),
             QString::fromUtf8("éAB  ") + QChar(0) + QChar(0));
    QVERIFY(latin1Field(QByteArray("\x12\x15\x81\x07HLW-C2", 10), 4, 7).isNull());
}

void TestProtocol::reasons_data()
{
    QTest::addColumn<Reason>("r");
    const auto row = [](const char *name, bool open, Id id, const QByteArray &request, int fault,
                        int reply, bool passed, bool atRequest, const char *text,
                        bool usable = true) {
        QTest::newRow(name) << Reason{open, id, request, fault, reply, passed, atRequest,
                                      QString::fromLatin1(text), usable};
    };
    row("closed link", false, Id::SetRelayMode, setRelayMode(true), -1, 0, false, true,
        "no open link for SetRelayMode", false);
    row("write fails", true, Id::ReadSerialNumber, readSerialNumber(), int(Fault::WriteFails), 0,
        false, true, "writing ReadSerialNumber failed");
    // The cut request is answered; that answer must not reach the next exchange.
    row("short write", true, Id::SetRelayMode, setRelayMode(true), int(Fault::PartialWrite), 0,
        false, true, "SetRelayMode written short: 3 of 4 bytes");
    row("short reply", true, Id::ReadChannalCount, readChannalCount(), int(Fault::ShortReply), 0,
        false, false, "a reply of 2 bytes to ReadChannalCount, 5 expected");
    const QByteArray timing = QByteArray::fromHex("00120017");
    row("no status byte", true, Id::WriteBaudRate, writeBaudRate(0, timing),
        int(Fault::ShortReply), 0, false, false,
        "a reply of 2 bytes to WriteBaudRate, 3 or more expected");
    row("wrong status", true, Id::SetMonitoring, setMonitoring(true), int(Fault::WrongStatus), 0,
        false, false, "status 0x80 instead of 0x81 in the reply to SetMonitoring");
    row("third filter bank silent", true, Id::ReadAcceptanceFilters, readAcceptanceFilters(0),
        int(Fault::NoReply), 2, false, false, "no reply within 1000 ms to ReadAcceptanceFilters");
    // Version replies are not judged: the exchange passes, the reason still tells.
    row("unjudged reply lost", true, Id::ReadFirmwareVersion, readFirmwareVersion(),
        int(Fault::NoReply), 0, true, false, "no reply within 1000 ms to ReadFirmwareVersion");
}

void TestProtocol::reasons()
{
    QFETCH(Reason, r);
    auto device = SimRegistry::instance().add();
    CWrapWinUSB link(std::make_unique<SimBackend>());
    QVERIFY(link.open());
    if (!r.open)
        link.close();
    if (r.fault >= 0)
        device->scriptFault(uint8_t(r.request.at(1)), Fault(r.fault), r.reply);
    QTest::ignoreMessage(QtInfoMsg, qPrintable(r.passed ? r.text + " (not judged)" : r.text));
    ExchangeResult result = exchange(link, r.id, r.request);
    for (int k = 0; k < r.reply; ++k) {
        QVERIFY(result.passed);
        result = nextReply(link, r.id);
    }
    QCOMPARE(result.passed, r.passed);
    QCOMPARE(result.atRequest, r.atRequest);
    QCOMPARE(result.text(), r.text);
    QCOMPARE(exchange(link, r.id, r.request).passed, r.usable);
}

QTEST_MAIN(TestProtocol)
#include "tst_protocol.moc"
