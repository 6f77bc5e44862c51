#include "filter/FilterFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {
const QString kMode = QStringLiteral("FilterName");
const QString kData = QStringLiteral("Data");

FilterFileResult failure(FilterFileResult::Error error, const QString &detail = QString())
{
    FilterFileResult result;
    result.error = error;
    result.detail = detail;
    return result;
}
} // namespace

QByteArray filterFileDocument(const FilterFileContent &content)
{
    QJsonArray data;
    if (content.mode != IdFilter::Disabled) {
        for (const FilterRowText &row : content.rows)
            data.append(joinFilterRow(row));
    }
    QJsonObject object;
    object.insert(kMode, content.mode);
    object.insert(kData, data);
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

FilterFileResult writeFilterFile(const QString &path, const FilterFileContent &content)
{
    // Written as the UTF-8 that reading expects, so texts beyond ASCII survive the round
    // trip whatever the system's locale encoding is.
    const QByteArray document = filterFileDocument(content);
    // Unbuffered, so a short write (a full disk, a size limit) shows in write()'s count:
    // the buffered flush inside commit() lets it pass and would keep a truncated file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Unbuffered))
        return failure(FilterFileResult::WriteFailed, file.errorString());
    if (file.write(document) != document.size() || !file.commit())
        return failure(FilterFileResult::WriteFailed, file.errorString());
    return {};
}

FilterFileResult parseFilterFile(const QByteArray &bytes, FilterFileContent *content)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (document.isNull() || error.error != QJsonParseError::NoError)
        return failure(FilterFileResult::ParseFailed, error.errorString());
    if (!document.isObject())
        return failure(FilterFileResult::NotAnObject);
    const QJsonObject object = document.object();
    if (!object.contains(kMode) || !object.contains(kData))
        return failure(FilterFileResult::MissingMember);

    FilterFileContent read;
    read.mode = object.value(kMode).toInt();
    if (read.mode != IdFilter::Disabled) {
        const QJsonArray data = object.value(kData).toArray();
        read.rows.reserve(data.size());
        for (const QJsonValue &entry : data)
            read.rows.append(splitFilterRow(entry.toString()));
    }
    *content = read;
    return {};
}

FilterFileResult readFilterFile(const QString &path, FilterFileContent *content)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return failure(FilterFileResult::OpenFailed, file.errorString());
    const QByteArray bytes = file.readAll();
    file.close();
    return parseFilterFile(bytes, content);
}
