#include "dump/FrameWriter.h"

#include "dbc/DbcText.h"
#include "monitor/AscLog.h"
#include "monitor/CandumpLog.h"
#include "monitor/JsonLines.h"
#include "monitor/MonitorStatistics.h"
#include "monitor/PcapngLog.h"

#include <QFile>

namespace {
// Large enough that a pipe or file sees few writes, small enough to stay in the cache.
constexpr int BufferBytes = 64 * 1024;
} // namespace

FrameWriter::FrameWriter(const DumpOptions &options, const DbcDatabase *db, QIODevice *out,
                         MonitorStatistics *counts)
    : m_options(options), m_db(db), m_out(out), m_counts(counts),
      m_names(translatedMonitorNames())
{
    m_buffer.reserve(BufferBytes + 4096);
}

void FrameWriter::begin(qint64 startMicros)
{
    m_begun = true;
    m_start = startMicros;
    if (m_options.format == DumpOptions::Format::Asc)
        m_buffer += AscLog::header(startMicros).toUtf8();
    else if (m_options.format == DumpOptions::Format::Pcapng)
        m_buffer += PcapngLog::header();
}

bool FrameWriter::take(const LoggedFrame &frame)
{
    if (!wantsMore())
        return false;
    const MonitorRecord &r = frame.record;
    const bool shown = m_options.accepts(r.id);
    m_counts->addFrame(frame.hostMicros, r.channel, shown);
    if (!shown)
        return true;

    const DbcMessage *message = m_db ? decodeDbcFrame(*m_db, r, &m_values) : nullptr;
    switch (m_options.format) {
    case DumpOptions::Format::Log:
        m_buffer += CandumpLog::formatLine(frame).toUtf8() + '\n';
        break;
    case DumpOptions::Format::Candump:
        m_buffer += CandumpLog::formatConsoleLine(frame).toUtf8() + '\n';
        if (message)
            m_buffer += dbcConsoleLine(*message, m_values).toUtf8() + '\n';
        break;
    case DumpOptions::Format::Asc:
        m_buffer += AscLog::formatLine(frame, m_start).toUtf8() + '\n';
        break;
    case DumpOptions::Format::Text:
        m_buffer += formatMonitorLine(m_written + 1, r, m_names, DisplayHex).toUtf8() + '\n';
        break;
    case DumpOptions::Format::Pcapng:
        m_buffer += PcapngLog::packet(frame);
        break;
    case DumpOptions::Format::Json:
        JsonLines::appendFrame(&m_buffer, frame, message, m_values);
        break;
    }
    if (m_buffer.size() >= BufferBytes)
        writeOut();
    ++m_written; // numbers the text format's lines, with or without a count
    m_countReached = m_options.count > 0 && m_written >= m_options.count;
    return wantsMore();
}

void FrameWriter::writeOut()
{
    if (!m_failed && !m_buffer.isEmpty() && m_out->write(m_buffer) != m_buffer.size())
        m_failed = true;
    m_buffer.clear(); // keeps its capacity
}

void FrameWriter::flush()
{
    writeOut();
    if (auto *f = qobject_cast<QFile *>(m_out))
        f->flush(); // for a console or a pipe: lines appear as they arrive
}

bool FrameWriter::finish()
{
    if (m_options.format == DumpOptions::Format::Asc)
        m_buffer += AscLog::footer().toUtf8();
    writeOut();
    if (auto *f = qobject_cast<QFile *>(m_out))
        m_failed = !f->flush() || m_failed;
    return !m_failed;
}
