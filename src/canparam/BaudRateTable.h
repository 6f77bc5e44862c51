#pragma once
// The sixteen baud rates a channel offers and the text forms of a bit-timing register
// value. The program never computes a bit rate: each row carries the register value the
// adapter expects, and "custom" lets the user type one.

#include <QByteArray>
#include <QString>

namespace BaudRateTable {

constexpr int RowCount = 16;
constexpr int CustomRow = 15;  // "自定义": the register field is editable
constexpr int DefaultRow = 9;  // 250K

// Row label; rows 0 to 14 are the same in every language, the custom row's label is
// translated by the page.
QString label(int row);
// The row's register value, four bytes, most significant first.
QByteArray value(int row);
// The first row whose value equals `value`; the custom row when none does.
int rowFor(const QByteArray &value);

// The toolkit's hexadecimal decoding: digit pairs from the end, other characters skipped,
// an odd leading digit forming a byte of its own.
QByteArray decodeHex(const QString &digits);
// "0x" and eight upper-case digits, as the register field shows a row's value.
QString registerText(const QByteArray &value);

} // namespace BaudRateTable

// The four bytes of a register text: exactly eight hexadecimal digits once blanks and one
// leading "0x" are removed. Empty for anything else, so that nothing malformed can reach
// the adapter. Serves the bit-timing register and the filter banks' ID and mask cells.
QByteArray registerBytes(const QString &text);
