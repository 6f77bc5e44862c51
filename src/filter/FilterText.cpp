#include "filter/FilterText.h"

qint32 hexBoundValue(const QString &text)
{
    QString digits = text;
    digits.remove(QStringLiteral("0x"), Qt::CaseSensitive);
    bool ok = false;
    const int value = digits.toInt(&ok, 16);
    return ok ? value : 0;
}

QString hexBoundText(qint32 value)
{
    // As printf's "%X": a negative bound shows its two's complement.
    return QString::number(quint32(value), 16).toUpper();
}

FilterRowText splitFilterRow(const QString &entry)
{
    const int comma = entry.indexOf(QLatin1Char(','));
    if (comma < 0)
        return {entry, entry};
    return {entry.left(comma), entry.mid(comma + 1)};
}

QString joinFilterRow(const FilterRowText &row)
{
    return row.low + QLatin1Char(',') + row.high;
}

IdFilter filterFromRows(int mode, const QVector<FilterRowText> &rows)
{
    IdFilter filter;
    filter.mode = mode;
    if (mode == IdFilter::Disabled)
        return filter;
    filter.ranges.reserve(rows.size());
    for (const FilterRowText &row : rows)
        filter.ranges.append({hexBoundValue(row.low), hexBoundValue(row.high)});
    return filter;
}
