#pragma once
// The filter file: a JSON object {"Data": ["low,high", ...], "FilterName": mode} holding
// the dialog's mode and its rows as shown, not parsed numbers.

#include "filter/FilterText.h"

#include <QByteArray>
#include <QString>
#include <QVector>

struct FilterFileContent {
    int mode = 0;
    QVector<FilterRowText> rows;  // always empty in mode 0
};

struct FilterFileResult {
    enum Error { None, WriteFailed, OpenFailed, ParseFailed, NotAnObject, MissingMember };
    Error error = None;
    QString detail;  // the system's or the parser's error text, where there is one

    bool ok() const { return error == None; }
};

// The indented document written for `content` (no rows in mode 0).
QByteArray filterFileDocument(const FilterFileContent &content);

// Replaces the file as a whole: a failed write or commit leaves the old file intact.
FilterFileResult writeFilterFile(const QString &path, const FilterFileContent &content);

FilterFileResult parseFilterFile(const QByteArray &bytes, FilterFileContent *content);
FilterFileResult readFilterFile(const QString &path, FilterFileContent *content);
