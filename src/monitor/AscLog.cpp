#include "monitor/AscLog.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QStringList>

namespace {

// English names whatever the locale: readers match them literally.
const char *const Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char *const Days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

QString dateText(qint64 startMicros)
{
    const QDateTime t = QDateTime::fromMSecsSinceEpoch(startMicros / 1000, Qt::LocalTime);
    const QDate d = t.date();
    const QTime c = t.time();
    const int hour12 = c.hour() % 12 == 0 ? 12 : c.hour() % 12;
    return QString::asprintf("%s %s %02d %02d:%02d:%02d.%03d %s %d", Days[d.dayOfWeek() - 1],
                             Months[d.month() - 1], d.day(), hour12, c.minute(), c.second(),
                             c.msec(), c.hour() < 12 ? "am" : "pm", d.year());
}

// Parses dateText's layout (the seconds' fraction optional); -1 when it is not one.
qint64 parseDate(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^\\w+\\s+(\\w{3})\\s+(\\d{1,2})\\s+(\\d{1,2}):(\\d{2}):(\\d{2})(?:\\.(\\d{1,3}))?"
        "\\s+(am|pm)\\s+(\\d{4})$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = pattern.match(text.trimmed());
    if (!m.hasMatch())
        return -1;
    int month = 0;
    for (int i = 0; i < 12; ++i) {
        if (m.captured(1).compare(QLatin1String(Months[i]), Qt::CaseInsensitive) == 0)
            month = i + 1;
    }
    int hour = m.captured(3).toInt();
    if (month == 0 || hour < 1 || hour > 12)
        return -1;
    hour = hour % 12 + (m.captured(7).compare(QLatin1String("pm"), Qt::CaseInsensitive) == 0
                            ? 12 : 0);
    const QDate date(m.captured(8).toInt(), month, m.captured(2).toInt());
    const QTime time(hour, m.captured(4).toInt(), m.captured(5).toInt(),
                     m.captured(6).leftJustified(3, QLatin1Char('0')).toInt());
    if (!date.isValid() || !time.isValid())
        return -1;
    return QDateTime(date, time, Qt::LocalTime).toMSecsSinceEpoch() * 1000;
}

} // namespace

namespace AscLog {

qint64 measurementStart(qint64 hostMicros)
{
    return hostMicros - ((hostMicros % 1000) + 1000) % 1000;
}

QString header(qint64 startMicros)
{
    const QString date = dateText(measurementStart(startMicros));
    return QStringLiteral("date ") + date + QStringLiteral("\n"
                                                           "base hex  timestamps absolute\n"
                                                           "internal events logged\n"
                                                           "Begin Triggerblock ")
        + date + QStringLiteral("\n   0.000000 Start of measurement\n");
}

QString formatLine(const LoggedFrame &frame, qint64 startMicros)
{
    const MonitorRecord &r = frame.record;
    const qint64 rel = qMax<qint64>(0, frame.hostMicros - measurementStart(startMicros));
    QString id = QString::asprintf("%X", r.id & (r.extended ? 0x1FFFFFFFu : 0x7FFu));
    if (r.extended)
        id += QLatin1Char('x');
    QString text = QString::asprintf("%4lld.%06lld %d  ", static_cast<long long>(rel / 1000000),
                                     static_cast<long long>(rel % 1000000), r.channel + 1)
        + id.leftJustified(15, QLatin1Char(' ')) + QLatin1Char(' ')
        + (r.sent ? QStringLiteral("Tx") : QStringLiteral("Rx")) + QStringLiteral("   ")
        + (r.remote ? QStringLiteral("r ") : QStringLiteral("d ")) + QString::number(r.dlc, 16).toUpper();
    if (!r.remote) {
        const QByteArray shown = r.data.left(r.shownLength());
        for (char b : shown)
            text += QString::asprintf(" %02X", static_cast<unsigned char>(b));
    }
    return text;
}

QString footer()
{
    return QStringLiteral("End TriggerBlock\n");
}

bool parse(const QString &text, QVector<LoggedFrame> *frames, int *badLines)
{
    // At most twelve digits of seconds, as in candump logs, so the sum cannot overflow.
    static const QRegularExpression frameLine(QStringLiteral(
        "^(\\d{1,12})\\.(\\d{6})\\s+([12])\\s+([0-9A-Fa-f]{1,8})(x?)\\s+(Rx|Tx)\\s+"
        "(?:d\\s+([0-9A-Fa-f])((?:\\s+[0-9A-Fa-f]{2}){0,8})|r(?:\\s+([0-9A-Fa-f]))?)$"));
    static const QRegularExpression dateLine(QStringLiteral("^date\\s+(.+)$"));
    static const QRegularExpression eventLine(QStringLiteral("^\\d+\\.\\d+\\s+\\D"));

    frames->clear();
    int bad = 0;
    qint64 start = -1;
    bool inBlock = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (!inBlock) {
            const QRegularExpressionMatch d = dateLine.match(line);
            if (d.hasMatch())
                start = parseDate(d.captured(1));
            inBlock = line.startsWith(QLatin1String("Begin Triggerblock"), Qt::CaseInsensitive);
            continue;
        }
        if (line.isEmpty() || line.startsWith(QLatin1String("//"))
            || line.startsWith(QLatin1String("End TriggerBlock"), Qt::CaseInsensitive))
            continue;
        const QRegularExpressionMatch m = frameLine.match(line);
        if (!m.hasMatch()) {
            if (!eventLine.match(line).hasMatch()) // "Start of measurement" and the like
                ++bad;
            continue;
        }
        LoggedFrame f;
        MonitorRecord &r = f.record;
        f.hostMicros = start + m.captured(1).toLongLong() * 1000000 + m.captured(2).toLongLong();
        r.channel = m.captured(3).toInt() - 1;
        r.extended = !m.captured(5).isEmpty();
        r.id = m.captured(4).toUInt(nullptr, 16);
        r.sent = m.captured(6) == QLatin1String("Tx");
        r.remote = m.captured(7).isEmpty();
        const QByteArray bytes = QByteArray::fromHex(m.captured(8).toLatin1());
        r.dlc = (r.remote ? m.captured(9) : m.captured(7)).toInt(nullptr, 16);
        if ((r.extended ? r.id > 0x1FFFFFFFu : r.id > 0x7FFu)
            || (!r.remote && bytes.size() != qMin(r.dlc, 8))) {
            ++bad;
            continue;
        }
        r.data = bytes.leftJustified(8, '\0');
        frames->append(f);
    }
    if (badLines)
        *badLines = bad;
    return start >= 0;
}

} // namespace AscLog
