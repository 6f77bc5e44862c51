#include "app/SettingsFile.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace SettingsFile {

namespace {
const QString CanParamKey = QStringLiteral("CANParam");
const QString OfflineDatasKey = QStringLiteral("OfflineDatas");
const QString SendTypeKey = QStringLiteral("SendType");
} // namespace

QByteArray compose(const QJsonArray &canParam, int sendType, const QJsonArray &offlineDatas)
{
    QJsonObject root;
    root.insert(CanParamKey, canParam);
    root.insert(SendTypeKey, sendType);
    root.insert(OfflineDatasKey, offlineDatas);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

Content parse(const QByteArray &text)
{
    Content c;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || doc.isNull()) {
        c.parserError = error.errorString();
        return c;
    }
    const QJsonObject root = doc.object();
    if (!doc.isObject() || !root.contains(CanParamKey) || !root.contains(OfflineDatasKey)) {
        c.status = Content::MissingKeys;
        return c;
    }
    c.status = Content::Ok;
    c.canParam = root.value(CanParamKey).toArray();
    c.offlineDatas = root.value(OfflineDatasKey).toArray();
    const QJsonValue type = root.value(SendTypeKey);
    if (type.isDouble()) {
        // A number that names no item (2, -1, 0.5) leaves the send type as it was.
        const double v = type.toDouble();
        c.sendType = (v == 0 || v == 1) ? int(v) : -1;
    }
    return c;
}

bool save(const QString &path, const QByteArray &text, QString *error)
{
    QSaveFile file(path);
    // Unbuffered, so that a short write (a full disk) shows in write()'s count: a buffered
    // write is flushed by commit(), which takes a partial flush for success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Unbuffered)) {
        *error = file.errorString();
        return false;
    }
    // An unfinished save file is discarded when it goes out of scope.
    if (file.write(text) != text.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

bool load(const QString &path, QByteArray *text, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = file.errorString();
        return false;
    }
    *text = file.readAll();
    return true;
}

} // namespace SettingsFile
