#include "dump/DumpOptions.h"

#include <QRegularExpression>

namespace {

bool parseId(const QString &text, qint32 *id)
{
    static const QRegularExpression hex(QStringLiteral("^(?:0[xX])?([0-9A-Fa-f]{1,8})$"));
    const QRegularExpressionMatch m = hex.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    const quint32 value = m.captured(1).toUInt(nullptr, 16);
    if (value > 0x7FFFFFFFu)
        return false;
    *id = qint32(value);
    return true;
}

bool takeValue(const QStringList &args, int *i, QString *value)
{
    if (*i + 1 >= args.size())
        return false;
    *value = args.at(++*i);
    return true;
}

} // namespace

bool parseIdRanges(const QString &text, QVector<IdRange> *ranges)
{
    ranges->clear();
    const QStringList items = text.split(QLatin1Char(','));
    for (const QString &item : items) {
        const QStringList ends = item.split(QLatin1Char('-'));
        IdRange r;
        if (ends.size() > 2 || !parseId(ends.first(), &r.low)
            || !parseId(ends.last(), &r.high) || r.low > r.high)
            return false;
        ranges->append(r);
    }
    return !ranges->isEmpty();
}

bool parseDumpOptions(const QStringList &arguments, DumpOptions *options, QString *error)
{
    DumpOptions o;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString arg = arguments.at(i);
        QString value;
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            o.help = true;
        } else if (arg == QLatin1String("-V") || arg == QLatin1String("--version")) {
            o.version = true;
        } else if (arg == QLatin1String("--simulate")) {
            o.simulate = true;
        } else if (arg == QLatin1String("-f") || arg == QLatin1String("--format")) {
            if (!takeValue(arguments, &i, &value)) {
                *error = QStringLiteral("--format needs a value: log, candump, asc, text, pcapng or json");
                return false;
            }
            if (value == QLatin1String("log"))
                o.format = DumpOptions::Format::Log;
            else if (value == QLatin1String("candump"))
                o.format = DumpOptions::Format::Candump;
            else if (value == QLatin1String("asc"))
                o.format = DumpOptions::Format::Asc;
            else if (value == QLatin1String("text"))
                o.format = DumpOptions::Format::Text;
            else if (value == QLatin1String("pcapng"))
                o.format = DumpOptions::Format::Pcapng;
            else if (value == QLatin1String("json"))
                o.format = DumpOptions::Format::Json;
            else {
                *error = QStringLiteral("unknown format \"%1\" (log, candump, asc, text, pcapng or json)")
                             .arg(value);
                return false;
            }
        } else if (arg == QLatin1String("--filter") || arg == QLatin1String("--exclude")) {
            IdFilter &filter = arg == QLatin1String("--filter") ? o.shown : o.hidden;
            QVector<IdRange> ranges;
            if (!takeValue(arguments, &i, &value) || !parseIdRanges(value, &ranges)) {
                *error = QStringLiteral("%1 takes LOW-HIGH[,LOW-HIGH...] in hexadecimal").arg(arg);
                return false;
            }
            filter.ranges += ranges; // repeated options add ranges
            filter.mode = arg == QLatin1String("--filter") ? IdFilter::ShowOnlyListed
                                                           : IdFilter::HideListed;
        } else if (arg == QLatin1String("-n") || arg == QLatin1String("--count")) {
            bool ok = false;
            if (takeValue(arguments, &i, &value))
                o.count = value.toLongLong(&ok);
            if (!ok || o.count <= 0) {
                *error = QStringLiteral("--count takes a positive number of frames");
                return false;
            }
        } else if (arg == QLatin1String("-t") || arg == QLatin1String("--seconds")) {
            bool ok = false;
            if (takeValue(arguments, &i, &value))
                o.seconds = value.toDouble(&ok);
            if (!ok || !(o.seconds > 0)) {
                *error = QStringLiteral("--seconds takes a positive number");
                return false;
            }
        } else if (arg == QLatin1String("-o") || arg == QLatin1String("--output")) {
            if (!takeValue(arguments, &i, &value) || value.isEmpty()) {
                *error = QStringLiteral("--output needs a file name");
                return false;
            }
            o.output = value;
        } else if (arg == QLatin1String("--input") || arg == QLatin1String("--dbc")) {
            if (!takeValue(arguments, &i, &value) || value.isEmpty()) {
                *error = QStringLiteral("%1 needs a file name").arg(arg);
                return false;
            }
            (arg == QLatin1String("--input") ? o.input : o.dbc) = value;
        } else {
            *error = QStringLiteral("unknown argument \"%1\" (see --help)").arg(arg);
            return false;
        }
    }
    // Options that would be silently without effect are refused.
    if (!o.input.isEmpty() && (o.simulate || o.seconds > 0)) {
        *error = QStringLiteral("--input reads a file: %1 has no meaning with it")
                     .arg(o.simulate ? QStringLiteral("--simulate") : QStringLiteral("--seconds"));
        return false;
    }
    if (!o.dbc.isEmpty() && o.format != DumpOptions::Format::Candump
        && o.format != DumpOptions::Format::Json) {
        *error = QStringLiteral("--dbc decodes frames in the candump and json formats only");
        return false;
    }
    *options = o;
    return true;
}

QString dumpUsage()
{
    return QStringLiteral(
        "Usage: brantel-dump [options]\n"
        "Captures the CAN frames that the USB CAN adapter (USB 0471:1200) reports,\n"
        "or converts a saved capture.\n"
        "\n"
        "  --simulate              use the built-in simulated adapter\n"
        "  --input FILE            read a candump log or ASC file instead of the adapter\n"
        "  -f, --format FORMAT     log (default: candump log file), candump (console), asc,\n"
        "                          text (the monitor's own lines), pcapng (Wireshark),\n"
        "                          json (one object per line)\n"
        "  --dbc FILE              decode frames with a DBC database (candump, json)\n"
        "  --filter LOW-HIGH[,..]  write only frames whose identifier is in a range (hex)\n"
        "  --exclude LOW-HIGH[,..] never write frames whose identifier is in a range (hex)\n"
        "  -n, --count N           stop after N frames\n"
        "  -t, --seconds S         stop after S seconds (not with --input)\n"
        "  -o, --output FILE       write to FILE instead of standard output\n"
        "  -h, --help              show this text\n"
        "  -V, --version           show the version\n"
        "\n"
        "Ctrl-C or SIGTERM stops the capture: frame reporting is switched off on the\n"
        "adapter and the output is flushed. A summary goes to standard error.\n"
        "Exit status: 0 done, 1 capture or conversion failed (an unreadable or malformed\n"
        "input or DBC file included), 2 bad arguments, 3 no adapter,\n"
        "4 access refused, 5 adapter in use, 6 incompatible adapter or firmware.\n");
}
