#pragma once
// brantel-dump's output: takes frames from either source, applies the identifier filter
// and the frame count, decodes with the DBC database when there is one, and writes the
// chosen format. Text is gathered in a buffer and handed to the output in large pieces;
// flush() hands it over at once for a live capture.

#include "dbc/DbcDecoder.h"
#include "dump/DumpOptions.h"
#include "monitor/LoggedFrame.h"
#include "monitor/MonitorFormatter.h"

#include <QByteArray>
#include <QIODevice>

class MonitorStatistics;

class FrameWriter {
public:
    // `db` may be null (no decoding). `counts` gets every frame offered, written or not.
    FrameWriter(const DumpOptions &options, const DbcDatabase *db, QIODevice *out,
                MonitorStatistics *counts);

    // Opens the output's file layout (ASC header, pcapng blocks); an ASC file's frame
    // times count from `startMicros`. Once, before the first frame.
    void begin(qint64 startMicros);
    bool begun() const { return m_begun; }

    // Filters, counts and writes a frame; false once no more are wanted (the count is
    // reached or a write failed).
    bool take(const LoggedFrame &frame);
    bool wantsMore() const { return !m_countReached && !m_failed; }

    // Hands the buffered text to the output now (and flushes a file or a pipe).
    void flush();
    // Closes the layout (ASC footer) and flushes; false when any write failed.
    bool finish();
    bool failed() const { return m_failed; }

private:
    void writeOut();

    const DumpOptions &m_options;
    const DbcDatabase *m_db;
    QIODevice *m_out;
    MonitorStatistics *m_counts;
    const MonitorNames m_names;
    QVector<DbcValue> m_values; // reused: decoding allocates nothing per frame
    QByteArray m_buffer;
    qint64 m_start = 0;
    qint64 m_written = 0;
    bool m_begun = false;
    bool m_countReached = false;
    bool m_failed = false;
};
