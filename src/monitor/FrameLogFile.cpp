#include "monitor/FrameLogFile.h"

#include "monitor/AscLog.h"
#include "monitor/CandumpLog.h"
#include "monitor/PcapngLog.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>

namespace {

struct FileType {
    MonitorSaveFormat format;
    const char *filter; // translated in the "FrameLogFile" context
    const char *suffix;
};

const FileType FileTypes[] = {
    {MonitorSaveFormat::CandumpLog, QT_TRANSLATE_NOOP("FrameLogFile", "candump日志文件(*.log)"), "log"},
    {MonitorSaveFormat::Asc, QT_TRANSLATE_NOOP("FrameLogFile", "Vector ASC文件(*.asc)"), "asc"},
    {MonitorSaveFormat::Pcapng, QT_TRANSLATE_NOOP("FrameLogFile", "pcapng文件(*.pcapng)"), "pcapng"},
};

// Through a temporary file that replaces `path` only when all of it was written.
bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    // Unbuffered, so that a short write (a full disk) shows in write()'s count; commit()
    // takes a partial flush of a buffered write for success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(bytes) != bytes.size()) {
        *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

QString frameLogFileFilters()
{
    QString filters;
    for (const FileType &type : FileTypes)
        filters += QStringLiteral(";;") + QCoreApplication::translate("FrameLogFile", type.filter);
    return filters;
}

MonitorSaveFormat saveFormatForFilter(const QString &selectedFilter)
{
    for (const FileType &type : FileTypes) {
        if (selectedFilter.endsWith(QStringLiteral("(*.%1)").arg(QLatin1String(type.suffix))))
            return type.format;
    }
    return MonitorSaveFormat::Text;
}

QString pathForFormat(const QString &path, MonitorSaveFormat format)
{
    if (!QFileInfo(path).suffix().isEmpty())
        return path;
    for (const FileType &type : FileTypes) {
        if (type.format == format)
            return path + QLatin1Char('.') + QLatin1String(type.suffix);
    }
    return path;
}

QVector<LoggedFrame> loggedFrames(const TransferCache &entries)
{
    QVector<LoggedFrame> frames;
    for (int i = 0; i < entries.size(); ++i) {
        const CachedTransfer &entry = entries.at(i);
        for (const CachedRecord &r : entry.records)
            frames.append({entry.hostTimeMs * 1000, r.record()});
    }
    return frames;
}

bool writeFrameLog(const QString &path, const TransferCache &entries,
                   MonitorSaveFormat format, QString *error)
{
    const QVector<LoggedFrame> frames = loggedFrames(entries);
    if (format == MonitorSaveFormat::Pcapng)
        return writeWholeFile(path, PcapngLog::file(frames), error);
    QString text;
    const qint64 start = frames.isEmpty() ? 0 : frames.first().hostMicros;
    if (format == MonitorSaveFormat::Asc)
        text += AscLog::header(start);
    for (const LoggedFrame &f : frames) {
        text += format == MonitorSaveFormat::Asc ? AscLog::formatLine(f, start)
                                                 : CandumpLog::formatLine(f);
        text += QLatin1Char('\n');
    }
    if (format == MonitorSaveFormat::Asc)
        text += AscLog::footer();
    return writeWholeFile(path, text.toUtf8(), error);
}
