#pragma once
// Every exchange of brantel-slcan with the adapter, in one place: the start-up check
// (as brantel-dump makes it), the identity the V, v and N commands answer with, the bit
// rate, frame reporting, and whether the adapter still answers.

#include "slcan/SlcanChannel.h"

#include <QByteArray>
#include <QString>

class CWrapWinUSB;

namespace SlcanAdapter {

// Checks the adapter as Connect does and leaves the link open. Returns an exit code of
// brantel-dump's (DumpExit) and, unless it is Ok, a one-line *message.
int connect(CWrapWinUSB &link, bool probeBus, SlcanIdentity *identity, int *channels,
            QString *message);
// WriteBaudRate with a four-byte register; true when the adapter acknowledged it.
bool writeBitRate(CWrapWinUSB &link, int channel, const QByteArray &register4);
// SetMonitoring; true when acknowledged, else *why says what failed. A failed start is
// followed by a stop, since the request may have been taken with only its reply lost.
bool setReporting(CWrapWinUSB &link, bool on, QString *why = nullptr);
// True while the adapter answers a command.
bool answers(CWrapWinUSB &link);

} // namespace SlcanAdapter
