#include "monitor/CandumpLog.h"

#include <QStringList>

#include <cstring>

namespace {

constexpr int MaxClassicLength = 8;

QString timeText(qint64 micros)
{
    // Integer arithmetic: a double would round the last microsecond digit.
    const qint64 seconds = micros >= 0 ? micros / 1000000 : (micros - 999999) / 1000000;
    return QString::asprintf("(%lld.%06lld)", static_cast<long long>(seconds),
                             static_cast<long long>(micros - seconds * 1000000));
}

QString idText(const MonitorRecord &r)
{
    return r.extended ? QString::asprintf("%08X", r.id & 0x1FFFFFFFu)
                      : QString::asprintf("%03X", r.id & 0x7FFu);
}

QString dlcSuffix(const MonitorRecord &r)
{
    return r.dlc > MaxClassicLength ? QString::asprintf("_%X", r.dlc) : QString();
}

bool isSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Skips blanks; false when there were none.
bool skipSpaces(const char *&p, const char *end)
{
    const char *start = p;
    while (p < end && isSpace(*p))
        ++p;
    return p > start;
}

} // namespace

namespace CandumpLog {

QString formatLine(const LoggedFrame &frame)
{
    const MonitorRecord &r = frame.record;
    QString payload;
    if (r.remote)
        payload = QLatin1Char('R') + (r.dlc ? QString::number(qMin(r.dlc, MaxClassicLength))
                                            : QString());
    else
        payload = QString::fromLatin1(r.data.left(r.shownLength()).toHex().toUpper());
    return timeText(frame.hostMicros) + QStringLiteral(" can") + QString::number(r.channel)
        + QLatin1Char(' ') + idText(r) + QLatin1Char('#') + payload + dlcSuffix(r)
        + (r.sent ? QStringLiteral(" T") : QStringLiteral(" R"));
}

bool parseLine(const QString &line, LoggedFrame *frame)
{
    // A character outside Latin-1 becomes "?", which no field accepts.
    const QByteArray bytes = line.toLatin1();
    return parseLine(bytes.constData(), bytes.constData() + bytes.size(), frame);
}

// Scanned by hand rather than with a regular expression: converting a long capture reads
// millions of lines, and this is most of the work.
bool parseLine(const char *p, const char *end, LoggedFrame *frame)
{
    LoggedFrame f;
    MonitorRecord &r = f.record;
    skipSpaces(p, end);
    if (p == end || *p++ != '(')
        return false;
    // At most twelve digits of seconds (any date to come) so the microseconds never overflow.
    qint64 seconds = 0;
    int digits = 0;
    for (; p < end && isDigit(*p); ++p, ++digits)
        seconds = digits < 12 ? seconds * 10 + (*p - '0') : seconds;
    if (digits < 1 || digits > 12 || p == end || *p++ != '.')
        return false;
    qint64 micros = 0;
    for (int i = 0; i < 6; ++i, ++p) {
        if (p == end || !isDigit(*p))
            return false;
        micros = micros * 10 + (*p - '0');
    }
    if (p == end || *p++ != ')' || !skipSpaces(p, end) || end - p < 4
        || std::memcmp(p, "can", 3) != 0 || (p[3] != '0' && p[3] != '1'))
        return false;
    f.hostMicros = seconds * 1000000 + micros;
    r.channel = p[3] - '0';
    p += 4;
    if (!skipSpaces(p, end))
        return false;

    int idDigits = 0;
    for (; p < end && hexValue(*p) >= 0 && idDigits < 9; ++p, ++idDigits)
        r.id = r.id * 16 + quint32(hexValue(*p));
    if ((idDigits != 3 && idDigits != 8) || p == end || *p++ != '#')
        return false;
    r.extended = idDigits == 8;
    if (r.extended ? r.id > 0x1FFFFFFFu : r.id > 0x7FFu)
        return false;

    char data[MaxClassicLength] = {};
    if (p < end && (*p == 'R' || *p == 'r')) {
        r.remote = true;
        if (++p < end && *p >= '0' && *p <= '8')
            r.dlc = *p++ - '0';
    } else {
        for (; p + 1 < end && hexValue(p[0]) >= 0 && hexValue(p[1]) >= 0; p += 2) {
            if (r.dlc == MaxClassicLength)
                return false;
            data[r.dlc++] = char(hexValue(p[0]) * 16 + hexValue(p[1]));
        }
        if (p < end && hexValue(*p) >= 0) // an odd digit
            return false;
    }
    if (p < end && *p == '_') {
        // Only a full eight-byte frame can carry a DLC above 8.
        const int dlc = ++p < end ? hexValue(*p++) : -1;
        if (r.dlc != MaxClassicLength || dlc <= MaxClassicLength)
            return false;
        r.dlc = dlc;
    }
    const char *mark = p;
    if (skipSpaces(p, end) && p < end && (*p == 'R' || *p == 'T'))
        r.sent = *p++ == 'T';
    else
        p = mark;
    skipSpaces(p, end);
    if (p != end)
        return false;
    r.data = QByteArray(data, MaxClassicLength);
    *frame = f;
    return true;
}

QVector<LoggedFrame> parse(const QString &text, int *badLines)
{
    QVector<LoggedFrame> frames;
    int bad = 0;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (line.trimmed().isEmpty())
            continue;
        LoggedFrame f;
        if (parseLine(line, &f))
            frames.append(f);
        else
            ++bad;
    }
    if (badLines)
        *badLines = bad;
    return frames;
}

QString formatConsoleLine(const LoggedFrame &frame)
{
    const MonitorRecord &r = frame.record;
    QString text = timeText(frame.hostMicros) + QStringLiteral("  can")
        + QString::number(r.channel) + QStringLiteral("  ")
        + idText(r) + QStringLiteral("   [")
        + QString::number(r.dlc) + QStringLiteral("] ");
    if (r.remote) {
        text += QStringLiteral(" remote request");
    } else {
        const QByteArray shown = r.data.left(r.shownLength());
        for (char b : shown)
            text += QString::asprintf(" %02X", static_cast<unsigned char>(b));
    }
    return text + (r.sent ? QStringLiteral("  TX") : QString());
}

} // namespace CandumpLog
