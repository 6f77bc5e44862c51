#pragma once
// Counters behind the monitor's statistics line and brantel-dump's summary: frames per
// second per channel (every frame that arrived, over the last second), frames shown and
// frames filtered out since the last clear, transfers, and malformed transfers dropped.
// Times are host arrival times in microseconds; the caller owns the clock.

#include <QtGlobal>

#include <array>

class MonitorStatistics {
public:
    static constexpr int Channels = 2;

    explicit MonitorStatistics(qint64 nowMicros = 0) { clear(nowMicros); }
    void clear(qint64 nowMicros);

    // One bulk transfer; a malformed one carries no frames.
    void addTransfer(qint64 micros, bool malformed);
    // One frame of a transfer: shown (written) or left out by the identifier filter.
    void addFrame(qint64 micros, int channel, bool shown);

    qint64 shownFrames() const { return m_shown[0] + m_shown[1]; }
    qint64 shownFrames(int channel) const { return m_shown[index(channel)]; }
    qint64 filteredFrames() const { return m_filtered; }
    qint64 transfers() const { return m_transfers; }
    qint64 malformedTransfers() const { return m_malformed; }

    // Frames per second that arrived on the channel during the last whole second of
    // 100 ms slots before `nowMicros` (over the time since the last clear while that is
    // shorter).
    double framesPerSecond(int channel, qint64 nowMicros) const;

private:
    static constexpr qint64 BucketMicros = 100000;
    static constexpr int WindowSlots = 10;         // one second
    static constexpr int Slots = WindowSlots + 1;  // and the current one being filled
    static int index(int channel) { return channel == 1 ? 1 : 0; }

    qint64 m_since = 0;
    std::array<qint64, Channels> m_shown{};
    qint64 m_filtered = 0;
    qint64 m_transfers = 0;
    qint64 m_malformed = 0;
    // Per channel, frames per 100 ms slot of the last second; m_slotOf says which slot
    // (time / BucketMicros) each entry counts, so stale entries are recognised.
    std::array<std::array<qint64, Slots>, Channels> m_counts{};
    std::array<std::array<qint64, Slots>, Channels> m_slotOf{};
};
