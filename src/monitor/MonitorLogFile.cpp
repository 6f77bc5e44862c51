#include "monitor/MonitorLogFile.h"

#include <QSaveFile>
#include <QTextStream>

namespace {
constexpr int ChunkChars = 64 * 1024;
} // namespace

bool writeMonitorLog(const QString &path, const TransferCache &entries, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        *error = file.errorString();
        return false;
    }
    QTextStream out(&file); // the locale's encoding, as every text file of the program
    QString chunk; // lines go to the stream a few hundred at a time
    chunk.reserve(ChunkChars + 1024);
    for (int i = 0; i < entries.size(); ++i) {
        const CachedTransfer &entry = entries.at(i);
        for (int k = 0; k < entry.records.size(); ++k) {
            appendMonitorLine(chunk, entry.firstNumber + k, entry.records[k].record(), *entry.names,
                              entry.displayMode);
            chunk += QLatin1Char('\n');
        }
        if (chunk.size() >= ChunkChars) {
            out << chunk;
            chunk.resize(0);
        }
    }
    out << chunk;
    out.flush();
    if (out.status() != QTextStream::Ok || file.error() != QFileDevice::NoError) {
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
