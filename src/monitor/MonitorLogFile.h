#pragma once
// The monitor log as a text file: the line of every cached record, oldest first, in
// the display format and language each transfer arrived in.

#include "monitor/MonitorLog.h"

#include <QString>

// Writes through a temporary file that replaces `path` only when all was written, so a
// failed save leaves an older file intact. On failure `error` gets the system's text.
bool writeMonitorLog(const QString &path, const TransferCache &entries, QString *error);
