#pragma once
// The stored form of one offline row in a settings file: one JSON string of six fields
// joined by ", " (channel, interval, frame format, frame type, identifier, data).

#include "offline/OfflineFrameRecord.h"

#include <QJsonValue>
#include <QString>

QString offlineRowToStored(const OfflineFrameRow &row);

// Fields are split at every comma (empty pieces dropped) and trimmed. An element that is no
// string, or lacks fields, takes a new row's defaults for what is missing; a choice that is
// no decimal integer gives index 0.
OfflineFrameRow offlineRowFromStored(const QJsonValue &element);
