#include "monitor/CandumpLog.h"

#include <QRegularExpression>

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
    // At most twelve digits of seconds (any date to come) so the microseconds never overflow.
    static const QRegularExpression pattern(QStringLiteral(
        "^\\s*\\((\\d{1,12})\\.(\\d{6})\\)\\s+can([01])\\s+([0-9A-Fa-f]{3}|[0-9A-Fa-f]{8})#"
        "(?:([Rr])([0-8])?|((?:[0-9A-Fa-f]{2}){0,8}))(?:_([0-9A-Fa-f]))?"
        "(?:\\s+([RT]))?\\s*$"));
    const QRegularExpressionMatch m = pattern.match(line);
    if (!m.hasMatch())
        return false;

    LoggedFrame f;
    MonitorRecord &r = f.record;
    f.hostMicros = m.captured(1).toLongLong() * 1000000 + m.captured(2).toLongLong();
    r.channel = m.captured(3).toInt();
    const QString id = m.captured(4);
    r.extended = id.size() == 8;
    r.id = id.toUInt(nullptr, 16);
    if (r.extended ? r.id > 0x1FFFFFFFu : r.id > 0x7FFu)
        return false;
    r.remote = !m.captured(5).isEmpty();
    const QByteArray bytes = QByteArray::fromHex(m.captured(7).toLatin1());
    r.dlc = r.remote ? m.captured(6).toInt() : bytes.size();
    if (!m.captured(8).isEmpty()) {
        // Only a full eight-byte frame can carry a DLC above 8.
        const int dlc = m.captured(8).toInt(nullptr, 16);
        if (r.dlc != MaxClassicLength || dlc <= MaxClassicLength)
            return false;
        r.dlc = dlc;
    }
    r.data = bytes.leftJustified(MaxClassicLength, '\0');
    r.sent = m.captured(9) == QLatin1String("T");
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
