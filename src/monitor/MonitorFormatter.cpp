#include "monitor/MonitorFormatter.h"

#include <QCoreApplication>

#include <charconv>

namespace {

const char HexDigits[] = "0123456789abcdef";

void appendHex(QString &out, quint8 byte)
{
    out += QLatin1Char(HexDigits[byte >> 4]);
    out += QLatin1Char(HexDigits[byte & 0x0F]);
}

// A byte as a character of its own: control codes would break the line (or the log
// file) apart, so they show as a dot.
QChar shownCharacter(quint8 byte)
{
    if (byte < 0x20 || (byte >= 0x7F && byte < 0xA0))
        return QLatin1Char('.');
    return QChar::fromLatin1(char(byte));
}

} // namespace

void appendMonitorLine(QString &line, qint64 number, const MonitorRecord &r,
                       const MonitorNames &names, int displayMode)
{
    // Written without temporaries: a save formats hundreds of thousands of lines.
    char digits[24];
    const char *numberEnd = std::to_chars(digits, digits + sizeof digits, number).ptr;
    const int length = int(qMin<qptrdiff>(numberEnd - digits, 9));
    line += QLatin1String(digits, length);
    for (int i = length; i < 9; ++i)
        line += QLatin1Char(' ');
    line += QLatin1Char(' ');
    line += names.direction[r.sent ? 1 : 0];
    line += QLatin1String("      ");
    line += QLatin1Char(r.channel ? '1' : '0');
    line += QLatin1String("    0x");
    for (int shift = 24; shift >= 0; shift -= 8)
        appendHex(line, quint8(r.timeStamp >> shift));
    line += QLatin1String("   ");
    line += names.frameFormat[r.remote ? 1 : 0];
    line += QLatin1String("  ");
    line += names.frameType[r.extended ? 1 : 0];
    line += QLatin1String("   ");
    for (int shift = 24; shift >= 0; shift -= 8) {
        appendHex(line, quint8(r.id >> shift));
        if (shift)
            line += QLatin1Char(' ');
    }
    line += QLatin1String("   ");
    const char *dlcEnd = std::to_chars(digits, digits + sizeof digits, r.remote ? 0 : r.dlc).ptr;
    line += QLatin1String(digits, int(dlcEnd - digits));
    line += QLatin1String("   ");
    const int shown = r.remote ? 0 : r.shownLength();
    for (int i = 0; i < shown; ++i) {
        const auto byte = quint8(r.data.at(i));
        if (displayMode == DisplayAsc) {
            line += shownCharacter(byte);
            line += QLatin1Char(' ');
        } else {
            appendHex(line, byte);
            if (i + 1 < shown) // the last item's blank is cut off
                line += QLatin1Char(' ');
        }
    }
}

QString formatMonitorLine(qint64 number, const MonitorRecord &r, const MonitorNames &names,
                          int displayMode)
{
    QString line;
    line.reserve(96);
    appendMonitorLine(line, number, r, names, displayMode);
    return line;
}

QString monitorHeader(const QStringList &columns, bool atLanguageChange)
{
    const auto column = [&columns](int i) { return i < columns.size() ? columns.at(i) : QString(); };
    QString h = QStringLiteral("<font size='3'>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;");
    h += column(0) + QStringLiteral("&nbsp;");
    h += column(1) + QStringLiteral("&nbsp;");
    h += column(2) + QStringLiteral(" &nbsp;&nbsp;");
    h += column(3) + QStringLiteral(" &nbsp;");
    h += column(4);
    h += atLanguageChange ? QStringLiteral("&nbsp;&nbsp;&nbsp;") : QStringLiteral("&nbsp;&nbsp;");
    h += column(5);
    h += atLanguageChange ? QStringLiteral("&nbsp;&nbsp;&nbsp;DLC &nbsp;&nbsp;&nbsp;")
                          : QStringLiteral("&nbsp;&nbsp;&nbsp;&nbsp;DLC &nbsp;&nbsp;&nbsp;");
    h += column(6) + QStringLiteral("</font>");
    return h;
}

MonitorNames translatedMonitorNames()
{
    const auto tr = [](const char *text) {
        return QCoreApplication::translate("DataMonitorWidget", text);
    };
    MonitorNames names;
    names.frameFormat[0] = tr(QT_TRANSLATE_NOOP("DataMonitorWidget", "数据帧"));
    names.frameFormat[1] = tr(QT_TRANSLATE_NOOP("DataMonitorWidget", "远程帧"));
    names.frameType[0] = tr(QT_TRANSLATE_NOOP("DataMonitorWidget", "标准帧"));
    names.frameType[1] = tr(QT_TRANSLATE_NOOP("DataMonitorWidget", "扩展帧"));
    names.direction[0] = tr(QT_TRANSLATE_NOOP("DataMonitorWidget", "接收"));
    names.direction[1] = tr(QT_TRANSLATE_NOOP("DataMonitorWidget", "发送"));
    return names;
}
