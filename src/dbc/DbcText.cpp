#include "dbc/DbcText.h"

#include <charconv>
#include <cmath>

int dbcNumberText(const DbcValue &value, char *buffer)
{
    const double v = value.physical;
    if (!std::isfinite(v))
        return 0;
    char *const end = buffer + DbcNumberTextSize;
    const bool whole = v == std::trunc(v);
    // 9.2e18 stays below 2^63, so the conversion is exact and cannot overflow.
    if (whole && std::fabs(v) < 9.2e18)
        return int(std::to_chars(buffer, end, qint64(v)).ptr - buffer);
    switch (value.signal->valueType) {
    case DbcSignal::ValueType::Float32:
        if (std::isfinite(float(v)))
            return int(std::to_chars(buffer, end, float(v)).ptr - buffer);
        break; // scaled beyond the float range: the double is all there is
    case DbcSignal::ValueType::Float64:
        break;
    case DbcSignal::ValueType::Integer:
        if (!whole) // a whole number past 2^63 keeps every digit its double has
            return int(std::to_chars(buffer, end, v, std::chars_format::general, 15).ptr - buffer);
        break;
    }
    return int(std::to_chars(buffer, end, v).ptr - buffer);
}

QString dbcConsoleLine(const DbcMessage &message, const QVector<DbcValue> &values)
{
    QString line = QStringLiteral("  ") + message.name + QLatin1Char('(');
    char number[DbcNumberTextSize];
    for (int i = 0; i < values.size(); ++i) {
        const DbcValue &v = values.at(i);
        if (i > 0)
            line += QStringLiteral(", ");
        line += v.signal->name + QLatin1Char('=');
        const int length = dbcNumberText(v, number);
        if (length > 0)
            line += QLatin1String(number, length);
        else
            line += std::isnan(v.physical) ? QStringLiteral("nan")
                : v.physical > 0             ? QStringLiteral("inf")
                                             : QStringLiteral("-inf");
        if (!v.signal->unit.isEmpty())
            line += QLatin1Char(' ') + v.signal->unit;
        if (!v.text.isEmpty())
            line += QStringLiteral(" \"") + v.text + QLatin1Char('"');
    }
    return line + QLatin1Char(')');
}
