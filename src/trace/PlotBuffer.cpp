#include "trace/PlotBuffer.h"

#include <cmath>

namespace {
qint64 bucketOf(qint64 micros)
{
    return micros >= 0 ? micros / PlotBuffer::BucketMicros
                       : -((-micros + PlotBuffer::BucketMicros - 1) / PlotBuffer::BucketMicros);
}
int slotOf(qint64 number)
{
    const qint64 s = number % PlotBuffer::BucketCount;
    return int(s < 0 ? s + PlotBuffer::BucketCount : s);
}
} // namespace

void PlotBuffer::add(qint64 micros, double value)
{
    if (!std::isfinite(value))
        return;
    const qint64 number = bucketOf(micros);
    Bucket &b = m_buckets[size_t(slotOf(number))];
    if (b.number > number)  // the slot already holds a newer bucket
        return;
    if (b.number < number) {
        b = {number, value, value, micros, micros};
        return;
    }
    if (value < b.low) {
        b.low = value;
        b.lowAt = micros;
    }
    if (value > b.high) {
        b.high = value;
        b.highAt = micros;
    }
}

void PlotBuffer::clear() { m_buckets.fill(Bucket()); }

void PlotBuffer::points(qint64 nowMicros, QVector<QPointF> *points) const
{
    points->clear();
    const qint64 last = bucketOf(nowMicros);
    const auto x = [nowMicros](qint64 at) { return double(at - nowMicros) / 1e6; };
    for (qint64 number = last - BucketCount + 1; number <= last; ++number) {
        const Bucket &b = m_buckets[size_t(slotOf(number))];
        if (b.number != number)
            continue;
        if (b.low == b.high) {
            points->append({x(b.lowAt), b.low});
        } else if (b.lowAt <= b.highAt) {
            points->append({x(b.lowAt), b.low});
            points->append({x(b.highAt), b.high});
        } else {
            points->append({x(b.highAt), b.high});
            points->append({x(b.lowAt), b.low});
        }
    }
}
