#pragma once
// One frame of the list the adapter sends by itself in offline mode: the row the list
// edits and the record the adapter stores, with the checks a row passes before it may go
// to the adapter. Row values only, no table, so the rules stand on their own.

#include <QByteArray>
#include <QString>

#include <cstdint>

// The six columns of the offline list, in column order. The choices are held as the
// combo boxes' indexes, the rest as the texts the user sees.
struct OfflineFrameRow {
    int channal = 0;                                   // 0 the first channel, else another
    QString interval = QStringLiteral("100");          // decimal, units of 100 us
    int remote = 0;                                    // 0 data frame, 1 remote frame
    int extended = 0;                                  // 0 standard, 1 extended
    QString id = QStringLiteral("00 00 00 00");        // hexadecimal, most significant first
    QString data = QStringLiteral("00 00 00 00 00 00 00 00");
};

namespace OfflineFrame {
constexpr uint32_t MaxStandardId = 0x7FF;
constexpr uint32_t MaxExtendedId = 0x1FFFFFFF;
constexpr uint32_t MaxInterval = 0xFFFFFF;   // 24 bits in the record
constexpr int MaxIntervalChars = 8;
constexpr int MaxDataBytes = 8;              // the record has room for eight
constexpr int HeadLength = 13;               // a record without data bytes
constexpr int FullLength = HeadLength + MaxDataBytes;
constexpr uint8_t LengthField = 0x12;        // bytes after the head of a full record

constexpr uint8_t ExtendedFlag = 0x80;
constexpr uint8_t RemoteFlag = 0x40;
constexpr uint8_t ChannalFlag = 0x10;
constexpr uint8_t LengthCodeMask = 0x0F;
} // namespace OfflineFrame

// Why a row may not go to the adapter, in the order the checks run.
enum class OfflineRowError {
    None,
    ExtendedIdRange,
    StandardIdRange,
    IntervalLength,
    IntervalRange,
    DataLength,        // more data bytes than a record holds
};

struct OfflineEncodeResult {
    OfflineRowError error = OfflineRowError::None;
    QByteArray record;   // 13 + n bytes when error is None, else empty

    bool ok() const { return error == OfflineRowError::None; }
};

// The record of `row` as row `rowIndex` (from 0) of a list of `rowCount` rows.
OfflineEncodeResult encodeOfflineRow(const OfflineFrameRow &row, int rowIndex, int rowCount);

// A record read back from the adapter (21 bytes). Bytes 0 to 4 are not looked at; bytes
// missing from a short record read as absent, never beyond the array.
OfflineFrameRow decodeOfflineRecord(const QByteArray &record);

// The text the user is shown for `error`, translated in the list's context; empty for None.
QString offlineRowMessage(OfflineRowError error);
