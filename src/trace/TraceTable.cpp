#include "trace/TraceTable.h"

#include "trace/PlotBuffer.h"

#include <cstring>

quint64 TraceTable::key(int channel, quint32 id, bool extended)
{
    // Identifiers have 31 bits: bit 31 is free for the extended flag.
    return quint64(quint32(channel)) << 32 | (extended ? 0x80000000u : 0u) | (id & 0x7FFFFFFFu);
}

void TraceTable::setDatabase(const DbcDatabase *db)
{
    m_db = db;
    for (int i = 0; i < m_rows.size(); ++i) {
        Entry &e = m_rows[i];
        e.row.message = db ? db->message(e.row.id, e.row.extended) : nullptr;
        e.row.values.clear();
        e.plots.clear();
        e.stale = true;
        if (!e.dirty) {
            e.dirty = true;
            m_dirty.append(i);
        }
    }
}

void TraceTable::addFrame(const LoggedFrame &frame)
{
    const MonitorRecord &r = frame.record;
    const quint64 k = key(r.channel, r.id, r.extended);
    auto found = m_index.constFind(k);
    int index;
    if (found == m_index.constEnd()) {
        if (m_rows.size() >= MaxRows) {
            if (m_dropped++ == 0)
                qWarning("Signal trace: %d rows; frames of further identifiers are not shown", MaxRows);
            return;
        }
        index = m_rows.size();
        m_index.insert(k, index);
        Entry e;
        e.row.channel = r.channel;
        e.row.id = r.id;
        e.row.extended = r.extended;
        e.row.message = m_db ? m_db->message(r.id, r.extended) : nullptr;
        e.row.firstMicros = frame.hostMicros;
        m_rows.append(std::move(e));
    } else {
        index = found.value();
    }
    Entry &e = m_rows[index];
    TraceRow &row = e.row;
    if (row.count > 0)
        row.lastCycleMicros = frame.hostMicros - row.lastMicros;
    ++row.count;
    row.lastMicros = frame.hostMicros;
    row.dlc = r.dlc;
    row.remote = r.remote;
    // A remote frame carries no data: the last data and its signals stay.
    if (!r.remote) {
        // Copied into the row's own bytes: no allocation per frame.
        const int n = qMin(r.shownLength(), r.data.size());
        row.data.resize(n);
        std::memcpy(row.data.data(), r.data.constData(), size_t(n));
        e.stale = true;
        if (!e.plots.isEmpty()) {
            decode(e);
            for (const Plot &p : qAsConst(e.plots)) {
                for (const DbcValue &v : qAsConst(row.values)) {
                    if (v.signal == p.signal) {
                        p.buffer->add(frame.hostMicros, v.physical);
                        break;
                    }
                }
            }
        }
    }
    if (!e.dirty) {
        e.dirty = true;
        m_dirty.append(index);
    }
}

void TraceTable::addFrames(const QVector<LoggedFrame> &frames)
{
    for (const LoggedFrame &f : frames)
        addFrame(f);
}

void TraceTable::clear()
{
    m_rows.clear();
    m_index.clear();
    m_dirty.clear();
    m_dropped = 0;
}

void TraceTable::decode(Entry &e)
{
    if (!e.stale)
        return;
    e.stale = false;
    if (e.row.message)
        decodeDbcMessage(*e.row.message, e.row.data.constData(), e.row.data.size(), &e.row.values);
    else
        e.row.values.clear();
}

QVector<int> TraceTable::takeDirtyRows()
{
    QVector<int> dirty;
    dirty.swap(m_dirty);
    for (int index : qAsConst(dirty)) {
        Entry &e = m_rows[index];
        decode(e);
        e.dirty = false;
    }
    return dirty;
}

void TraceTable::setPlot(int row, const DbcSignal *signal, PlotBuffer *buffer)
{
    QVector<Plot> &plots = m_rows[row].plots;
    for (int i = 0; i < plots.size(); ++i) {
        if (plots[i].signal == signal) {
            plots.remove(i);
            break;
        }
    }
    if (buffer)
        plots.append({signal, buffer});
}
