#pragma once
// Vector ASC log files: a header naming the measurement start, then one line per frame
//    0.000100 1  123             Rx   d 2 01 02
// time in seconds since the start, channel counted from 1, identifier in hex with "x"
// for an extended one, direction, "d" or "r", DLC and the data bytes.

#include "monitor/LoggedFrame.h"

#include <QString>
#include <QVector>

namespace AscLog {

// The header dates the start to the millisecond; frame times count from that instant,
// so the start is the given time with its sub-millisecond part dropped.
qint64 measurementStart(qint64 hostMicros);

// Header lines for a measurement starting at `startMicros`, each ending in "\n".
QString header(qint64 startMicros);
// One frame line, without the line end.
QString formatLine(const LoggedFrame &frame, qint64 startMicros);
QString footer();

// Reads a whole file written as above; false when its header has no usable date.
// *badLines counts the lines inside the trigger block that are not frames or events.
bool parse(const QString &text, QVector<LoggedFrame> *frames, int *badLines = nullptr);

} // namespace AscLog
