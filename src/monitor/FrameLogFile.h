#pragma once
// The monitor's cache saved as a candump log or a Vector ASC file, beside the program's
// own text layout. The file's suffix chooses the format.

#include "monitor/LoggedFrame.h"
#include "monitor/MonitorLog.h"

#include <QString>
#include <QVector>

enum class MonitorSaveFormat { Text, CandumpLog, Asc };

// ".log" a candump log, ".asc" an ASC file, anything else the program's own text.
MonitorSaveFormat saveFormatForPath(const QString &path);

// The file-dialog filters of the two log formats, translated, each after ";;".
QString frameLogFileFilters();

// The frames behind the cached lines, with their transfers' arrival times.
QVector<LoggedFrame> loggedFrames(const TransferCache &entries);

// Writes through a temporary file that replaces `path` only when all was written. On
// failure `error` gets the system's text. Text goes to writeMonitorLog instead.
bool writeFrameLog(const QString &path, const TransferCache &entries,
                   MonitorSaveFormat format, QString *error);
