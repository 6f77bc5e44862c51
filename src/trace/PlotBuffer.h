#pragma once
// The last minute of one plotted signal, decimated as it arrives: time is cut into
// buckets of a fixed width, and each bucket keeps its lowest and highest value with their
// times, so a spike survives however many values share its bucket. Memory and the points
// drawn are bounded (two per bucket) whatever the rate: a signal arriving 20,000 times a
// second costs the same to draw as one arriving ten times a second.

#include <QPointF>
#include <QVector>

#include <array>
#include <limits>

class PlotBuffer {
public:
    static constexpr qint64 WindowMicros = 60 * 1000 * 1000;
    // Two points every 200 ms: a few pixels apart across a chart, and few enough that four
    // full lines are redrawn ten times a second in a few milliseconds.
    static constexpr int BucketCount = 300;
    static constexpr qint64 BucketMicros = WindowMicros / BucketCount;  // 200 ms
    static constexpr int MaxPoints = 2 * BucketCount;

    // A value at a host time (µs). Values older than the window, or than the values the
    // bucket's ring slot has moved on to, are dropped, and so are NaN and infinities.
    void add(qint64 micros, double value);
    void clear();

    // The points of the minute that ends at `nowMicros`, in time order, x in seconds
    // relative to `nowMicros` (so -60 to 0). Replaces the contents of `points`.
    void points(qint64 nowMicros, QVector<QPointF> *points) const;

private:
    struct Bucket {
        qint64 number = std::numeric_limits<qint64>::min();  // time / BucketMicros; min: unused
        double low = 0, high = 0;
        qint64 lowAt = 0, highAt = 0;
    };
    std::array<Bucket, BucketCount> m_buckets;
};
