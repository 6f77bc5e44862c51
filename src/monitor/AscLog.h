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

// Reads a file line by line, so a long capture is converted without holding it whole.
// Besides our own layout it reads the files python-can and log2asc write: a 24-hour date
// without fraction, no trigger block, and a "Begin Triggerblock" date that, as the start
// of the measurement, wins over the "date" line. Error frames and events are skipped.
// Lines that would be misread are refused: decimal identifiers, relative time stamps,
// CAN FD frames, a frame before any date, and inside the trigger block anything that is
// neither a frame nor an event.
class Reader {
public:
    enum class Line { Frame, Other, Bad };

    // One line (its end optional). For Bad, *why (if given) says what is wrong.
    Line read(const QString &line, LoggedFrame *frame, QString *why = nullptr);
    bool dated() const { return m_dated; }
    qint64 startMicros() const { return m_start; }

private:
    qint64 m_start = 0;
    bool m_dated = false;
    bool m_inBlock = false;
};

// Reads a whole text with Reader; false when it has no usable date.
// *badLines counts the lines Reader refused.
bool parse(const QString &text, QVector<LoggedFrame> *frames, int *badLines = nullptr);

} // namespace AscLog
