// Writes the classic sample frames as a candump log, an ASC file and a plain listing of
// what they hold, for the check by other programs' readers (check_logs.py).

#include "LogSamples.h"
#include "monitor/AscLog.h"
#include "monitor/CandumpLog.h"

#include <QDir>
#include <QFile>
#include <QPair>

int main(int argc, char **argv)
{
    if (argc != 2) // usage: write_log_samples DIR
        return 2;
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    const QVector<LogSample> samples = logSamples();
    const qint64 start = samples.first().frame.hostMicros;
    QString log, listing, asc = AscLog::header(start);
    for (const LogSample &s : samples) {
        if (s.frame.record.dlc > 8) // other readers know classic frames only
            continue;
        const MonitorRecord &r = s.frame.record;
        log += CandumpLog::formatLine(s.frame) + QLatin1Char('\n');
        asc += AscLog::formatLine(s.frame, start) + QLatin1Char('\n');
        // time channel id extended remote received dlc, in decimal, then the data in hex
        const QByteArray data = r.remote ? QByteArray() : r.data.left(r.shownLength());
        listing += QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8\n")
                       .arg(s.frame.hostMicros).arg(r.channel).arg(r.id).arg(int(r.extended))
                       .arg(int(r.remote)).arg(int(!r.sent)).arg(r.dlc)
                       .arg(QString::fromLatin1(data.toHex()));
    }
    asc += AscLog::footer();
    const QPair<const char *, QString> files[] = {
        {"sample.log", log}, {"sample.asc", asc}, {"expected.txt", listing}};
    for (const auto &[name, text] : files) {
        QFile file(dir.filePath(QLatin1String(name)));
        const QByteArray bytes = text.toUtf8();
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
            return 1;
    }
    return 0;
}
