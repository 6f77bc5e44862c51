#pragma once
// One channel's parameters between the PC and the adapter: the bit-timing register and
// the fourteen filter banks, one request and its replies at a time. Each stops at its
// first failure; nothing is rolled back.

#include "canparam/FilterBank.h"

#include <QString>
#include <QVector>

class CWrapWinUSB;

namespace CanParamTransfer {

enum class ReadResult {
    Ok,
    BaudRateFailed,      // the register's reply did not pass
    FilterRequestFailed, // the filter read request did not go out whole
    FiltersFailed,       // a filter bank failed to arrive
};

// `registerDigits` gets the register's eight hex digits as soon as its reply passed (also
// when the filters then fail); `rows` gets the fourteen banks only when all arrived.
ReadResult readChannal(CWrapWinUSB &link, int channal, QString *registerDigits,
                       QVector<DataListEntry> *rows);

enum class WriteResult { Ok, BaudRateFailed, FiltersFailed };

// Writes the register text (checked by the caller: it must give four bytes) and the
// fourteen banks, bank 0 first.
WriteResult writeChannal(CWrapWinUSB &link, int channal, const QString &registerText,
                         const QVector<DataListEntry> &rows);

} // namespace CanParamTransfer
