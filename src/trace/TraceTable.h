#pragma once
// The trace window's rows as plain values: one per (channel, identifier, extended) with the
// message the database names for it, how often and how regularly it came, its last data
// and the signals decoded from them. Fed with the frames the monitor shows. Rows are kept
// in the order they first appeared, so a row's index stays valid until clear().
//
// Decoding is done where it is needed: a row's signals once per refresh from its last data
// (takeDirtyRows()), and every frame of a row only while one of its signals is plotted, so
// that a large database costs nothing per frame for messages nobody plots.

#include "dbc/DbcDecoder.h"
#include "monitor/LoggedFrame.h"

#include <QHash>
#include <QVector>

class PlotBuffer;

struct TraceRow {
    int channel = 0;
    quint32 id = 0;
    bool extended = false;
    const DbcMessage *message = nullptr;  // null: the database does not describe it
    qint64 count = 0;
    qint64 firstMicros = 0;
    qint64 lastMicros = 0;
    qint64 lastCycleMicros = -1;  // between the last two frames; -1 after the first
    int dlc = 0;
    bool remote = false;
    QByteArray data;            // the data bytes the last data frame carried (at most 8)
    QVector<DbcValue> values;   // decoded from `data`: the signals of the last data frame

    // The mean interval, total span over the intervals; -1 before the second frame.
    double averageCycleMs() const
    {
        return count > 1 ? double(lastMicros - firstMicros) / 1000.0 / double(count - 1) : -1;
    }
    double lastCycleMs() const { return lastCycleMicros < 0 ? -1 : lastCycleMicros / 1000.0; }
    // Sorting order of the view: channel, then identifier, standard before extended.
    bool operator<(const TraceRow &o) const
    {
        if (channel != o.channel)
            return channel < o.channel;
        return id != o.id ? id < o.id : extended < o.extended;
    }
};

class TraceTable {
public:
    // A bus carries a few thousand identifiers at most; a flood of new ones (a fault, random
    // extended identifiers) must not grow the table without bound. Frames of identifiers
    // beyond this many rows are not shown (a warning is logged once).
    static constexpr int MaxRows = 10000;

    // Not owned and kept for as long as it is set; null decodes nothing. Every row is
    // matched again, its values are decoded afresh at the next refresh, and its plots end
    // (they point into the old database).
    void setDatabase(const DbcDatabase *db);
    const DbcDatabase *database() const { return m_db; }

    void addFrame(const LoggedFrame &frame);
    void addFrames(const QVector<LoggedFrame> &frames);
    void clear();

    int rowCount() const { return m_rows.size(); }
    const TraceRow &row(int index) const { return m_rows.at(index).row; }
    qint64 droppedFrames() const { return m_dropped; }

    // The rows changed since the last call (each once, in the order they first changed),
    // their values brought up to date.
    QVector<int> takeDirtyRows();

    // Hands every value `signal` takes in the given row from now on to `buffer` (not
    // owned); a null buffer ends it.
    void setPlot(int row, const DbcSignal *signal, PlotBuffer *buffer);

private:
    struct Plot {
        const DbcSignal *signal;
        PlotBuffer *buffer;
    };
    struct Entry {
        TraceRow row;
        bool dirty = false;
        bool stale = false;  // `values` not yet decoded from `data`
        QVector<Plot> plots;
    };
    static quint64 key(int channel, quint32 id, bool extended);
    void decode(Entry &e);

    const DbcDatabase *m_db = nullptr;
    QVector<Entry> m_rows;
    QHash<quint64, int> m_index;
    QVector<int> m_dirty;
    qint64 m_dropped = 0;
};
