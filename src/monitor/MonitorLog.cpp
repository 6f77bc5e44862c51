#include "monitor/MonitorLog.h"

#include "filter/IdFilter.h"

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
    m_cache.append(entry);
    return entry.text;
}

void MonitorLog::clear()
{
    m_cache.clear();
    m_number = 0;
}

void MonitorLog::clearCache() { m_cache.clear(); }
