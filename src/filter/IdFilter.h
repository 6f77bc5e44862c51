#pragma once
// The monitor's identifier filter: never sent to the device. A plain value, copied to
// the side that applies it, so replacing it never races the monitor.

#include <QVector>

struct IdRange {
    qint32 low = 0;
    qint32 high = 0;

    bool holds(qint32 id) const { return low <= id && id <= high; }
};

struct IdFilter {
    enum Mode { Disabled = 0, HideListed = 1, ShowOnlyListed = 2 };
    int mode = Disabled;
    QVector<IdRange> ranges;

    // Whether a frame with this 31-bit identifier is shown.
    bool accepts(qint32 id) const
    {
        if (mode != HideListed && mode != ShowOnlyListed)
            return true;
        bool matched = false;
        for (const IdRange &r : ranges) {
            if (r.holds(id)) {
                matched = true;
                break;
            }
        }
        return mode == HideListed ? !matched : matched;
    }
};
