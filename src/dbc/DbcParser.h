#pragma once
// Reading a DBC file. Messages (BO_), their signals (SG_, with multiplexing), comments of
// messages and signals (CM_), value tables (VAL_) and IEEE float signals (SIG_VALTYPE_)
// are read; every other section a DBC carries is read past. A comment or value table for
// a message or signal the file does not define is read past too. A malformed file is
// refused as a whole with one message, "line N: expected ...", and the database is left
// as it was. Files in UTF-8 or, failing that, Windows-1252 (Latin-1) are read.

#include "dbc/DbcDatabase.h"

#include <QByteArray>
#include <QString>

bool loadDbc(const QByteArray &bytes, DbcDatabase *db, QString *error = nullptr);
bool loadDbcFile(const QString &path, DbcDatabase *db, QString *error = nullptr);
