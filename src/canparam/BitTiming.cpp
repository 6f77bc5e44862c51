#include "canparam/BitTiming.h"

#include "canparam/BaudRateTable.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace {
constexpr quint32 FieldBits = 0x037F03FFu; // prescaler, both segments, jump width
constexpr double ExactRateTolerance = 0.5;  // bit/s
} // namespace

BitTiming BitTiming::fromRegister(quint32 value)
{
    if (value & ~FieldBits)
        return {};
    return fromFields(int(value & 0x3FF) + 1, int(value >> 16 & 0xF) + 1,
                      int(value >> 20 & 0x7) + 1, int(value >> 24 & 0x3) + 1);
}

BitTiming BitTiming::fromText(const QString &text)
{
    const QByteArray bytes = registerBytes(text); // the rule Write CAN sends by
    if (bytes.size() != 4)
        return {};
    return fromRegister(qFromBigEndian<quint32>(bytes.constData()));
}

BitTiming BitTiming::fromFields(int prescaler, int segment1, int segment2, int jumpWidth)
{
    BitTiming t;
    if (prescaler < 1 || prescaler > MaxPrescaler || segment1 < 1 || segment1 > MaxSegment1
        || segment2 < 1 || segment2 > MaxSegment2 || jumpWidth < 1 || jumpWidth > MaxJumpWidth)
        return t;
    t.m_valid = true;
    t.m_prescaler = prescaler;
    t.m_segment1 = segment1;
    t.m_segment2 = segment2;
    t.m_jumpWidth = jumpWidth;
    return t;
}

quint32 BitTiming::registerValue() const
{
    if (!m_valid)
        return 0;
    return quint32(m_prescaler - 1) | quint32(m_segment1 - 1) << 16
        | quint32(m_segment2 - 1) << 20 | quint32(m_jumpWidth - 1) << 24;
}

double BitTiming::bitRate() const
{
    return m_valid ? ClockHz / (double(m_prescaler) * quantaPerBit()) : 0.0;
}

double BitTiming::samplePoint() const
{
    return m_valid ? double(1 + m_segment1) / quantaPerBit() : 0.0;
}

QVector<BitTiming> BitTiming::candidates(double wantedRate, double wantedSamplePoint, int limit)
{
    struct Scored {
        BitTiming timing;
        bool exact;
        double rateError;
        double sampleError;
    };
    QVector<Scored> all;
    if (!(wantedRate > 0) || limit <= 0)
        return {};
    const int minQuanta = 3;
    const int maxQuanta = 1 + MaxSegment1 + MaxSegment2;
    for (int quanta = minQuanta; quanta <= maxQuanta; ++quanta) {
        // The split of this bit length whose sample point is nearest the wanted one.
        BitTiming best;
        double bestError = 2.0;
        for (int seg2 = 1; seg2 <= MaxSegment2; ++seg2) {
            const int seg1 = quanta - 1 - seg2;
            const BitTiming t = fromFields(1, seg1, seg2);
            if (t.isValid() && std::abs(t.samplePoint() - wantedSamplePoint) < bestError) {
                best = t;
                bestError = std::abs(t.samplePoint() - wantedSamplePoint);
            }
        }
        if (!best.isValid())
            continue;
        // The two prescalers around the wanted rate are the only ones worth listing.
        const double ideal = ClockHz / (wantedRate * quanta);
        for (const double p : {std::floor(ideal), std::ceil(ideal)}) {
            const int prescaler = int(p);
            if (prescaler < 1 || prescaler > MaxPrescaler)
                continue;
            if (!all.isEmpty() && all.last().timing.quantaPerBit() == quanta
                && all.last().timing.prescaler() == prescaler)
                continue; // floor and ceil agree on an exact quotient
            const BitTiming t = fromFields(prescaler, best.segment1(), best.segment2());
            const double rateError = std::abs(t.bitRate() - wantedRate);
            all.append({t, rateError <= ExactRateTolerance, rateError, bestError});
        }
    }
    std::stable_sort(all.begin(), all.end(), [](const Scored &a, const Scored &b) {
        if (a.exact != b.exact)
            return a.exact;
        if (!a.exact && a.rateError != b.rateError)
            return a.rateError < b.rateError;
        if (a.sampleError != b.sampleError)
            return a.sampleError < b.sampleError;
        return a.timing.quantaPerBit() > b.timing.quantaPerBit();
    });
    QVector<BitTiming> out;
    for (int i = 0; i < all.size() && i < limit; ++i)
        out.append(all[i].timing);
    return out;
}
