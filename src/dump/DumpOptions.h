#pragma once
// The command line of brantel-dump, parsed into a value.

#include "filter/IdFilter.h"

#include <QString>
#include <QStringList>

struct DumpOptions {
    enum class Format { Log, Candump, Asc, Text, Pcapng, Json };

    bool simulate = false;
    Format format = Format::Log;
    IdFilter shown;        // --filter: only these identifiers
    IdFilter hidden;       // --exclude: never these
    qint64 count = 0;      // frames to write; 0 = no limit
    double seconds = 0;    // capture length; 0 = no limit
    QString output;        // empty: standard output
    QString input;         // --input: a candump log or ASC file instead of the adapter
    QString dbc;           // --dbc: decode with this database (candump and json formats)
    bool help = false;
    bool version = false;

    bool accepts(quint32 id) const
    {
        return shown.accepts(qint32(id)) && hidden.accepts(qint32(id));
    }
};

// Parses the arguments after the program name. False with a one-line *error on a bad one.
bool parseDumpOptions(const QStringList &arguments, DumpOptions *options, QString *error);

// "LOW-HIGH[,LOW-HIGH...]" in hexadecimal ("0x" optional, a single value is a range of
// one); false for anything else or a range whose ends are reversed or above 31 bits.
bool parseIdRanges(const QString &text, QVector<IdRange> *ranges);

QString dumpUsage();
