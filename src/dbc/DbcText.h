#pragma once
// Decoded signal values as text, for every output that shows them (brantel-dump's JSON
// lines and console lines).
//
// A physical value prints as the shortest text that is exact for what the signal carries:
// - a whole number below 2^63 in magnitude as an integer ("-40", "18000");
// - otherwise, for an integer signal, a fraction with at most 15 significant digits: raw x
//   factor + offset comes from decimal factors, and a double keeps 15 decimal digits
//   faithfully, so the 16th and 17th are arithmetic noise (3 x 0.1 prints 0.3, not
//   0.30000000000000004); a whole number past 2^63 as the shortest text that reads back
//   as the same double;
// - for an IEEE float signal, the shortest text that reads back as the same single
//   precision number; for an IEEE double signal, as the same double.
// Texts may use exponent notation ("1e-07"), which JSON and every reader accept.

#include "dbc/DbcDecoder.h"

#include <QString>

// Writes the value's text into `buffer` (DbcNumberTextSize chars) and returns its length;
// 0 for NaN or an infinity, which each output spells its own way.
constexpr int DbcNumberTextSize = 32;
int dbcNumberText(const DbcValue &value, char *buffer);

// The line under a decoded frame in candump's console layout:
//   "  Name(Speed=88.5 km/h, Gear=3 "Drive", Flag=0)"
// signals in the database's order, each value followed by its unit (when it has one) and
// its value-table text in double quotes (when it has one); NaN and infinities as "nan",
// "inf" and "-inf".
QString dbcConsoleLine(const DbcMessage &message, const QVector<DbcValue> &values);
