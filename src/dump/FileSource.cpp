#include "dump/FileSource.h"

#include "dump/DumpCapture.h"
#include "dump/FrameWriter.h"
#include "monitor/CandumpLog.h"

#include <QDateTime>

#include <cstring>

namespace {
// How often a long conversion looks at the stop flag.
constexpr int StopCheckLines = 4096;
constexpr int BlockBytes = 1 << 20;

bool blank(const char *begin, const char *end)
{
    for (; begin < end; ++begin) {
        if (*begin != ' ' && (*begin < '\t' || *begin > '\r'))
            return false;
    }
    return true;
}
} // namespace

bool FileSource::nextLine(const char **begin, const char **end)
{
    if (!m_repeat) {
        while (true) {
            const char *start = m_block.constData() + m_pos;
            const char *stop = m_block.constData() + m_block.size();
            const char *newline =
                static_cast<const char *>(std::memchr(start, '\n', size_t(stop - start)));
            // A "line" of a megabyte is no frame: it is handed out (and refused) rather
            // than read on into memory.
            if (newline || (m_eof && start < stop) || stop - start >= BlockBytes) {
                m_lineBegin = m_pos;
                m_lineEnd = int((newline ? newline : stop) - m_block.constData());
                m_pos = newline ? m_lineEnd + 1 : m_lineEnd;
                ++m_lineNumber;
                break;
            }
            if (m_eof)
                return false;
            // Keep the unfinished line and read the next block after it.
            m_block.remove(0, m_pos);
            m_pos = 0;
            const int kept = m_block.size();
            m_block.resize(kept + BlockBytes);
            const qint64 got = m_file.read(m_block.data() + kept, BlockBytes);
            m_block.resize(kept + int(qMax<qint64>(got, 0)));
            m_eof = got <= 0;
        }
    }
    m_repeat = false;
    *begin = m_block.constData() + m_lineBegin;
    *end = m_block.constData() + m_lineEnd;
    if (*end > *begin && (*end)[-1] == '\r')
        --*end;
    return true;
}

QString FileSource::where() const
{
    return QStringLiteral("%1:%2").arg(m_file.fileName()).arg(m_lineNumber);
}

int FileSource::open(QString *error)
{
    if (!m_file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(m_file.fileName(), m_file.errorString());
        return DumpExit::Failed;
    }
    const char *begin;
    const char *end;
    while (nextLine(&begin, &end)) {
        while (begin < end && blank(begin, begin + 1))
            ++begin;
        if (begin == end)
            continue;
        const QByteArray start = QByteArray::fromRawData(begin, int(end - begin));
        if (start.startsWith('('))
            m_layout = Layout::Candump;
        else if (start.left(4).toLower() == "date")
            m_layout = Layout::Asc;
        else {
            *error = QStringLiteral("%1: neither a candump log frame nor the \"date\" line "
                                    "of an ASC file")
                         .arg(where());
            return DumpExit::Failed;
        }
        m_repeat = true;
        break;
    }
    // A file of blank lines is an empty candump log.
    return DumpExit::Ok;
}

int FileSource::run(FrameWriter &writer, QString *error)
{
    const bool asc = m_layout == Layout::Asc;
    const char *begin;
    const char *end;
    while (writer.wantsMore() && nextLine(&begin, &end)) {
        if (m_lineNumber % StopCheckLines == 0 && DumpCapture::stopRequested()) {
            *error = QStringLiteral("the conversion was interrupted at %1").arg(where());
            return DumpExit::Failed;
        }
        LoggedFrame frame;
        if (asc) {
            QString why;
            const AscLog::Reader::Line kind =
                m_asc.read(QString::fromUtf8(begin, int(end - begin)), &frame, &why);
            if (kind == AscLog::Reader::Line::Other)
                continue;
            if (kind == AscLog::Reader::Line::Bad) {
                *error = QStringLiteral("%1: %2").arg(where(), why);
                return DumpExit::Failed;
            }
        } else if (!CandumpLog::parseLine(begin, end, &frame)) {
            if (blank(begin, end))
                continue;
            *error = QStringLiteral("%1: not a candump log frame of can0 or can1").arg(where());
            return DumpExit::Failed;
        }
        // An ASC file's frames count from its start; a candump log's from its first frame.
        if (!writer.begun())
            writer.begin(asc ? m_asc.startMicros() : frame.hostMicros);
        writer.take(frame);
    }
    if (m_file.error() != QFile::NoError) {
        *error = QStringLiteral("cannot read %1: %2").arg(m_file.fileName(), m_file.errorString());
        return DumpExit::Failed;
    }
    if (!writer.begun()) // no frame at all: an ASC header is dated now
        writer.begin(asc && m_asc.dated() ? m_asc.startMicros()
                                          : QDateTime::currentMSecsSinceEpoch() * 1000);
    return DumpExit::Ok;
}
