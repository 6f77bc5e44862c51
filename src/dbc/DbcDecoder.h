#pragma once
// Decoding frames with a DBC database. A frame matches the message with its identifier
// and extended flag; remote frames are not decoded. A signal is decoded only when all its
// bits lie within the frame's data, and a multiplexed one only when the multiplexer's raw
// value equals its own value. Physical value = raw x factor + offset.

#include "dbc/DbcDatabase.h"
#include "monitor/MonitorRecord.h"

struct DbcValue {
    const DbcSignal *signal = nullptr;  // name, unit, ...: valid while the database lives
    // The signal's bits; a signed integer signal's are sign-extended, so qint64(raw) is
    // its value.
    quint64 raw = 0;
    double physical = 0;
    QString text;  // the value table's text for the raw value, or empty
};

// Decodes `frame` into `values` (cleared first; its capacity is reused, so a caller that
// keeps one vector allocates nothing per frame). Returns the matching message, or nullptr
// with no values for a remote frame or an identifier the database does not describe.
const DbcMessage *decodeDbcFrame(const DbcDatabase &db, const MonitorRecord &frame,
                                 QVector<DbcValue> *values);

// Decodes the `length` data bytes at `data` (at most 8 are read) as `message`.
void decodeDbcMessage(const DbcMessage &message, const char *data, int length,
                      QVector<DbcValue> *values);
