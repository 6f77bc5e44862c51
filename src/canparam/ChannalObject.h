#pragma once
// The JSON object that stands for one channel in the settings file: "ChannalID",
// "BaudRate" (the register field's text) and "DataList" (one string per filter bank).

#include "canparam/FilterBank.h"

#include <QJsonObject>
#include <QVector>

namespace ChannalObject {

// "1, 0, 1, 00 00 00 00, 00 00 00 00": the five fields joined by ", ".
QString dataListString(const DataListEntry &entry);

// Applies one "DataList" string to `entry`. Texts stay as split, so the blank after each
// comma stays in front of the register texts. A field that is missing, or a work-mode or
// bit-count index that names no item, leaves that part of the entry as it was.
void applyDataListString(const QString &text, DataListEntry *entry);

QJsonObject toJson(int channalId, const QString &registerText,
                   const QVector<DataListEntry> &rows);

// Applies "DataList" to `rows` (missing elements leave their row) and returns the
// register digits of "BaudRate" with every "0x" removed, for the page's setBaudRate.
QString applyJson(const QJsonObject &object, QVector<DataListEntry> *rows);

} // namespace ChannalObject
