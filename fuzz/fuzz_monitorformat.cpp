// libFuzzer target: arbitrary bytes as bulk transfers through a monitor session. The
// first byte picks the display mode, the identifier filter and the cache size, the next
// eight one filter range, the rest is split into transfers of up to 64 bytes. A transfer
// that is not whole records adds nothing; one that is takes one number per record the
// filter passes, and every cached line can be made.

#include "filter/IdFilter.h"
#include "monitor/MonitorSession.h"

#include <QtEndian>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 9)
        return 0;
    const uint8_t control = data[0];
    IdFilter filter;
    filter.mode = control & 0x03;
    filter.ranges.append({qint32(qFromBigEndian<quint32>(data + 1)),
                          qint32(qFromBigEndian<quint32>(data + 5))});
    MonitorNames names;
    names.frameFormat[0] = QStringLiteral("D");
    names.frameFormat[1] = QStringLiteral("R");
    names.frameType[0] = QStringLiteral("S");
    names.frameType[1] = QStringLiteral("E");
    names.direction[0] = QStringLiteral("Rx");
    names.direction[1] = QStringLiteral("Tx");

    MonitorSession session(nullptr);
    session.setNames(names);
    session.setDisplayMode((control >> 2) & 0x01);
    session.setIdFilter(filter);
    session.setCacheSize(1 + ((control >> 3) & 0x03));

    for (size_t at = 9; at < size;) {
        const int length = int(qMin<size_t>(size - at, 64));
        const QByteArray transfer(reinterpret_cast<const char *>(data + at), length);
        at += size_t(length);
        const qint64 before = session.log().runningNumber();
        session.addTransfers({{transfer, 0}});

        QVector<MonitorRecord> records;
        int shown = 0;
        if (decodeTransfer(transfer, &records)) {
            for (const MonitorRecord &r : records)
                shown += filter.accepts(qint32(r.id)) ? 1 : 0;
        }
        const TransferCache &cache = session.log().cache();
        if (session.log().runningNumber() != before + shown || cache.size() > session.log().cacheSize())
            std::abort();
        if (shown && cache.last().records.size() != shown)
            std::abort();
        for (int i = 0; shown && i < shown; ++i)
            cache.last().line(i);
    }
    session.showPendingLines();
    return 0;
}
