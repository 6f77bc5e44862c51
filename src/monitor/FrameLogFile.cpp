#include "monitor/FrameLogFile.h"

#include "monitor/AscLog.h"
#include "monitor/CandumpLog.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>

MonitorSaveFormat saveFormatForPath(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("log"))
        return MonitorSaveFormat::CandumpLog;
    if (suffix == QLatin1String("asc"))
        return MonitorSaveFormat::Asc;
    return MonitorSaveFormat::Text;
}

QString frameLogFileFilters()
{
    return QStringLiteral(";;") + QCoreApplication::translate("FrameLogFile", "candump日志文件(*.log)")
        + QStringLiteral(";;") + QCoreApplication::translate("FrameLogFile", "Vector ASC文件(*.asc)");
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

    QSaveFile file(path);
    const QByteArray bytes = text.toUtf8();
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
