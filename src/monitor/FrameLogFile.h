#pragma once
// The monitor's cache saved as a candump log, a Vector ASC file or a pcapng capture,
// beside the program's own text layout. The file type chosen in the dialog picks the
// format, whatever the name's suffix.

#include "monitor/LoggedFrame.h"
#include "monitor/MonitorLog.h"

#include <QString>
#include <QVector>

enum class MonitorSaveFormat { Text, CandumpLog, Asc, Pcapng };

// The file-dialog filters of the frame formats, translated, each after ";;".
QString frameLogFileFilters();
// The format of the file type chosen in the dialog: a frame format by its pattern, the
// program's own text for its own type (and any other).
MonitorSaveFormat saveFormatForFilter(const QString &selectedFilter);
// The name with the format's suffix added when it has none; the text keeps it as typed.
QString pathForFormat(const QString &path, MonitorSaveFormat format);

// The frames behind the cached lines, with their transfers' arrival times.
QVector<LoggedFrame> loggedFrames(const TransferCache &entries);

// Writes through a temporary file that replaces `path` only when all was written. On
// failure `error` gets the system's text. Text goes to writeMonitorLog instead.
bool writeFrameLog(const QString &path, const TransferCache &entries,
                   MonitorSaveFormat format, QString *error);
