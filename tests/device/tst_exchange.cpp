// One exchange says why it failed: the reasons from scripted faults of the simulated
// adapter, the table's verdict beside it, the log line, and a usable link afterwards. A lost
// reply and a removal are tst_libusb_umockdev's.

#include "device/CWrapWinUSB.h"
#include "device/Exchange.h"
#include "device/SimulatedAdapter.h"

#include <QtTest>

using namespace Protocol;
using Fault = SimFirmware::Fault;
using Id = CommandId;

namespace {
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

class TestExchange : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() // the device log is quiet unless asked for
    {
        QVERIFY(!lcDevice().isInfoEnabled());
        QLoggingCategory::setFilterRules(QStringLiteral("brantel.device.info=true"));
    }
    void cleanup() { SimRegistry::instance().clear(); }
    void reasons_data();
    void reasons();
};

void TestExchange::reasons_data()
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

void TestExchange::reasons()
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

QTEST_GUILESS_MAIN(TestExchange)
#include "tst_exchange.moc"
