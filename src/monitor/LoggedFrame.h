#pragma once
// A frame report as the log files keep it: the record and the host time at which its
// transfer arrived (the device's own time stamp has no known epoch or unit).

#include "monitor/MonitorRecord.h"

struct LoggedFrame {
    qint64 hostMicros = 0; // microseconds since the Unix epoch
    MonitorRecord record;
};

// Whether two frames agree in everything a log file keeps: time, identifier, flags,
// channel, direction, DLC and the data bytes a data frame carries.
inline bool sameLoggedFrame(const LoggedFrame &a, const LoggedFrame &b)
{
    const MonitorRecord &x = a.record;
    const MonitorRecord &y = b.record;
    return a.hostMicros == b.hostMicros && x.id == y.id && x.extended == y.extended
        && x.remote == y.remote && x.sent == y.sent && x.channel == y.channel
        && x.dlc == y.dlc
        && (x.remote || x.data.left(x.shownLength()) == y.data.left(y.shownLength()));
}
