#include "dbc/DbcParser.h"

#include "dbc/DbcCursor.h"

#include <QFile>
#include <QSet>
#include <QTextCodec>

#include <algorithm>
#include <climits>

namespace {

constexpr quint32 ExtendedBit = 0x80000000u;
constexpr quint32 MaxStandardId = 0x7FF;

// Sections that decoding does not need, read past up to their ";".
const QSet<QString> SkippedToSemicolon = {
    "BA_DEF_", "BA_", "BA_DEF_DEF_", "BA_DEF_REL_", "BA_REL_", "BA_DEF_DEF_REL_",
    "BA_DEF_SGTYPE_", "BA_SGTYPE_", "VAL_TABLE_", "SIG_GROUP_", "EV_", "ENVVAR_DATA_",
    "EV_DATA_", "SGTYPE_", "SGTYPE_VAL_", "SIG_TYPE_REF_", "SIGTYPE_VALTYPE_", "SG_MUL_VAL_",
    "BO_TX_BU_", "BU_SG_REL_", "BU_EV_REL_", "BU_BO_REL_", "CAT_DEF_", "CAT_", "FILTER",
    "NS_DESC_"};
// Sections that end with their line.
const QSet<QString> SkippedToLineEnd = {"VERSION", "BS_", "BU_"};
const QSet<QString> Read = {"BO_", "SG_", "CM_", "VAL_", "SIG_VALTYPE_", "NS_"};

bool isKeyword(const QString &word)
{
    return Read.contains(word) || SkippedToSemicolon.contains(word) || SkippedToLineEnd.contains(word);
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

bool isMultiplexer(const DbcSignal &s) { return s.role == DbcSignal::Role::Multiplexer; }

// One pass over the text, statement by statement; messages are complete when read()
// returns true, and `error` holds the one message when it returns false.
class DbcReader : public DbcCursor {
public:
    using DbcCursor::DbcCursor;
    bool read();

    QVector<DbcMessage> messages;

private:
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

    QHash<quint32, int> m_byRawId;
    int m_current = -1;        // the message that SG_ lines extend
    int m_firstMuxedLine = 0;  // its first mN signal's line, 0 when it has none
};

bool DbcReader::read()
{
    for (;;) {
        skipSpace();
        if (atEnd())
            return closeMessage();
        const int at = line();
        QString keyword;
        if (!word(&keyword))
            return fail(QStringLiteral("a keyword"));
        if (keyword != "SG_" && !closeMessage())
            return false;
        spanLines = keyword == "CM_" || keyword == "VAL_" || keyword == "SIG_VALTYPE_";
        bool ok;
        if (keyword == "BO_")
            ok = message(at);
        else if (keyword == "SG_")
            ok = signal(at);
        else if (keyword == "CM_")
            ok = comment();
        else if (keyword == "VAL_")
            ok = values();
        else if (keyword == "SIG_VALTYPE_")
            ok = valueType(at);
        else if (keyword == "NS_")
            ok = namespaces(at);
        else if (SkippedToSemicolon.contains(keyword) || SkippedToLineEnd.contains(keyword))
            ok = skipStatement(keyword, SkippedToSemicolon.contains(keyword), at);
        else
            ok = fail(QStringLiteral("a keyword, not \"%1\"").arg(keyword), at);
        if (!ok)
            return false;
    }
}

// Reads past a section. One ended by ";" must not run into the next statement: a line
// that starts with a keyword means its ";" is missing.
bool DbcReader::skipStatement(const QString &keyword, bool toSemicolon, int at)
{
    const auto missing = [&] { return fail(QStringLiteral("\";\" to end %1").arg(keyword), at); };
    QString skipped;
    while (!atEnd()) {
        if (peek() == QLatin1Char('"')) {
            if (!string(&skipped))
                return false;
            continue;
        }
        const QChar c = peek();
        take();
        if (c == QLatin1Char(';') && toSemicolon)
            return true;
        if (c != QLatin1Char('\n'))
            continue;
        if (!toSemicolon)
            return true;
        const auto start = mark();
        atLineEnd();
        const bool statement = word(&skipped) && isKeyword(skipped);
        reset(start);
        if (statement)
            return missing();
    }
    return !toSemicolon || missing();
}

// "NS_ :" and the names of new symbols, one to a line, which are keywords themselves.
bool DbcReader::namespaces(int at)
{
    if (!expect(':') || !skipStatement(QStringLiteral("NS_"), false, at))
        return false;
    for (QString entry;;) {
        const auto start = mark();
        skipSpace();
        if (!word(&entry) || !atLineEnd()) {
            reset(start);
            return true;
        }
    }
}

// BO_ 2566844926 Name: 8 Transmitter
bool DbcReader::message(int at)
{
    DbcMessage m;
    quint64 rawId;
    quint64 dlc;
    if (!number(&rawId, 0xFFFFFFFF, "a message identifier") || !name(&m.name, "a message name")
        || !expect(':') || !number(&dlc, INT_MAX, "a DLC")
        || !name(&m.transmitter, "a transmitter name"))
        return false;
    if (!atLineEnd())
        return fail(QStringLiteral("the end of the line"));
    m.extended = rawId & ExtendedBit;
    m.id = quint32(rawId) & ~ExtendedBit;
    m.dlc = int(dlc);
    if (!m.extended && m.id > MaxStandardId)
        return fail(QStringLiteral("a standard identifier up to 2047 (bit 31 marks an extended one)"), at);
    if (m_byRawId.contains(quint32(rawId)))
        return fail(QStringLiteral("an identifier that no other message has"), at);
    m_byRawId.insert(quint32(rawId), messages.size());
    m_current = messages.size();
    messages.append(m);
    return true;
}

// SG_ Name [M|mN] : start|length@order sign (factor,offset) [min|max] "unit" receivers
bool DbcReader::signal(int at)
{
    if (m_current < 0)
        return fail(QStringLiteral("BO_ before SG_"), at);
    DbcSignal s;
    quint64 start;
    quint64 length;
    if (!name(&s.name, "a signal name") || (!accept(':') && (!role(&s) || !expect(':')))
        || !number(&start, 65535, "a start bit from 0 to 65535") || !expect('|')
        || !number(&length, 64, "a length from 1 to 64"))
        return false;
    if (length == 0)
        return fail(QStringLiteral("a length from 1 to 64"));
    if (!expect('@'))
        return false;
    s.littleEndian = accept('1');
    if (!s.littleEndian && !accept('0'))
        return fail(QStringLiteral("0 or 1 after \"@\""));
    s.isSigned = accept('-');
    if (!s.isSigned && !accept('+'))
        return fail(QStringLiteral("\"+\" or \"-\""));
    if (!expect('(') || !real(&s.factor, "a factor") || !expect(',')
        || !real(&s.offset, "an offset") || !expect(')') || !expect('[')
        || !real(&s.minimum, "a minimum") || !expect('|') || !real(&s.maximum, "a maximum")
        || !expect(']') || !string(&s.unit))
        return false;
    while (!atLineEnd()) {
        QString receiver;
        if (accept(','))
            continue;
        if (!name(&receiver, "a receiver name"))
            return false;
        s.receivers.append(receiver);
    }
    s.startBit = int(start);
    s.length = int(length);

    DbcMessage &m = messages[m_current];
    if (findSignal(&m, s.name))
        return fail(QStringLiteral("a signal name not used before in message %1").arg(m.name), at);
    if (isMultiplexer(s) && std::any_of(m.signalList.cbegin(), m.signalList.cend(), isMultiplexer))
        return fail(QStringLiteral("one multiplexer (M) per message"), at);
    if (s.role == DbcSignal::Role::Multiplexed && !m_firstMuxedLine)
        m_firstMuxedLine = at;
    m.signalList.append(s);
    return true;
}

// "M" for the multiplexer, "mN" for a signal shown when it reads N.
bool DbcReader::role(DbcSignal *s)
{
    QString mux;
    if (!name(&mux, "M, mN or \":\""))
        return false;
    if (mux == "M") {
        s->role = DbcSignal::Role::Multiplexer;
        return true;
    }
    bool ok = false;
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
    if (m_current >= 0 && m_firstMuxedLine) {
        const DbcMessage &m = messages.at(m_current);
        if (std::none_of(m.signalList.cbegin(), m.signalList.cend(), isMultiplexer))
            return fail(QStringLiteral("a multiplexer (M) in message %1").arg(m.name), m_firstMuxedLine);
    }
    m_current = -1;
    m_firstMuxedLine = 0;
    return true;
}

// CM_ BO_ id "text"; CM_ SG_ id name "text"; and, read past, the comments of the file,
// of nodes and of environment variables.
bool DbcReader::comment()
{
    const char *kinds = "BO_, SG_, BU_, EV_ or a string";
    QString kind;
    QString target;
    QString text;
    quint64 rawId = 0;
    skipSpace();
    if (peek() == QLatin1Char('"'))
        return string(&text) && expect(';');
    if (!name(&kind, kinds))
        return false;
    if (kind != "BO_" && kind != "SG_" && kind != "BU_" && kind != "EV_")
        return fail(QLatin1String(kinds));
    if ((kind == "BO_" || kind == "SG_") && !number(&rawId, 0xFFFFFFFF, "a message identifier"))
        return false;
    if ((kind != "BO_" && !name(&target, "a name")) || !string(&text) || !expect(';'))
        return false;
    if (kind == "BO_") {
        if (DbcMessage *m = findMessage(rawId))
            m->comment = text;
    } else if (DbcSignal *s = kind == "SG_" ? findSignal(findMessage(rawId), target) : nullptr) {
        s->comment = text;
    }
    return true;
}

// VAL_ id signal 0 "Off" 1 "On" ; and, read past, those of environment variables.
bool DbcReader::values()
{
    skipSpace();
    const bool onSignal = peek().isDigit();
    quint64 rawId = 0;
    QString target;
    if ((onSignal && !number(&rawId, 0xFFFFFFFF, "a message identifier"))
        || !name(&target, "a signal name"))
        return false;
    QMap<qint64, QString> table;
    while (!accept(';')) {
        qint64 value;
        QString text;
        if (!integer(&value, "a value or \";\"") || !string(&text))
            return false;
        table.insert(value, text);
    }
    if (DbcSignal *s = onSignal ? findSignal(findMessage(rawId), target) : nullptr)
        s->valueTable = table;
    return true;
}

// SIG_VALTYPE_ id signal : 1; (1: IEEE single, 2: IEEE double)
bool DbcReader::valueType(int at)
{
    quint64 rawId;
    quint64 type;
    QString target;
    if (!number(&rawId, 0xFFFFFFFF, "a message identifier") || !name(&target, "a signal name")
        || !expect(':') || !number(&type, 2, "0, 1 or 2") || !expect(';'))
        return false;
    DbcSignal *s = findSignal(findMessage(rawId), target);
    if (!s)
        return true;
    const int bits = type == 1 ? 32 : type == 2 ? 64 : s->length;
    if (s->length != bits)
        return fail(QStringLiteral("a %1-bit signal for value type %2").arg(bits).arg(type), at);
    const DbcSignal::ValueType types[] = {DbcSignal::ValueType::Integer,
                                          DbcSignal::ValueType::Float32,
                                          DbcSignal::ValueType::Float64};
    s->valueType = types[type];
    return true;
}

DbcMessage *DbcReader::findMessage(quint64 rawId)
{
    const auto it = m_byRawId.constFind(quint32(rawId));
    return it == m_byRawId.constEnd() ? nullptr : &messages[*it];
}

DbcSignal *DbcReader::findSignal(DbcMessage *message, const QString &name)
{
    if (!message)
        return nullptr;
    const auto it = std::find_if(message->signalList.begin(), message->signalList.end(),
                                 [&](const DbcSignal &s) { return s.name == name; });
    return it == message->signalList.end() ? nullptr : &*it;
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
