#pragma once
// The adapter's bit-timing register: prescaler in bits 0-9, time segment 1 in bits 16-19,
// time segment 2 in bits 20-22 and the synchronisation jump width in bits 24-25, each
// field holding its value minus one, clocked at 36 MHz. Decodes a register into bit rate
// and sample point, and lists register values for a wanted rate and sample point.

#include <QString>
#include <QVector>

class BitTiming {
public:
    static constexpr double ClockHz = 36e6;
    static constexpr int MaxPrescaler = 1024;
    static constexpr int MaxSegment1 = 16;
    static constexpr int MaxSegment2 = 8;
    static constexpr int MaxJumpWidth = 4;

    BitTiming() = default; // invalid
    // Invalid when a bit outside the four fields is set: the device gives them no meaning.
    static BitTiming fromRegister(quint32 value);
    // The register field's text: blanks and a leading "0x" ignored, then exactly eight
    // hexadecimal digits; anything else is invalid.
    static BitTiming fromText(const QString &text);
    // From field values (not minus one); invalid when one is out of its range.
    static BitTiming fromFields(int prescaler, int segment1, int segment2, int jumpWidth = 1);

    bool isValid() const { return m_valid; }
    quint32 registerValue() const;
    int prescaler() const { return m_prescaler; }
    int segment1() const { return m_segment1; }
    int segment2() const { return m_segment2; }
    int jumpWidth() const { return m_jumpWidth; }
    // Time quanta per bit: the sync segment and both time segments.
    int quantaPerBit() const { return 1 + m_segment1 + m_segment2; }
    double bitRate() const; // bit/s; 0 when invalid
    double samplePoint() const; // 0 to 1; 0 when invalid

    // Register values for a wanted rate (bit/s) and sample point (0 to 1): first those
    // whose rate is exact (within half a bit per second), then the closest rates; within
    // each, the nearest sample point first, then the finer time quantum. At most `limit`.
    static QVector<BitTiming> candidates(double wantedRate, double wantedSamplePoint,
                                         int limit = 20);

private:
    bool m_valid = false;
    int m_prescaler = 0;
    int m_segment1 = 0;
    int m_segment2 = 0;
    int m_jumpWidth = 0;
};
