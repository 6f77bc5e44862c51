#pragma once
// The monitor's running number and display cache. An entry keeps the records of one
// transfer that the filter passed, compactly, with what it takes to make their lines
// again: the display format in force when they arrived, the first running number and
// the arrival time. Text is made only when lines are shown or saved.

#include "monitor/MonitorFormatter.h"
#include "monitor/MonitorRecord.h"

#include <QVarLengthArray>

#include <deque>
#include <memory>
#include <vector>

// A record as the cache keeps it: MonitorRecord's fields without a heap block.
struct CachedRecord {
    quint32 timeStamp = 0;
    quint32 idAndDirection = 0; // the identifier; the top bit set when the device sent it
    quint8 flags = 0;           // extended, remote, channel and DLC, as the device reports them
    char data[8] = {};

    static CachedRecord from(const MonitorRecord &record);
    MonitorRecord record() const;
};

using CachedRecords = QVarLengthArray<CachedRecord, MonitorRecord::MaxPerTransfer>;

// The names in force when a transfer arrived: cached lines keep their language.
using SharedMonitorNames = std::shared_ptr<const MonitorNames>;

struct CachedTransfer {
    qint64 hostTimeMs = 0;        // arrival at the host, milliseconds since the epoch (UTC)
    qint64 firstNumber = 0;       // running number of the first record
    int displayMode = DisplayHex; // the format in force when the transfer arrived
    SharedMonitorNames names;     // the language in force when the transfer arrived
    CachedRecords records;

    QString line(int i) const
    {
        return formatMonitorLine(firstNumber + i, records[i].record(), *names, displayMode);
    }
};

// The display cache: oldest first, bounded by the log. Entries are kept in sealed
// chunks that copies share, so a copy (for a save running on another thread) costs
// next to nothing and never changes when the log goes on.
class TransferCache {
public:
    static constexpr int ChunkSize = 1024;

    int size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    const CachedTransfer &at(int i) const;
    const CachedTransfer &first() const { return at(0); }
    const CachedTransfer &last() const { return at(m_size - 1); }

    void append(CachedTransfer entry);
    void removeFirst();
    void clear();

private:
    using Chunk = std::vector<CachedTransfer>;
    std::deque<std::shared_ptr<const Chunk>> m_sealed; // each holds ChunkSize entries
    Chunk m_tail;
    int m_skip = 0; // entries already dropped from the front of the first chunk
    int m_size = 0;
};

class MonitorLog {
public:
    void setDisplayMode(int mode) { m_displayMode = mode; }
    int displayMode() const { return m_displayMode; }
    // The names of the transfers that arrive from now on.
    void setNames(const MonitorNames &names) { m_names = std::make_shared<const MonitorNames>(names); }
    const SharedMonitorNames &names() const { return m_names; }

    // The most transfers the cache holds (at least 1); a change empties the cache.
    void setCacheSize(int size);
    int cacheSize() const { return m_cacheSize; }

    // Numbers the records of one transfer (those the filter passed, at least one) and
    // caches them as one entry in the display format now in force. Returns the entry.
    const CachedTransfer &add(const CachedRecords &records, qint64 hostTimeMs);

    void clear();      // cache and running number
    void clearCache(); // the cache alone
    qint64 runningNumber() const { return m_number; }
    const TransferCache &cache() const { return m_cache; }

private:
    int m_displayMode = DisplayHex;
    SharedMonitorNames m_names = std::make_shared<const MonitorNames>();
    int m_cacheSize = 4096;
    qint64 m_number = 0;
    TransferCache m_cache;
};
