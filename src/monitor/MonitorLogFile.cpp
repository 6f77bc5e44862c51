#include "monitor/MonitorLogFile.h"

#include <QSaveFile>
#include <QTextStream>

bool writeMonitorLog(const QString &path, const TransferCache &entries, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        *error = file.errorString();
        return false;
    }
    QTextStream out(&file); // the locale's encoding, as every text file of the program
    for (int i = 0; i < entries.size(); ++i)
        out << entries.at(i).text << '\n';
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
