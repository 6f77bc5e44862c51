#include "offline/OfflineTransfer.h"

#include "device/Protocol.h"

namespace OfflineTransfer {

using namespace Protocol;

namespace {
constexpr int CountOffset = 4;

WriteResult writeOne(CWrapWinUSB &link, const QByteArray &request)
{
    if (!sendRequest(link, CommandId::WriteOfflineFrame, request))
        return WriteResult::WriteFailed;
    if (!readReply(link, CommandId::WriteOfflineFrame, nullptr))
        return WriteResult::Refused;
    return WriteResult::Ok;
}
} // namespace

ReadResult readRecords(CWrapWinUSB &link, QVector<QByteArray> *records)
{
    if (!sendRequest(link, CommandId::ReadOfflineData, Protocol::readOfflineData()))
        return ReadResult::RequestFailed;
    QByteArray first;
    if (!readReply(link, CommandId::ReadOfflineData, &first))
        return ReadResult::ReadFailed;
    const int count = uint8_t(first.at(CountOffset));
    if (count == 0)
        return ReadResult::NoData;

    // The rest follow without further requests; a device that announces more than it
    // sends ends here after the read time-out.
    QVector<QByteArray> received{first};
    received.reserve(count);
    while (received.size() < count) {
        QByteArray next;
        if (!readReply(link, CommandId::ReadOfflineData, &next))
            return ReadResult::ReadFailed;
        received.append(next);
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
