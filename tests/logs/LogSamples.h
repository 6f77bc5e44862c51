#pragma once
// Frames that exercise every field of the log layouts: both identifier widths at their
// limits, remote frames with and without a DLC, both channels and directions, empty and
// full data, a DLC above 8, and times on and just past second boundaries.

#include "monitor/LoggedFrame.h"

#include <QVector>

struct LogSample {
    const char *name;
    LoggedFrame frame;
};

// `flags` holds "x" for an extended identifier, "r" for a remote frame, "s" for sent.
inline LoggedFrame logSample(qint64 micros, int channel, quint32 id, const char *flags, int dlc,
                             const char *hex)
{
    const QByteArray data = QByteArray::fromHex(hex).leftJustified(8, '\0');
    const QByteArray f(flags);
    return {micros, {0, id, f.contains('x'), f.contains('r'), f.contains('s'), channel, dlc, data}};
}

// In time order; the first one starts the measurement of an ASC file.
inline QVector<LogSample> logSamples()
{
    const qint64 t0 = 1765000000123456; // a December 2025 afternoon
    return {
        {"standard data, received, channel 0", logSample(t0, 0, 0x123, "", 8, "0102030405060708")},
        {"extended data, sent, channel 1", logSample(t0 + 1, 1, 0x18FEF100, "xs", 3, "ff00a5")},
        {"largest standard identifier", logSample(t0 + 876544, 0, 0x7FF, "", 1, "7f")},
        {"largest extended identifier", logSample(t0 + 1000000, 1, 0x1FFFFFFF, "x", 2, "0001")},
        {"extended identifier 0", logSample(t0 + 1000001, 0, 0, "xs", 0, "")},
        {"standard remote without DLC", logSample(t0 + 2000000, 1, 0x555, "r", 0, "")},
        {"extended remote with DLC 4, sent", logSample(t0 + 2500000, 0, 0xABCDEF, "xrs", 4, "")},
        {"data frame with DLC 0", logSample(t0 + 3600000000, 1, 0x001, "", 0, "")},
        {"DLC above 8 on eight bytes",
         logSample(t0 + 3600000002, 0, 0x100, "", 12, "a1a2a3a4a5a6a7a8")},
        {"remote with DLC above 8", logSample(t0 + 3600000003, 1, 0x10000, "xrs", 15, "")},
    };
}
