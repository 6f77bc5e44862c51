#pragma once
// One acceptance filter bank as a channel page shows it (a row of its data list) and as
// it travels to and from the adapter: the 14-byte record of WriteFilterBank requests and
// ReadAcceptanceFilters replies.

#include <QByteArray>
#include <QString>

#include <cstdint>

constexpr int FilterBankCount = 14;
constexpr int FilterRecordSize = 14;

struct DataListEntry {
    bool enabled = false;
    int workMode = 0; // 0 mask mode, 1 list mode
    int bitCount = 1; // 0 "16", 1 "32"
    QString idText = QStringLiteral("00 00 00 00");
    QString maskText = QStringLiteral("00 00 00 00");
};

namespace FilterBank {

// Flags A: bit 7 enabled, bit 3 the channel (any page but the first).
uint8_t flagsA(const DataListEntry &entry, int channalId);
// Flags B: bit 4 list mode, bit 0 32-bit.
uint8_t flagsB(const DataListEntry &entry);

// The WriteFilterBank request for bank `bank`. Shorter than 14 bytes when a register text
// does not give four bytes (see registerBytes); callers check the texts first.
QByteArray request(int bank, int channalId, const DataListEntry &entry);

// A row from one 14-byte reply; the reply's place in the sequence gives the bank.
DataListEntry fromReply(const QByteArray &reply);

// Four register bytes as a cell shows them: "1a 2b 3c 4d".
QString cellText(const QByteArray &fourBytes);

} // namespace FilterBank
