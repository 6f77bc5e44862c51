#include "dbc/DbcParser.h"

#include <QFile>
#include <QSet>
#include <QTextCodec>

#include <algorithm>
#include <climits>

namespace {

constexpr quint32 ExtendedBit = 0x80000000u;
constexpr quint32 MaxStandardId = 0x7FF;

// Sections that decoding does not need, read past up to their ";".
const QSet<QString> &skippedToSemicolon()
{
    static const QSet<QString> words = {
        "BA_DEF_", "BA_", "BA_DEF_DEF_", "BA_DEF_REL_", "BA_REL_", "BA_DEF_DEF_REL_",
        "BA_DEF_SGTYPE_", "BA_SGTYPE_", "VAL_TABLE_", "SIG_GROUP_", "EV_", "ENVVAR_DATA_",
        "EV_DATA_", "SGTYPE_", "SGTYPE_VAL_", "SIG_TYPE_REF_", "SIGTYPE_VALTYPE_",
        "SG_MUL_VAL_", "BO_TX_BU_", "BU_SG_REL_", "BU_EV_REL_", "BU_BO_REL_", "CAT_DEF_",
        "CAT_", "FILTER", "NS_DESC_"};
    return words;
}

// Sections that end with their line.
const QSet<QString> &skippedToLineEnd()
{
    static const QSet<QString> words = {"VERSION", "BS_", "BU_"};
    return words;
}

bool isKeyword(const QString &word)
{
    static const QSet<QString> read = {"BO_", "SG_", "CM_", "VAL_", "SIG_VALTYPE_", "NS_"};
    return read.contains(word) || skippedToSemicolon().contains(word)
        || skippedToLineEnd().contains(word);
}

bool isWordChar(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '_';
}

// DBC files come in UTF-8 or, from older tools, in Windows-1252.
QString dbcText(const QByteArray &bytes)
{
    QTextCodec::ConverterState state;
    const QString text = QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(),
                                                                      bytes.size(), &state);
    if (state.invalidChars == 0)
        return text;
    if (QTextCodec *codec = QTextCodec::codecForName("Windows-1252"))
        return codec->toUnicode(bytes);
    return QString::fromLatin1(bytes);
}

// One pass over the text. Each reading function skips the space before its token: within
// CM_, VAL_ and SIG_VALTYPE_, which end with ";", line ends too; elsewhere (BO_ and SG_
// end with their line) only blanks, so an error names the statement's own line. On failure `error` holds the one message.
class DbcReader {
public:
    explicit DbcReader(const QString &text) : m_text(text) {}
    bool read();

    QVector<DbcMessage> messages;
    QString error;

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_text.at(m_pos); }
    void skipBlanks();
    void skipSpace();
    void skip() { m_spanLines ? skipSpace() : skipBlanks(); }
    bool atLineEnd();
    bool fail(const QString &expected, int line = 0);

    bool word(QString *out);
    bool name(QString *out, const QString &what);
    bool expect(char c);
    bool number(quint64 *out, quint64 max, const QString &what);
    bool integer(qint64 *out, const QString &what);
    bool real(double *out, const QString &what);
    bool string(QString *out);

    bool skipStatement(const QString &keyword, bool toSemicolon, int line);
    bool namespaces(int line);
    bool message(int line);
    bool signal(int line);
    bool role(DbcSignal *signal);
    bool closeMessage();
    bool comment();
    bool values();
    bool valueType(int line);
    DbcMessage *findMessage(quint64 rawId);
    DbcSignal *findSignal(DbcMessage *message, const QString &name);

    const QString m_text;
    int m_pos = 0;
    int m_line = 1;
    bool m_spanLines = true;
    QHash<quint32, int> m_byRawId;
    int m_current = -1;        // the message that SG_ lines extend
    int m_firstMuxedLine = 0;  // its first mN signal's line, 0 when it has none
};

void DbcReader::skipBlanks()
{
    while (!atEnd() && peek() != QLatin1Char('\n') && peek().isSpace())
        ++m_pos;
}

void DbcReader::skipSpace()
{
    for (; !atEnd() && peek().isSpace(); ++m_pos) {
        if (peek() == QLatin1Char('\n'))
            ++m_line;
    }
}

bool DbcReader::atLineEnd()
{
    skipBlanks();
    return atEnd() || peek() == QLatin1Char('\n');
}

bool DbcReader::fail(const QString &expected, int line)
{
    error = QStringLiteral("line %1: expected %2").arg(line ? line : m_line).arg(expected);
    return false;
}

// A name at the cursor, without skipping anything first. Real files begin some names with
// a digit, which C identifiers may not.
bool DbcReader::word(QString *out)
{
    const int begin = m_pos;
    if (atEnd() || !isWordChar(peek()))
        return false;
    while (!atEnd() && isWordChar(peek()))
        ++m_pos;
    *out = m_text.mid(begin, m_pos - begin);
    return true;
}

bool DbcReader::name(QString *out, const QString &what)
{
    skip();
    return word(out) || fail(what);
}

bool DbcReader::expect(char c)
{
    skip();
    if (peek() != QLatin1Char(c))
        return fail(QStringLiteral("\"%1\"").arg(QLatin1Char(c)));
    ++m_pos;
    return true;
}

bool DbcReader::number(quint64 *out, quint64 max, const QString &what)
{
    skip();
    if (!peek().isDigit())
        return fail(what);
    quint64 value = 0;
    for (; !atEnd() && peek().isDigit(); ++m_pos) {
        const int digit = peek().digitValue();
        if (quint64(digit) > max || value > (max - quint64(digit)) / 10)
            return fail(what);
        value = value * 10 + quint64(digit);
    }
    *out = value;
    return true;
}

// A value-table key: -2^63 to 2^64 - 1, the larger ones kept as the bits they read as.
bool DbcReader::integer(qint64 *out, const QString &what)
{
    skip();
    const bool negative = peek() == QLatin1Char('-');
    m_pos += negative;
    quint64 value;
    if (!number(&value, negative ? quint64(1) << 63 : ~quint64(0), what))
        return false;
    *out = qint64(negative ? 0 - value : value);
    return true;
}

bool DbcReader::real(double *out, const QString &what)
{
    skip();
    const int begin = m_pos;
    while (!atEnd() && QStringLiteral("0123456789.eE+-").contains(peek()))
        ++m_pos;
    bool ok;
    *out = m_text.midRef(begin, m_pos - begin).toDouble(&ok);  // always the C locale
    return (ok && qIsFinite(*out)) || fail(what);
}

// "text", with \" and \\ for a quote and a backslash; it may span lines.
bool DbcReader::string(QString *out)
{
    skip();
    if (peek() != QLatin1Char('"'))
        return fail(QStringLiteral("a quoted string"));
    const int startLine = m_line;
    out->clear();
    for (++m_pos; !atEnd(); ++m_pos) {
        QChar c = peek();
        if (c == QLatin1Char('"')) {
            ++m_pos;
            return true;
        }
        if (c == QLatin1Char('\\') && m_pos + 1 < m_text.size()
            && (m_text.at(m_pos + 1) == QLatin1Char('"') || m_text.at(m_pos + 1) == QLatin1Char('\\')))
            c = m_text.at(++m_pos);
        else if (c == QLatin1Char('\n'))
            ++m_line;
        out->append(c);
    }
    return fail(QStringLiteral("\" to close the string"), startLine);
}

// Reads past a section. One ended by ";" must not run into the next statement: a line
// that starts with a keyword means its ";" is missing.
bool DbcReader::skipStatement(const QString &keyword, bool toSemicolon, int line)
{
    const QString missing = QStringLiteral("\";\" to end %1").arg(keyword);
    while (!atEnd()) {
        const QChar c = peek();
        if (c == QLatin1Char('"')) {
            QString ignored;
            if (!string(&ignored))
                return false;
            continue;
        }
        ++m_pos;
        if (c == QLatin1Char(';') && toSemicolon)
            return true;
        if (c == QLatin1Char('\n')) {
            ++m_line;
            if (!toSemicolon)
                return true;
            const int pos = m_pos;
            skipBlanks();
            QString next;
            const bool statement = word(&next) && isKeyword(next);
            m_pos = pos;
            if (statement)
                return fail(missing, line);
        }
    }
    return !toSemicolon || fail(missing, line);
}

// "NS_ :" and the names of new symbols, one to a line, which are keywords themselves.
bool DbcReader::namespaces(int line)
{
    if (!expect(':') || !skipStatement(QStringLiteral("NS_"), false, line))
        return false;
    for (;;) {
        const int pos = m_pos;
        const int lineNo = m_line;
        skipSpace();
        QString entry;
        if (word(&entry) && atLineEnd())
            continue;
        m_pos = pos;
        m_line = lineNo;
        return true;
    }
}

// BO_ 2566844926 Name: 8 Transmitter
bool DbcReader::message(int line)
{
    DbcMessage m;
    quint64 rawId;
    quint64 dlc;
    if (!number(&rawId, 0xFFFFFFFF, QStringLiteral("a message identifier"))
        || !name(&m.name, QStringLiteral("a message name")) || !expect(':')
        || !number(&dlc, INT_MAX, QStringLiteral("a DLC"))
        || !name(&m.transmitter, QStringLiteral("a transmitter name")))
        return false;
    if (!atLineEnd())
        return fail(QStringLiteral("the end of the line"));
    m.extended = rawId & ExtendedBit;
    m.id = quint32(rawId) & ~ExtendedBit;
    m.dlc = int(dlc);
    if (!m.extended && m.id > MaxStandardId)
        return fail(QStringLiteral("a standard identifier up to 2047 (bit 31 marks an extended one)"), line);
    if (m_byRawId.contains(quint32(rawId)))
        return fail(QStringLiteral("an identifier that no other message has"), line);
    m_byRawId.insert(quint32(rawId), messages.size());
    m_current = messages.size();
    messages.append(m);
    return true;
}

// SG_ Name [M|mN] : start|length@order sign (factor,offset) [min|max] "unit" receivers
bool DbcReader::signal(int line)
{
    if (m_current < 0)
        return fail(QStringLiteral("BO_ before SG_"), line);
    DbcSignal s;
    quint64 start;
    quint64 length;
    if (!name(&s.name, QStringLiteral("a signal name")))
        return false;
    skipBlanks();
    if (peek() != QLatin1Char(':') && !role(&s))
        return false;
    if (!expect(':') || !number(&start, 65535, QStringLiteral("a start bit from 0 to 65535"))
        || !expect('|') || !number(&length, 64, QStringLiteral("a length from 1 to 64")))
        return false;
    if (length == 0)
        return fail(QStringLiteral("a length from 1 to 64"));
    if (!expect('@'))
        return false;
    if (peek() != QLatin1Char('0') && peek() != QLatin1Char('1'))
        return fail(QStringLiteral("0 or 1 after \"@\""));
    s.littleEndian = m_text.at(m_pos++) == QLatin1Char('1');
    if (peek() != QLatin1Char('+') && peek() != QLatin1Char('-'))
        return fail(QStringLiteral("\"+\" or \"-\""));
    s.isSigned = m_text.at(m_pos++) == QLatin1Char('-');
    if (!expect('(') || !real(&s.factor, QStringLiteral("a factor")) || !expect(',')
        || !real(&s.offset, QStringLiteral("an offset")) || !expect(')') || !expect('[')
        || !real(&s.minimum, QStringLiteral("a minimum")) || !expect('|')
        || !real(&s.maximum, QStringLiteral("a maximum")) || !expect(']') || !string(&s.unit))
        return false;
    while (!atLineEnd()) {
        if (peek() == QLatin1Char(',')) {
            ++m_pos;
            continue;
        }
        QString receiver;
        if (!name(&receiver, QStringLiteral("a receiver name")))
            return false;
        s.receivers.append(receiver);
    }
    s.startBit = int(start);
    s.length = int(length);

    DbcMessage &m = messages[m_current];
    if (findSignal(&m, s.name))
        return fail(QStringLiteral("a signal name not used before in message %1").arg(m.name), line);
    const auto isMux = [](const DbcSignal &o) { return o.role == DbcSignal::Role::Multiplexer; };
    if (isMux(s) && std::any_of(m.signalList.cbegin(), m.signalList.cend(), isMux))
        return fail(QStringLiteral("one multiplexer (M) per message"), line);
    if (s.role == DbcSignal::Role::Multiplexed && !m_firstMuxedLine)
        m_firstMuxedLine = line;
    m.signalList.append(s);
    return true;
}

// "M" for the multiplexer, "mN" for a signal shown when it reads N.
bool DbcReader::role(DbcSignal *s)
{
    QString mux;
    if (!name(&mux, QStringLiteral("M, mN or \":\"")))
        return false;
    bool ok = false;
    if (mux == QLatin1String("M")) {
        s->role = DbcSignal::Role::Multiplexer;
        return true;
    }
    if (mux.startsWith(QLatin1Char('m')) && mux.size() > 1 && mux.at(1).isDigit()) {
        if (mux.endsWith(QLatin1Char('M')))
            return fail(QStringLiteral("M or mN (mNM, a multiplexed multiplexer, is not supported)"));
        s->multiplexValue = mux.midRef(1).toLongLong(&ok);
        s->role = DbcSignal::Role::Multiplexed;
    }
    return ok || fail(QStringLiteral("M, mN or \":\""));
}

bool DbcReader::closeMessage()
{
    if (m_current >= 0 && m_firstMuxedLine
        && std::none_of(messages[m_current].signalList.cbegin(),
                        messages[m_current].signalList.cend(), [](const DbcSignal &s) {
                            return s.role == DbcSignal::Role::Multiplexer;
                        }))
        return fail(QStringLiteral("a multiplexer (M) in message %1").arg(messages[m_current].name),
                    m_firstMuxedLine);
    m_current = -1;
    m_firstMuxedLine = 0;
    return true;
}

// CM_ BO_ id "text"; CM_ SG_ id name "text"; and, read past, the comments of the file,
// of nodes and of environment variables.
bool DbcReader::comment()
{
    const QString kinds = QStringLiteral("BO_, SG_, BU_, EV_ or a string");
    QString kind;
    QString target;
    QString text;
    quint64 rawId = 0;
    skip();
    if (peek() == QLatin1Char('"'))
        return string(&text) && expect(';');
    if (!name(&kind, kinds))
        return false;
    const bool onMessage = kind == QLatin1String("BO_");
    const bool onSignal = kind == QLatin1String("SG_");
    if (!onMessage && !onSignal && kind != QLatin1String("BU_") && kind != QLatin1String("EV_"))
        return fail(kinds);
    if ((onMessage || onSignal) && !number(&rawId, 0xFFFFFFFF, QStringLiteral("a message identifier")))
        return false;
    if ((!onMessage && !name(&target, QStringLiteral("a name"))) || !string(&text) || !expect(';'))
        return false;
    if (onMessage) {
        if (DbcMessage *m = findMessage(rawId))
            m->comment = text;
    } else if (DbcSignal *s = findSignal(findMessage(rawId), target)) {
        s->comment = text;
    }
    return true;
}

// VAL_ id signal 0 "Off" 1 "On" ; and, read past, those of environment variables.
bool DbcReader::values()
{
    skip();
    const bool onSignal = peek().isDigit();
    quint64 rawId = 0;
    QString target;
    if (onSignal && !number(&rawId, 0xFFFFFFFF, QStringLiteral("a message identifier")))
        return false;
    if (!name(&target, QStringLiteral("a signal name")))
        return false;
    QMap<qint64, QString> table;
    for (;;) {
        skip();
        if (peek() == QLatin1Char(';')) {
            ++m_pos;
            break;
        }
        qint64 value;
        QString text;
        if (!integer(&value, QStringLiteral("a value or \";\"")) || !string(&text))
            return false;
        table.insert(value, text);
    }
    if (DbcSignal *s = onSignal ? findSignal(findMessage(rawId), target) : nullptr)
        s->valueTable = table;
    return true;
}

// SIG_VALTYPE_ id signal : 1; (1: IEEE single, 2: IEEE double)
bool DbcReader::valueType(int line)
{
    quint64 rawId;
    quint64 type;
    QString target;
    if (!number(&rawId, 0xFFFFFFFF, QStringLiteral("a message identifier"))
        || !name(&target, QStringLiteral("a signal name")) || !expect(':')
        || !number(&type, 2, QStringLiteral("0, 1 or 2")) || !expect(';'))
        return false;
    DbcSignal *s = findSignal(findMessage(rawId), target);
    if (!s)
        return true;
    const int bits = type == 1 ? 32 : type == 2 ? 64 : s->length;
    if (s->length != bits)
        return fail(QStringLiteral("a %1-bit signal for value type %2").arg(bits).arg(type), line);
    s->valueType = type == 1   ? DbcSignal::ValueType::Float32
                   : type == 2 ? DbcSignal::ValueType::Float64
                               : DbcSignal::ValueType::Integer;
    return true;
}

DbcMessage *DbcReader::findMessage(quint64 rawId)
{
    const auto it = m_byRawId.constFind(quint32(rawId));
    return it == m_byRawId.constEnd() ? nullptr : &messages[*it];
}

DbcSignal *DbcReader::findSignal(DbcMessage *message, const QString &name)
{
    if (message) {
        for (DbcSignal &s : message->signalList) {
            if (s.name == name)
                return &s;
        }
    }
    return nullptr;
}

bool DbcReader::read()
{
    for (;;) {
        skipSpace();
        if (atEnd())
            return closeMessage();
        const int line = m_line;
        QString keyword;
        if (!word(&keyword))
            return fail(QStringLiteral("a keyword"));
        if (keyword != QLatin1String("SG_") && !closeMessage())
            return false;
        m_spanLines = keyword == QLatin1String("CM_") || keyword == QLatin1String("VAL_")
            || keyword == QLatin1String("SIG_VALTYPE_");
        bool ok;
        if (keyword == QLatin1String("BO_"))
            ok = message(line);
        else if (keyword == QLatin1String("SG_"))
            ok = signal(line);
        else if (keyword == QLatin1String("CM_"))
            ok = comment();
        else if (keyword == QLatin1String("VAL_"))
            ok = values();
        else if (keyword == QLatin1String("SIG_VALTYPE_"))
            ok = valueType(line);
        else if (keyword == QLatin1String("NS_"))
            ok = namespaces(line);
        else if (skippedToSemicolon().contains(keyword) || skippedToLineEnd().contains(keyword))
            ok = skipStatement(keyword, skippedToSemicolon().contains(keyword), line);
        else
            ok = fail(QStringLiteral("a keyword, not \"%1\"").arg(keyword), line);
        if (!ok)
            return false;
    }
}

} // namespace

bool loadDbc(const QByteArray &bytes, DbcDatabase *db, QString *error)
{
    DbcReader reader(dbcText(bytes));
    if (!reader.read()) {
        if (error)
            *error = reader.error;
        return false;
    }
    *db = DbcDatabase(std::move(reader.messages));
    return true;
}

bool loadDbcFile(const QString &path, DbcDatabase *db, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return loadDbc(file.readAll(), db, error);
}
