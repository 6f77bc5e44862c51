#include "offline/OfflineTransfer.h"

#include "device/Exchange.h"

namespace OfflineTransfer {

namespace {
constexpr int CountOffset = 4;

WriteResult writeOne(CWrapWinUSB &link, const QByteArray &request)
{
    const ExchangeResult r = Protocol::exchange(link, CommandId::WriteOfflineFrame, request);
    if (r.atRequest)
        return WriteResult::WriteFailed;
    return r.passed ? WriteResult::Ok : WriteResult::Refused;
}
} // namespace

ReadResult readRecords(CWrapWinUSB &link, QVector<QByteArray> *records)
{
    const ExchangeResult first =
        Protocol::exchange(link, CommandId::ReadOfflineData, Protocol::readOfflineData());
    if (first.atRequest)
        return ReadResult::RequestFailed;
    if (!first.passed)
        return ReadResult::ReadFailed;
    const int count = uint8_t(first.reply.at(CountOffset));
    if (count == 0)
        return ReadResult::NoData;

    // The rest follow without further requests; a device that announces more than it
    // sends ends here after the read time-out.
    QVector<QByteArray> received{first.reply};
    received.reserve(count);
    while (received.size() < count) {
        const ExchangeResult next = Protocol::nextReply(link, CommandId::ReadOfflineData);
        if (!next.passed)
            return ReadResult::ReadFailed;
        received.append(next.reply);
    }
    *records = received;
    return ReadResult::Ok;
}

WriteResult writeRecords(CWrapWinUSB &link, const QVector<QByteArray> &records)
{
    if (records.isEmpty())
        return writeOne(link, Protocol::clearOfflineFrames());
    for (const QByteArray &record : records) {
        const WriteResult r = writeOne(link, Protocol::writeOfflineFrame(record));
        if (r != WriteResult::Ok)
            return r;
    }
    return WriteResult::Ok;
}

} // namespace OfflineTransfer
