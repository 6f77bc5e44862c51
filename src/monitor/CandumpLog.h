#pragma once
// The candump log file layout that canplayer, log2asc and python-can read:
//   (1700000000.000100) can0 123#0102 R
// one interface per channel (can0, can1), three hex digits for a standard identifier
// and eight for an extended one, "R" after "#" for a remote frame, and the direction
// marker " R" (received) or " T" (sent by the adapter). A DLC above 8 follows the eight
// data bytes (or the remote "R8") as "_" and one hex digit.

#include "monitor/LoggedFrame.h"

#include <QString>
#include <QVector>

namespace CandumpLog {

// One line, without the line end.
QString formatLine(const LoggedFrame &frame);
// Parses one line (its end optional); false for anything that is not a frame of this
// layout. The bytes form reads a line straight from a file, without a QString.
bool parseLine(const QString &line, LoggedFrame *frame);
bool parseLine(const char *begin, const char *end, LoggedFrame *frame);
// Every frame line of a text; *badLines counts the non-empty lines that were not.
QVector<LoggedFrame> parse(const QString &text, int *badLines = nullptr);

// candump's console layout with absolute time, for watching:
//   (1700000000.000100)  can0  123   [2]  01 02
QString formatConsoleLine(const LoggedFrame &frame);

} // namespace CandumpLog
