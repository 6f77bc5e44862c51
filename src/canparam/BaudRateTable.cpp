#include "canparam/BaudRateTable.h"

#include <QRegularExpression>

namespace BaudRateTable {

namespace {

struct Row {
    const char *label;
    const char *value;
};

const Row Rows[RowCount] = {
    {"5K", "00450257"},   {"10K", "001C00E0"},  {"20K", "000500E0"},  {"40K", "00780031"},
    {"50K", "0067002c"},  {"80K", "004b0018"},  {"100K", "0012003b"}, {"125K", "0012002f"},
    {"200K", "0027000e"}, {"250K", "00120017"}, {"400K", "00160008"}, {"500K", "0012000b"},
    {"666K", "00240005"}, {"800K", "00240004"}, {"1000K", "00120005"}, {"自定义", "00000000"},
};

bool validRow(int row) { return row >= 0 && row < RowCount; }

} // namespace

QString label(int row) { return validRow(row) ? QString::fromUtf8(Rows[row].label) : QString(); }

QByteArray value(int row)
{
    return validRow(row) ? QByteArray::fromHex(Rows[row].value) : QByteArray();
}

int rowFor(const QByteArray &v)
{
    for (int row = 0; row < RowCount; ++row) {
        if (value(row) == v)
            return row;
    }
    return CustomRow;
}

QByteArray decodeHex(const QString &digits) { return QByteArray::fromHex(digits.toLatin1()); }

QString registerText(const QByteArray &v)
{
    return QStringLiteral("0x") + QString::fromLatin1(v.toHex().toUpper());
}

} // namespace BaudRateTable

QByteArray registerBytes(const QString &text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s"));
    static const QRegularExpression eightDigits(QStringLiteral("\\A[0-9A-Fa-f]{8}\\z"));
    QString digits = text;
    digits.remove(blanks);
    if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        digits.remove(0, 2);
    if (!eightDigits.match(digits).hasMatch())
        return QByteArray();
    return QByteArray::fromHex(digits.toLatin1());
}
