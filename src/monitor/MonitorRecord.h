#pragma once
// One frame report of the adapter's bulk pipe (19 bytes) as a value, and the decoding of
// a whole transfer. Formatting, filtering, caching and every log writer take this type.

#include <QByteArray>
#include <QVector>

struct MonitorRecord {
    static constexpr int Size = 19;
    static constexpr int MaxPerTransfer = 3;

    quint32 timeStamp = 0;  // the device's own units
    quint32 id = 0;         // 31 bits
    bool extended = false;
    bool remote = false;
    bool sent = false;      // direction bit: sent by the device, else received
    int channel = 0;        // 0 or 1
    int dlc = 0;            // as reported, 0 to 15
    QByteArray data;        // all 8 data bytes of the record; show shownLength() of them

    // The data bytes a line shows: at most 8, even when the DLC says more.
    int shownLength() const { return dlc < 8 ? dlc : 8; }
};

// Decodes one 19-byte record; `bytes` must hold at least MonitorRecord::Size bytes.
MonitorRecord decodeMonitorRecord(const char *bytes);

// Decodes a transfer; false (and no records) when its length is not a multiple of 19.
bool decodeTransfer(const QByteArray &transfer, QVector<MonitorRecord> *records);
