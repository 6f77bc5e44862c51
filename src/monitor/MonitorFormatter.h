#pragma once
// The text of the monitor view: one fixed-layout line per frame report, and the column
// header above the lines. Names come translated from the view.

#include "monitor/MonitorRecord.h"

#include <QString>
#include <QStringList>

struct MonitorNames {
    QString frameFormat[2]; // data frame, remote frame
    QString frameType[2];   // standard frame, extended frame
    QString direction[2];   // received by the device, sent by the device
};

// The names in the language of the installed catalogue (the monitor page's context).
MonitorNames translatedMonitorNames();

enum MonitorDisplayMode { DisplayHex = 0, DisplayAsc = 1 };

// The line of one record numbered `number` (more than 9 digits keep their first 9).
QString formatMonitorLine(qint64 number, const MonitorRecord &record, const MonitorNames &names,
                          int displayMode);
// The same line appended to `line`, without a line end.
void appendMonitorLine(QString &line, qint64 number, const MonitorRecord &record,
                       const MonitorNames &names, int displayMode);

// The rich-text column header from the seven translated column names (direction,
// channel, time, frame format, frame type, identifier, data). The spacing differs
// slightly between the first build and every rebuild at a language change.
QString monitorHeader(const QStringList &columns, bool atLanguageChange);
