#include "monitor/MonitorStatistics.h"

#include <algorithm>

void MonitorStatistics::clear(qint64 nowMicros)
{
    m_since = nowMicros;
    m_shown = {};
    m_filtered = 0;
    m_transfers = 0;
    m_malformed = 0;
    for (auto &c : m_counts)
        c.fill(0);
    for (auto &s : m_slotOf)
        s.fill(-1);
}

void MonitorStatistics::addTransfer(qint64 micros, bool malformed)
{
    Q_UNUSED(micros)
    ++m_transfers;
    if (malformed)
        ++m_malformed;
}

void MonitorStatistics::addFrame(qint64 micros, int channel, bool shown)
{
    const int ch = index(channel);
    if (shown)
        ++m_shown[ch];
    else
        ++m_filtered;
    // Floored, so a time before 1970 (an old capture file's) still picks a slot in range.
    const qint64 slot = micros >= 0 ? micros / BucketMicros : (micros + 1) / BucketMicros - 1;
    const int at = int((slot % Slots + Slots) % Slots);
    if (m_slotOf[ch][at] != slot) {
        m_slotOf[ch][at] = slot;
        m_counts[ch][at] = 0;
    }
    ++m_counts[ch][at];
}

double MonitorStatistics::framesPerSecond(int channel, qint64 nowMicros) const
{
    const int ch = index(channel);
    // The ten whole slots before the current one: exactly one second, 100 ms behind.
    const qint64 current = nowMicros / BucketMicros;
    qint64 frames = 0;
    for (int i = 0; i < Slots; ++i) {
        if (m_slotOf[ch][i] >= current - WindowSlots && m_slotOf[ch][i] < current)
            frames += m_counts[ch][i];
    }
    const qint64 window = std::min<qint64>(
        WindowSlots * BucketMicros, std::max<qint64>(current * BucketMicros - m_since, BucketMicros));
    return frames * 1e6 / double(window);
}
