#include "monitor/MonitorLog.h"

#include <cstring>

namespace {
constexpr quint32 SentBit = 0x80000000u;
} // namespace

CachedRecord CachedRecord::from(const MonitorRecord &r)
{
    CachedRecord c;
    c.timeStamp = r.timeStamp;
    c.idAndDirection = (r.id & ~SentBit) | (r.sent ? SentBit : 0);
    c.flags = quint8((r.extended ? 0x80 : 0) | (r.remote ? 0x40 : 0) | (r.channel ? 0x10 : 0)
                     | (r.dlc & 0x0F));
    std::memcpy(c.data, r.data.constData(), size_t(qMin(r.data.size(), 8)));
    return c;
}

MonitorRecord CachedRecord::record() const
{
    MonitorRecord r;
    r.timeStamp = timeStamp;
    r.id = idAndDirection & ~SentBit;
    r.sent = idAndDirection & SentBit;
    r.extended = flags & 0x80;
    r.remote = flags & 0x40;
    r.channel = (flags & 0x10) ? 1 : 0;
    r.dlc = flags & 0x0F;
    r.data = QByteArray(data, 8);
    return r;
}

const CachedTransfer &TransferCache::at(int i) const
{
    const int k = m_skip + i;
    const int chunk = k / ChunkSize;
    if (chunk < int(m_sealed.size()))
        return (*m_sealed[size_t(chunk)])[size_t(k % ChunkSize)];
    return m_tail[size_t(k - int(m_sealed.size()) * ChunkSize)];
}

void TransferCache::append(CachedTransfer entry)
{
    if (m_tail.empty())
        m_tail.reserve(ChunkSize);
    m_tail.push_back(std::move(entry));
    ++m_size;
    if (int(m_tail.size()) == ChunkSize) {
        m_sealed.push_back(std::make_shared<const Chunk>(std::move(m_tail)));
        m_tail = Chunk();
    }
}

void TransferCache::removeFirst()
{
    if (m_size == 0)
        return;
    --m_size;
    if (++m_skip == ChunkSize && !m_sealed.empty()) {
        m_sealed.pop_front();
        m_skip = 0;
    }
}

void TransferCache::clear() { *this = TransferCache(); }

void MonitorLog::setCacheSize(int size)
{
    m_cacheSize = size < 1 ? 1 : size;
    m_cache.clear();
}

const CachedTransfer &MonitorLog::add(const CachedRecords &records, qint64 hostTimeMs)
{
    CachedTransfer entry;
    entry.hostTimeMs = hostTimeMs;
    entry.firstNumber = m_number + 1;
    entry.displayMode = m_displayMode;
    entry.names = m_names;
    entry.records = records;
    m_number += records.size();
    while (m_cache.size() >= m_cacheSize)
        m_cache.removeFirst();
    m_cache.append(std::move(entry));
    return m_cache.last();
}

void MonitorLog::clear()
{
    m_cache.clear();
    m_number = 0;
}

void MonitorLog::clearCache() { m_cache.clear(); }
