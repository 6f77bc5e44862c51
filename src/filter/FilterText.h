#pragma once
// The filter's ranges as the dialog shows them (two hexadecimal texts per row, kept as
// typed) and the numbers they stand for once the dialog is accepted.

#include "filter/IdFilter.h"

#include <QString>
#include <QVector>

struct FilterRowText {
    QString low;
    QString high;
};

// A bound as typed: every "0x" is removed and the rest read as a signed 32-bit
// hexadecimal number; anything else reads as 0.
qint32 hexBoundValue(const QString &text);

// A bound as the dialog shows it: upper-case hexadecimal, no prefix, no leading zeros.
QString hexBoundText(qint32 value);

// "low,high" split at its first comma; without a comma both sides get the whole text.
FilterRowText splitFilterRow(const QString &entry);
QString joinFilterRow(const FilterRowText &row);

// The filter a mode and its shown rows describe, rows top to bottom; mode 0 keeps none.
IdFilter filterFromRows(int mode, const QVector<FilterRowText> &rows);
