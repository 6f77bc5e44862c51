#pragma once
// The monitor's running number and display cache: one transfer in, one text block out.
// Each cache entry keeps, beside its text, the records behind it and when the transfer
// reached the host, so other log formats can be written from the same cache.

#include "monitor/MonitorFormatter.h"

#include <QByteArray>
#include <QString>

#include <deque>
#include <memory>
#include <vector>

struct IdFilter;

struct CachedTransfer {
    QString text;        // the transfer's lines joined by "\n"
    QByteArray records;  // the 19-byte records of those lines, back to back
    qint64 hostTimeMs = 0; // arrival at the host, milliseconds since the epoch (UTC)
    qint64 firstNumber = 0; // running number of the first line
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
    void setNames(const MonitorNames &names) { m_names = names; }
    void setDisplayMode(int mode) { m_displayMode = mode; }
    int displayMode() const { return m_displayMode; }
    // Not owned; null shows every frame.
    void setFilter(const IdFilter *filter) { m_filter = filter; }

    // The most transfers the cache holds (at least 1); a change empties the cache.
    void setCacheSize(int size);
    int cacheSize() const { return m_cacheSize; }

    // Formats a transfer. Returns its text block, or an empty string when the transfer
    // is not whole records or the filter hid all of them (then nothing is cached and
    // the running number stays).
    QString addTransfer(const QByteArray &transfer, qint64 hostTimeMs);

    void clear();      // cache and running number
    void clearCache(); // the cache alone
    qint64 runningNumber() const { return m_number; }
    const TransferCache &cache() const { return m_cache; }

private:
    MonitorNames m_names;
    int m_displayMode = DisplayHex;
    const IdFilter *m_filter = nullptr;
    int m_cacheSize = 4096;
    qint64 m_number = 0;
    TransferCache m_cache;
};
