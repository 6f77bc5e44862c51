#include "offline/OfflineRowText.h"

#include <QStringList>

namespace {

int choiceIndex(const QString &piece)
{
    bool ok = false;
    const int index = piece.toInt(&ok, 10);
    return ok ? index : 0;
}

} // namespace

QString offlineRowToStored(const OfflineFrameRow &row)
{
    return QStringList{QString::number(row.channal), row.interval, QString::number(row.remote),
                       QString::number(row.extended), row.id, row.data}
        .join(QStringLiteral(", "));
}

OfflineFrameRow offlineRowFromStored(const QJsonValue &element)
{
    OfflineFrameRow row;
    if (!element.isString())
        return row;
    // Empty pieces are dropped before trimming, so a saved empty last field (", ") still
    // counts as a sixth piece, and an empty one.
    QStringList pieces = element.toString().split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (QString &piece : pieces)
        piece = piece.trimmed();
    const int n = pieces.size();
    if (n > 0)
        row.channal = choiceIndex(pieces[0]);
    if (n > 1)
        row.interval = pieces[1];
    if (n > 2)
        row.remote = choiceIndex(pieces[2]);
    if (n > 3)
        row.extended = choiceIndex(pieces[3]);
    if (n > 4)
        row.id = pieces[4];
    if (n > 5)
        row.data = pieces[5];
    return row;
}
