#include "dump/FileSource.h"

#include "dump/DumpCapture.h"
#include "dump/FrameWriter.h"
#include "monitor/CandumpLog.h"

#include <QDateTime>

namespace {
// How often a long conversion looks at the stop flag.
constexpr int StopCheckLines = 4096;
} // namespace

bool FileSource::nextLine(QString *line)
{
    if (m_hasPending) {
        m_hasPending = false;
        *line = m_pending;
        return true;
    }
    if (m_file.atEnd())
        return false;
    QByteArray bytes = m_file.readLine();
    while (bytes.endsWith('\n') || bytes.endsWith('\r'))
        bytes.chop(1);
    *line = QString::fromUtf8(bytes);
    ++m_lineNumber;
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
    QString line;
    while (nextLine(&line)) {
        const QString text = line.trimmed();
        if (text.isEmpty())
            continue;
        if (text.startsWith(QLatin1Char('(')))
            m_layout = Layout::Candump;
        else if (text.startsWith(QLatin1String("date"), Qt::CaseInsensitive))
            m_layout = Layout::Asc;
        else {
            *error = QStringLiteral("%1: neither a candump log frame nor the \"date\" line "
                                    "of an ASC file")
                         .arg(where());
            return DumpExit::Failed;
        }
        m_pending = line;
        m_hasPending = true;
        break;
    }
    // A file of blank lines is an empty candump log.
    return DumpExit::Ok;
}

int FileSource::run(FrameWriter &writer, QString *error)
{
    const bool asc = m_layout == Layout::Asc;
    QString line;
    while (writer.wantsMore() && nextLine(&line)) {
        if (m_lineNumber % StopCheckLines == 0 && DumpCapture::stopRequested()) {
            *error = QStringLiteral("the conversion was interrupted at %1").arg(where());
            return DumpExit::Failed;
        }
        LoggedFrame frame;
        if (asc) {
            QString why;
            const AscLog::Reader::Line kind = m_asc.read(line, &frame, &why);
            if (kind == AscLog::Reader::Line::Other)
                continue;
            if (kind == AscLog::Reader::Line::Bad) {
                *error = QStringLiteral("%1: %2").arg(where(), why);
                return DumpExit::Failed;
            }
        } else if (!CandumpLog::parseLine(line, &frame)) {
            if (line.trimmed().isEmpty())
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
