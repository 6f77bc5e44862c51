// Moving offline records to and from the simulated adapter: exact request bytes, every
// reply fault, and no leftover reply of an aborted read taken by the next exchange.

#include "device/CWrapWinUSB.h"
#include "device/SimulatedAdapter.h"
#include "offline/OfflineTransfer.h"

#include <QtTest>

using Fault = SimFirmware::Fault;
using OfflineTransfer::ReadResult;
using OfflineTransfer::WriteResult;
Q_DECLARE_METATYPE(ReadResult)
Q_DECLARE_METATYPE(WriteResult)
Q_DECLARE_METATYPE(Fault)

namespace {

// A record as a row of `count` rows encodes it: number, count, interval 100, data bytes.
QByteArray record(int number, int count, const QByteArray &data)
{
    QByteArray r = QByteArray::fromHex("12A512");
    r.append(char(number)).append(char(count));
    r.append(QByteArray::fromHex("000064"));
    r.append(char(data.size()));
    r.append(QByteArray::fromHex("000001") + char(number));
    return r + data;
}

QVector<QByteArray> records(int n)
{
    QVector<QByteArray> out;
    for (int i = 1; i <= n; ++i)
        out << record(i, n, QByteArray(8, char(i)));
    return out;
}

SimFirmware::State storing(int n)
{
    SimFirmware::State s;
    for (const QByteArray &r : records(n))
        s.offlineRecords.emplace_back(r.begin(), r.end());
    return s;
}

QStringList hexRequests(const SimFirmware &device)
{
    QStringList out;
    for (const auto &r : device.requests())
        out << QByteArray(reinterpret_cast<const char *>(r.data()), int(r.size())).toHex().toUpper();
    return out;
}

} // namespace

class TestOfflineTransfer : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SimRegistry::instance().clear(); }
    void read_data();
    void read();
    void write_data();
    void write();
    void readAfterAnAbortedReadGetsTheDevicesRecords();
};

void TestOfflineTransfer::read_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("faultCode");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("faultReply");
    QTest::addColumn<ReadResult>("result");
    QTest::newRow("three records") << 3 << 0 << Fault::NoReply << -1 << ReadResult::Ok;
    QTest::newRow("nothing stored") << 0 << 0 << Fault::NoReply << -1 << ReadResult::NoData;
    QTest::newRow("second record 20 bytes") << 3 << 0xA6 << Fault::TruncatedReply << 1
                                            << ReadResult::ReadFailed;
    QTest::newRow("first record 22 bytes") << 3 << 0xA6 << Fault::LongReply << 0
                                           << ReadResult::ReadFailed;
    QTest::newRow("announces more than it sends") << 3 << 0xA6 << Fault::NoReply << 2
                                                  << ReadResult::ReadFailed;
    QTest::newRow("request cut short") << 3 << 0xA6 << Fault::PartialWrite << 0
                                       << ReadResult::RequestFailed;
    QTest::newRow("request not written") << 3 << 0xA6 << Fault::WriteFails << 0
                                         << ReadResult::RequestFailed;
}

void TestOfflineTransfer::read()
{
    QFETCH(int, stored);
    QFETCH(int, faultCode);
    QFETCH(Fault, fault);
    QFETCH(int, faultReply);
    QFETCH(ReadResult, result);
    auto device = SimRegistry::instance().add(storing(stored));
    if (faultReply >= 0)
        device->scriptFault(uint8_t(faultCode), fault, faultReply);
    CWrapWinUSB link(std::make_unique<SimBackend>());
    QVERIFY(link.open());

    const QVector<QByteArray> before{QByteArray("kept")};
    QVector<QByteArray> got = before;
    QCOMPARE(OfflineTransfer::readRecords(link, &got), result);
    if (result != ReadResult::Ok) {
        QCOMPARE(got, before);
        return;
    }
    QCOMPARE(got.size(), stored);
    for (int i = 0; i < stored; ++i) {
        QCOMPARE(got[i].size(), SimFirmware::OfflineRecordSize);
        QCOMPARE(got[i].mid(5), records(stored)[i].mid(5)); // as stored, after the head
    }
    QCOMPARE(hexRequests(*device), QStringList{QStringLiteral("12A60100")});
}

void TestOfflineTransfer::write_data()
{
    QTest::addColumn<QVector<QByteArray>>("list");
    QTest::addColumn<int>("faultCode");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<WriteResult>("result");
    QTest::addColumn<int>("sent");
    QTest::addColumn<int>("stored");
    const QVector<QByteArray> two = records(2);
    QTest::newRow("empty list clears") << QVector<QByteArray>() << 0 << Fault::NoReply
                                       << WriteResult::Ok << 1 << 0;
    QTest::newRow("two records") << two << 0 << Fault::NoReply << WriteResult::Ok << 2 << 2;
    QTest::newRow("two data bytes") << QVector<QByteArray>{record(1, 1, QByteArray::fromHex("1122"))}
                                    << 0 << Fault::NoReply << WriteResult::Ok << 1 << 1;
    // The first reply passes, so the second request carries the fault.
    // The device took the second record but answered 0x80: no more is sent either way.
    QTest::newRow("second refused") << two << -2 << Fault::WrongStatus << WriteResult::Refused
                                    << 2 << 2;
    QTest::newRow("first not written") << two << 0xA5 << Fault::WriteFails
                                       << WriteResult::WriteFailed << 0 << 3;
    QTest::newRow("reply lost") << two << 0xA5 << Fault::NoReply << WriteResult::Refused << 1 << 1;
    QTest::newRow("reply too short") << two << 0xA5 << Fault::ShortReply << WriteResult::Refused
                                     << 1 << 1;
}

void TestOfflineTransfer::write()
{
    QFETCH(QVector<QByteArray>, list);
    QFETCH(int, faultCode);
    QFETCH(Fault, fault);
    QFETCH(WriteResult, result);
    QFETCH(int, sent);
    QFETCH(int, stored);
    auto device = SimRegistry::instance().add(storing(3));
    if (faultCode == -2) {
        device->scriptFault(0xA5, Fault::NoReply, 99); // no effect: lets the first pass
        device->scriptFault(0xA5, fault);
    } else if (faultCode) {
        device->scriptFault(uint8_t(faultCode), fault);
    }
    CWrapWinUSB link(std::make_unique<SimBackend>());
    QVERIFY(link.open());
    QCOMPARE(OfflineTransfer::writeRecords(link, list), result);

    const auto requests = device->requests();
    QCOMPARE(int(requests.size()), sent);
    for (int i = 0; i < sent; ++i) {
        const QByteArray expected = list.isEmpty()
            ? QByteArray::fromHex("12A512") + QByteArray(18, '\0')
            : list[i];
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(requests[size_t(i)].data()),
                            int(requests[size_t(i)].size())),
                 expected);
    }
    QCOMPARE(int(device->state().offlineRecords.size()), stored);
}

void TestOfflineTransfer::readAfterAnAbortedReadGetsTheDevicesRecords()
{
    auto device = SimRegistry::instance().add(storing(4));
    device->scriptFault(0xA6, Fault::TruncatedReply, 1);
    CWrapWinUSB link(std::make_unique<SimBackend>());
    QVERIFY(link.open());
    QVector<QByteArray> got;
    QCOMPARE(OfflineTransfer::readRecords(link, &got), ReadResult::ReadFailed);
    // Records 3 and 4 of the aborted read are still waiting on the pipe.
    QCOMPARE(OfflineTransfer::readRecords(link, &got), ReadResult::Ok);
    QCOMPARE(got.size(), 4);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(uint8_t(got[i].at(3)), uint8_t(i + 1));
}

QTEST_GUILESS_MAIN(TestOfflineTransfer)
#include "tst_offlinetransfer.moc"
