#pragma once
// A DBC database as plain values: messages in file order with their signals, and the
// lookup of the message a frame carries by (identifier, extended). DbcParser.h reads a
// file into it; DbcDecoder.h decodes frames with it.

#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

struct DbcSignal {
    enum class Role { Plain, Multiplexer, Multiplexed };
    enum class ValueType { Integer, Float32, Float64 };

    QString name;
    // As written: the least significant bit for little-endian; for big-endian the most
    // significant one, numbered bit 0-7 in byte 0, 8-15 in byte 1, ... (the sawtooth).
    int startBit = 0;
    int length = 1;            // 1 to 64
    bool littleEndian = true;  // @1; @0 is big-endian
    bool isSigned = false;     // two's complement
    ValueType valueType = ValueType::Integer;  // the IEEE types come from SIG_VALTYPE_
    double factor = 1;
    double offset = 0;
    double minimum = 0;
    double maximum = 0;
    QString unit;
    QStringList receivers;
    Role role = Role::Plain;
    qint64 multiplexValue = 0;  // Multiplexed: shown when the multiplexer's raw value is this
    QString comment;
    QMap<qint64, QString> valueTable;  // raw value -> text

    // Where the bits lie, worked out once by placeDbcSignal(): the data bytes the signal
    // needs, and the shift of its least significant bit in the first eight data bytes read
    // as one 64-bit word (little-endian or big-endian, as the signal's byte order).
    int endByte = 0;
    int shift = 0;
};

// Sets `endByte` and `shift` from the layout; false (and a signal that is never decoded)
// when the length is not 1 to 64 or the start bit not 0 to 65535. Bits beyond a classic
// frame are fine: such a signal is decoded from no frame this adapter reports.
bool placeDbcSignal(DbcSignal *signal);

struct DbcMessage {
    quint32 id = 0;  // without the extended flag
    bool extended = false;
    QString name;
    int dlc = 0;
    QString transmitter;
    QVector<DbcSignal> signalList;  // in file order
    QString comment;
    int multiplexer = -1;  // index of the multiplexer signal, set by DbcDatabase
};

class DbcDatabase {
public:
    DbcDatabase() = default;
    // Places every signal and indexes the messages; the first of two with one identifier wins.
    explicit DbcDatabase(QVector<DbcMessage> messages);

    const QVector<DbcMessage> &messages() const { return m_messages; }
    const DbcMessage *message(quint32 id, bool extended) const;

private:
    QVector<DbcMessage> m_messages;
    QHash<quint32, int> m_index;  // the identifier with bit 31 set for extended ones
};
