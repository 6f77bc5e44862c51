#pragma once
// The settings file: every channel's parameters, the send type and the offline list as
// one JSON object ("CANParam", "OfflineDatas", "SendType").

#include <QByteArray>
#include <QJsonArray>
#include <QString>

namespace SettingsFile {

// The indented JSON text; its keys come out in the order "CANParam", "OfflineDatas",
// "SendType".
QByteArray compose(const QJsonArray &canParam, int sendType, const QJsonArray &offlineDatas);

struct Content {
    enum Status { Ok, NotJson, MissingKeys };
    Status status = NotJson;
    QString parserError;       // with NotJson
    QJsonArray canParam;
    QJsonArray offlineDatas;
    int sendType = 0;          // 0 when missing or not a number; -1 when it names no item
};
Content parse(const QByteArray &text);

// Written through a save file: on failure the old file is left as it was and `error`
// holds the system's text.
bool save(const QString &path, const QByteArray &text, QString *error);
bool load(const QString &path, QByteArray *text, QString *error);

} // namespace SettingsFile
