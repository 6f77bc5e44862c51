#include "monitor/JsonLines.h"

#include "dbc/DbcText.h"

#include <charconv>

namespace {

const char Hex[] = "0123456789ABCDEF";

template <typename Int>
void appendInt(QByteArray *out, Int value)
{
    char digits[24];
    out->append(digits, int(std::to_chars(digits, digits + sizeof digits, value).ptr - digits));
}

// Integer arithmetic, so no microsecond is lost to rounding and no exponent appears.
void appendSeconds(QByteArray *out, qint64 micros)
{
    if (micros < 0)
        out->append('-');
    const quint64 magnitude = micros < 0 ? 0 - quint64(micros) : quint64(micros);
    appendInt(out, magnitude / 1000000);
    const quint64 fraction = magnitude % 1000000;
    char digits[7] = {'.'};
    for (int i = 6, f = int(fraction); i > 0; --i, f /= 10)
        digits[i] = char('0' + f % 10);
    out->append(digits, 7);
}

void appendBool(QByteArray *out, bool value)
{
    out->append(value ? "true" : "false");
}

} // namespace

namespace JsonLines {

void appendString(QByteArray *out, const QString &text)
{
    out->append('"');
    const QChar *chars = text.constData();
    const int size = text.size();
    for (int i = 0; i < size;) {
        const ushort c = chars[i].unicode();
        if (c >= 0x80) {
            int j = i + 1;
            while (j < size && chars[j].unicode() >= 0x80)
                ++j;
            out->append(QString(chars + i, j - i).toUtf8());
            i = j;
            continue;
        }
        if (c == '"' || c == '\\') {
            out->append('\\').append(char(c));
        } else if (c < 0x20) {
            const char escape[] = {'\\', 'u', '0', '0', Hex[c >> 4], Hex[c & 15]};
            out->append(escape, 6);
        } else {
            out->append(char(c));
        }
        ++i;
    }
    out->append('"');
}

void appendFrame(QByteArray *out, const LoggedFrame &frame, const DbcMessage *message,
                 const QVector<DbcValue> &values)
{
    const MonitorRecord &r = frame.record;
    out->append("{\"t\":");
    appendSeconds(out, frame.hostMicros);
    out->append(",\"ch\":");
    appendInt(out, r.channel);
    out->append(",\"id\":");
    appendInt(out, r.id);
    out->append(",\"ext\":");
    appendBool(out, r.extended);
    out->append(",\"rtr\":");
    appendBool(out, r.remote);
    out->append(",\"dlc\":");
    appendInt(out, r.dlc);
    out->append(",\"data\":\"");
    const int length = r.remote ? 0 : qMin(r.shownLength(), int(r.data.size()));
    for (int i = 0; i < length; ++i) {
        const uchar b = uchar(r.data.at(i));
        out->append(Hex[b >> 4]).append(Hex[b & 15]);
    }
    out->append('"');
    if (message) {
        out->append(",\"msg\":");
        appendString(out, message->name);
        out->append(",\"signals\":{");
        char number[DbcNumberTextSize];
        bool labels = false;
        for (int i = 0; i < values.size(); ++i) {
            const DbcValue &v = values.at(i);
            if (i > 0)
                out->append(',');
            appendString(out, v.signal->name);
            out->append(':');
            const int n = dbcNumberText(v, number);
            if (n > 0)
                out->append(number, n);
            else
                out->append("null");
            labels = labels || !v.text.isEmpty();
        }
        out->append('}');
        if (labels) {
            out->append(",\"labels\":{");
            bool first = true;
            for (const DbcValue &v : values) {
                if (v.text.isEmpty())
                    continue;
                if (!first)
                    out->append(',');
                first = false;
                appendString(out, v.signal->name);
                out->append(':');
                appendString(out, v.text);
            }
            out->append('}');
        }
    }
    out->append("}\n");
}

} // namespace JsonLines
