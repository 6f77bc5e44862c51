#pragma once
// JSON lines: one object per frame, for jq, pandas and any JSON reader.
//   {"t":1765000000.123456,"ch":0,"id":291,"ext":false,"rtr":false,"dlc":2,"data":"0102"}
// "t" the frame's time in seconds since the epoch with six decimals; "ch" the channel
// (0 or 1, as can0 and can1); "id" the identifier; "dlc" as reported; "data" the data
// bytes the frame carries (at most 8) in upper-case hex, "" for a remote frame. A frame
// decoded with a DBC database adds "msg" (the message's name), "signals" (name -> physical
// value, in the database's order; null for NaN or an infinity; numbers as DbcText.h says)
// and, when some decoded signal has a value-table text, "labels" (name -> text). Strings
// are UTF-8 with quotes, backslashes and control characters escaped.

#include "dbc/DbcDecoder.h"
#include "monitor/LoggedFrame.h"

#include <QByteArray>

namespace JsonLines {

// Appends the frame's line, "\n" included. `message` is the frame's decoded message (or
// null) and `values` its decoded signals.
void appendFrame(QByteArray *out, const LoggedFrame &frame, const DbcMessage *message = nullptr,
                 const QVector<DbcValue> &values = {});
// Appends `text` as a JSON string, quotes included.
void appendString(QByteArray *out, const QString &text);

} // namespace JsonLines
