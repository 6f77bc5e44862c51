#include "monitor/MonitorLog.h"

#include "filter/IdFilter.h"

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

QString MonitorLog::addTransfer(const QByteArray &transfer, qint64 hostTimeMs)
{
    if (transfer.size() % MonitorRecord::Size != 0)
        return QString();
    CachedTransfer entry;
    entry.hostTimeMs = hostTimeMs;
    for (int at = 0; at < transfer.size(); at += MonitorRecord::Size) {
        const char *bytes = transfer.constData() + at;
        const MonitorRecord record = decodeMonitorRecord(bytes);
        if (m_filter && !m_filter->accepts(qint32(record.id)))
            continue;
        ++m_number;
        if (entry.records.isEmpty())
            entry.firstNumber = m_number;
        else
            entry.text += QLatin1Char('\n');
        entry.text += formatMonitorLine(m_number, record, m_names, m_displayMode);
        entry.records.append(bytes, MonitorRecord::Size);
    }
    if (entry.records.isEmpty())
        return QString();
    while (m_cache.size() >= m_cacheSize)
        m_cache.removeFirst();
    const QString text = entry.text;
    m_cache.append(std::move(entry));
    return text;
}

void MonitorLog::clear()
{
    m_cache.clear();
    m_number = 0;
}

void MonitorLog::clearCache() { m_cache.clear(); }
