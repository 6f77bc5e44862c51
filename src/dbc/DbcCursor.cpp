#include "dbc/DbcCursor.h"

namespace {
bool isWordChar(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '_';
}
} // namespace

void DbcCursor::take()
{
    if (peek() == QLatin1Char('\n'))
        ++m_line;
    ++m_pos;
}

void DbcCursor::skipSpace()
{
    while (peek().isSpace())
        take();
}

bool DbcCursor::atLineEnd()
{
    while (peek() != QLatin1Char('\n') && peek().isSpace())
        take();
    return atEnd() || peek() == QLatin1Char('\n');
}

void DbcCursor::skip()
{
    if (spanLines)
        skipSpace();
    else
        atLineEnd();
}

bool DbcCursor::fail(const QString &expected, int line)
{
    error = QStringLiteral("line %1: expected %2").arg(line ? line : m_line).arg(expected);
    return false;
}

// Real files begin some names with a digit, which C identifiers may not.
bool DbcCursor::word(QString *out)
{
    const int begin = m_pos;
    while (isWordChar(peek()))
        take();
    *out = m_text.mid(begin, m_pos - begin);
    return m_pos > begin;
}

bool DbcCursor::name(QString *out, const char *what)
{
    skip();
    return word(out) || fail(QLatin1String(what));
}

bool DbcCursor::accept(char c)
{
    skip();
    if (peek() != QLatin1Char(c))
        return false;
    take();
    return true;
}

bool DbcCursor::expect(char c)
{
    return accept(c) || fail(QStringLiteral("\"%1\"").arg(QLatin1Char(c)));
}

bool DbcCursor::number(quint64 *out, quint64 max, const char *what)
{
    skip();
    quint64 value = 0;
    const int begin = m_pos;
    for (; peek().isDigit(); take()) {
        const quint64 digit = quint64(peek().digitValue());
        if (digit > max || value > (max - digit) / 10)
            return fail(QLatin1String(what));
        value = value * 10 + digit;
    }
    *out = value;
    return m_pos > begin || fail(QLatin1String(what));
}

bool DbcCursor::integer(qint64 *out, const char *what)
{
    const bool negative = accept('-');
    quint64 value;
    if (!number(&value, negative ? quint64(1) << 63 : ~quint64(0), what))
        return false;
    *out = qint64(negative ? 0 - value : value);
    return true;
}

bool DbcCursor::real(double *out, const char *what)
{
    skip();
    const int begin = m_pos;
    while (!atEnd() && QStringLiteral("0123456789.eE+-").contains(peek()))
        take();
    bool ok;
    *out = m_text.midRef(begin, m_pos - begin).toDouble(&ok);
    return (ok && qIsFinite(*out)) || fail(QLatin1String(what));
}

bool DbcCursor::string(QString *out)
{
    skip();
    const int startLine = m_line;
    if (!accept('"'))
        return fail(QStringLiteral("a quoted string"));
    out->clear();
    for (; !atEnd(); take()) {
        if (peek() == QLatin1Char('"')) {
            take();
            return true;
        }
        if (peek() == QLatin1Char('\\') && m_pos + 1 < m_text.size()
            && QStringLiteral("\"\\").contains(m_text.at(m_pos + 1)))
            take();
        out->append(peek());
    }
    return fail(QStringLiteral("\" to close the string"), startLine);
}
