#pragma once
// The monitor log as a text file: every line of every cached transfer, oldest first.

#include "monitor/MonitorLog.h"

#include <QString>

// Writes through a temporary file that replaces `path` only when all was written, so a
// failed save leaves an older file intact. On failure `error` gets the system's text.
bool writeMonitorLog(const QString &path, const TransferCache &entries, QString *error);
