// libFuzzer target: arbitrary bytes as bulk transfers through the monitor log. The first
// byte picks the display mode and the identifier filter, the next eight one filter range,
// the rest is split into transfers of up to 64 bytes. A transfer that is not whole
// records adds nothing; one that is adds one numbered line per record it shows.

#include "filter/IdFilter.h"
#include "monitor/MonitorLog.h"
#include "monitor/MonitorRecord.h"

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

    MonitorLog log;
    log.setNames(names);
    log.setDisplayMode((control >> 2) & 0x01);
    log.setFilter(&filter);
    log.setCacheSize(1 + ((control >> 3) & 0x03));

    for (size_t at = 9; at < size;) {
        const int length = int(qMin<size_t>(size - at, 64));
        const QByteArray transfer(reinterpret_cast<const char *>(data + at), length);
        at += size_t(length);
        const qint64 before = log.runningNumber();
        const QString text = log.addTransfer(transfer, 0);

        QVector<MonitorRecord> records;
        int shown = 0;
        if (decodeTransfer(transfer, &records)) {
            for (const MonitorRecord &r : records)
                shown += filter.accepts(qint32(r.id)) ? 1 : 0;
        }
        const int lines = text.isEmpty() ? 0 : text.count(QLatin1Char('\n')) + 1;
        if (lines != shown || log.runningNumber() != before + shown)
            std::abort();
        if (log.cache().size() > log.cacheSize())
            std::abort();
        for (const MonitorRecord &r : records)
            formatMonitorLine(Q_INT64_C(9223372036854775807), r, names, log.displayMode());
    }
    return 0;
}
