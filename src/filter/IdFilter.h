#pragma once
// The monitor's identifier filter: never sent to the device.

#include <QVector>

struct IdRange {
    qint32 low = 0;
    qint32 high = 0;
};

struct IdFilter {
    enum Mode { Disabled = 0, HideListed = 1, ShowOnlyListed = 2 };
    int mode = Disabled;
    QVector<IdRange> ranges;
};
