#include "canparam/ChannalObject.h"

#include <QJsonArray>
#include <QStringList>

namespace ChannalObject {

namespace {

const QString KeyId = QStringLiteral("ChannalID");
const QString KeyBaudRate = QStringLiteral("BaudRate");
const QString KeyDataList = QStringLiteral("DataList");

// Decimal, blanks around ignored; text that is no number reads as 0.
int number(const QString &field) { return field.trimmed().toInt(); }

void applyIndex(const QString &field, int *index)
{
    const int n = number(field);
    if (n == 0 || n == 1)
        *index = n;
}

} // namespace

QString dataListString(const DataListEntry &e)
{
    return QStringList{e.enabled ? QStringLiteral("1") : QStringLiteral("0"),
                       QString::number(e.workMode), QString::number(e.bitCount), e.idText,
                       e.maskText}
        .join(QStringLiteral(", "));
}

void applyDataListString(const QString &text, DataListEntry *entry)
{
    const QStringList fields = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (fields.size() > 0)
        entry->enabled = number(fields.at(0)) == 1;
    if (fields.size() > 1)
        applyIndex(fields.at(1), &entry->workMode);
    if (fields.size() > 2)
        applyIndex(fields.at(2), &entry->bitCount);
    if (fields.size() > 3)
        entry->idText = fields.at(3);
    if (fields.size() > 4)
        entry->maskText = fields.at(4);
}

QJsonObject toJson(int channalId, const QString &registerText, const QVector<DataListEntry> &rows)
{
    QJsonArray list;
    for (const DataListEntry &e : rows)
        list.append(dataListString(e));
    QJsonObject object;
    object.insert(KeyId, channalId);
    object.insert(KeyBaudRate, registerText);
    object.insert(KeyDataList, list);
    return object;
}

QString applyJson(const QJsonObject &object, QVector<DataListEntry> *rows)
{
    const QJsonArray list = object.value(KeyDataList).toArray();
    for (int r = 0; r < rows->size() && r < list.size(); ++r) {
        if (list.at(r).isString())
            applyDataListString(list.at(r).toString(), &(*rows)[r]);
    }
    QString digits = object.value(KeyBaudRate).toString();
    digits.remove(QStringLiteral("0x"), Qt::CaseSensitive);
    return digits;
}

} // namespace ChannalObject
