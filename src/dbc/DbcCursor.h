#pragma once
// The tokens of a DBC file, read from a cursor that counts lines. Each reader skips the
// space before its token: line ends too while `spanLines` is set (statements ended by
// ";" may span lines), otherwise only blanks, so that an error names the statement's own
// line. A reader that fails sets `error` to "line N: expected ..." and returns false.

#include <QString>

class DbcCursor {
public:
    explicit DbcCursor(const QString &text) : m_text(text) {}

    QString error;
    bool spanLines = false;

    int line() const { return m_line; }
    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_text.at(m_pos); }
    void take();  // one character, counting line ends
    void skipSpace();
    bool atLineEnd();  // after blanks
    // Lookahead: where the cursor is, to come back to.
    struct Mark {
        int pos;
        int line;
    };
    Mark mark() const { return {m_pos, m_line}; }
    void reset(Mark mark) { m_pos = mark.pos, m_line = mark.line; }

    bool fail(const QString &expected, int line = 0);
    bool word(QString *out);  // a name right at the cursor; false, and no error, if none
    bool name(QString *out, const char *what);
    bool accept(char c);      // the character if it comes next
    bool expect(char c);
    bool number(quint64 *out, quint64 max, const char *what);
    bool integer(qint64 *out, const char *what);  // -2^63 to 2^64 - 1, kept as its bits
    bool real(double *out, const char *what);     // always in the C locale
    bool string(QString *out);  // "text", \" and \\ escaped; it may span lines

private:
    void skip();

    const QString m_text;
    int m_pos = 0;
    int m_line = 1;
};
