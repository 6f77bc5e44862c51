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

// Parses dateText's layout, or the 24-hour one log2asc writes ("Sat Dec  6 05:46:40 2025");
// the seconds' fraction is optional in both.
bool parseDate(const QString &text, qint64 *micros)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^\\w+\\s+(\\w{3})\\s+(\\d{1,2})\\s+(\\d{1,2}):(\\d{2}):(\\d{2})(?:\\.(\\d{1,3}))?"
        "(?:\\s+(am|pm))?\\s+(\\d{4})$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = pattern.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    int month = 0;
    for (int i = 0; i < 12; ++i) {
        if (m.captured(1).compare(QLatin1String(Months[i]), Qt::CaseInsensitive) == 0)
            month = i + 1;
    }
    int hour = m.captured(3).toInt();
    const QString half = m.captured(7);
    if (month == 0 || (half.isEmpty() ? hour > 23 : hour < 1 || hour > 12))
        return false;
    if (!half.isEmpty())
        hour = hour % 12 + (half.compare(QLatin1String("pm"), Qt::CaseInsensitive) == 0 ? 12 : 0);
    const QDate date(m.captured(8).toInt(), month, m.captured(2).toInt());
    const QTime time(hour, m.captured(4).toInt(), m.captured(5).toInt(),
                     m.captured(6).leftJustified(3, QLatin1Char('0')).toInt());
    if (!date.isValid() || !time.isValid())
        return false;
    *micros = QDateTime(date, time, Qt::LocalTime).toMSecsSinceEpoch() * 1000;
    return true;
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

Reader::Line Reader::read(const QString &text, LoggedFrame *frame, QString *why)
{
    // At most twelve digits of seconds, as in candump logs, so the sum cannot overflow.
    // Vector's tools may append "Length = ... BitCount = ..." after the data bytes.
    static const QRegularExpression frameLine(QStringLiteral(
        "^(\\d{1,12})\\.(\\d{6})\\s+([12])\\s+([0-9A-Fa-f]{1,8})(x?)\\s+(Rx|Tx)\\s+"
        "(?:d\\s+([0-9A-Fa-f])((?:\\s+[0-9A-Fa-f]{2}){0,8})|r(?:\\s+([0-9A-Fa-f]))?)"
        "(?:\\s+[A-Za-z].*)?$"));
    static const QRegularExpression dateLine(QStringLiteral("^date\\s+(.+)$"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression baseLine(
        QStringLiteral("^base\\s+(\\S+)(?:\\s+timestamps\\s+(\\S+))?"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression blockLine(QStringLiteral("^begin\\s+triggerblock(?:\\s+(.+))?$"),
                                              QRegularExpression::CaseInsensitiveOption);
    // A time, then the channel (a number) or an event's first word.
    static const QRegularExpression timedLine(QStringLiteral("^\\d+\\.\\d+\\s+(\\S+)(?:\\s+(\\S+))?"));

    auto bad = [why](const char *reason) {
        if (why)
            *why = QString::fromLatin1(reason);
        return Line::Bad;
    };
    const QString line = text.trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1String("//")))
        return Line::Other;
    if (line.startsWith(QLatin1String("End TriggerBlock"), Qt::CaseInsensitive)) {
        m_inBlock = false;
        return Line::Other;
    }
    QRegularExpressionMatch m = dateLine.match(line);
    if (m.hasMatch()) {
        if (!parseDate(m.captured(1), &m_start))
            return bad("a date in an unknown layout");
        m_dated = true;
        return Line::Other;
    }
    m = baseLine.match(line);
    if (m.hasMatch()) {
        if (m.captured(1).compare(QLatin1String("hex"), Qt::CaseInsensitive) != 0)
            return bad("only hexadecimal identifiers and data (\"base hex\") are read");
        if (!m.captured(2).isEmpty()
            && m.captured(2).compare(QLatin1String("absolute"), Qt::CaseInsensitive) != 0)
            return bad("only absolute time stamps are read");
        return Line::Other;
    }
    m = blockLine.match(line);
    if (m.hasMatch()) {
        m_inBlock = true;
        if (m.captured(1).isEmpty())
            return Line::Other;
        if (!parseDate(m.captured(1), &m_start))
            return bad("a date in an unknown layout");
        m_dated = true;
        return Line::Other;
    }
    m = frameLine.match(line);
    if (m.hasMatch()) {
        if (!m_dated)
            return bad("a frame before the file's date");
        LoggedFrame f;
        MonitorRecord &r = f.record;
        f.hostMicros = m_start + m.captured(1).toLongLong() * 1000000 + m.captured(2).toLongLong();
        r.channel = m.captured(3).toInt() - 1;
        r.extended = !m.captured(5).isEmpty();
        r.id = m.captured(4).toUInt(nullptr, 16);
        r.sent = m.captured(6) == QLatin1String("Tx");
        r.remote = m.captured(7).isEmpty();
        const QByteArray bytes = QByteArray::fromHex(m.captured(8).toLatin1());
        r.dlc = (r.remote ? m.captured(9) : m.captured(7)).toInt(nullptr, 16);
        if (r.extended ? r.id > 0x1FFFFFFFu : r.id > 0x7FFu)
            return bad("an identifier too large for its kind");
        if (!r.remote && bytes.size() != qMin(r.dlc, 8))
            return bad("a data frame whose bytes do not match its DLC");
        r.data = bytes.leftJustified(8, '\0');
        *frame = f;
        return Line::Frame;
    }
    m = timedLine.match(line);
    if (m.hasMatch()) {
        if (m.captured(1).compare(QLatin1String("CANFD"), Qt::CaseInsensitive) == 0)
            return bad("CAN FD frames are not read");
        if (!m.captured(1).at(0).isDigit()) // "Start of measurement" and other events
            return Line::Other;
        if (m.captured(2).compare(QLatin1String("ErrorFrame"), Qt::CaseInsensitive) == 0)
            return Line::Other; // no frame to keep: error frames carry no identifier or data
        return bad("not a frame of channel 1 or 2 in a known layout");
    }
    return m_inBlock ? bad("neither a frame nor an event") : Line::Other;
}

bool parse(const QString &text, QVector<LoggedFrame> *frames, int *badLines)
{
    frames->clear();
    Reader reader;
    int bad = 0;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        LoggedFrame f;
        switch (reader.read(line, &f)) {
        case Reader::Line::Frame: frames->append(f); break;
        case Reader::Line::Bad: ++bad; break;
        case Reader::Line::Other: break;
        }
    }
    if (badLines)
        *badLines = bad;
    return reader.dated();
}

} // namespace AscLog
