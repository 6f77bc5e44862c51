#pragma once
// brantel-dump's capture: checks the adapter as Connect does, switches frame reporting
// on, writes every accepted frame in the chosen format, and on any stop (frame count,
// time, signal, lost device) switches reporting off, closes the link and flushes.

#include "dump/DumpOptions.h"
#include "monitor/MonitorStatistics.h"

#include <QIODevice>

namespace DumpExit {
enum : int {
    Ok = 0,
    Failed = 1,       // reporting could not start, the adapter was lost, output failed
    Usage = 2,
    NoAdapter = 3,
    AccessRefused = 4,
    InUse = 5,
    Incompatible = 6, // device type or firmware version that Connect refuses
};
}

struct DumpSummary {
    MonitorStatistics counts;      // "shown" frames are the ones written
    bool reportingStopped = false; // the device acknowledged "reporting off"

    QString text() const;
};

class DumpCapture {
public:
    explicit DumpCapture(const DumpOptions &options) : m_options(options) {}

    // Frames go to `out` unless the options name a file; errors and the summary to `err`.
    int run(QIODevice *out, QIODevice *err);
    const DumpSummary &summary() const { return m_summary; }

    // SIGINT and SIGTERM end the capture cleanly; SIGPIPE turns into a failed write.
    static void installStopSignals();
    // Async-signal-safe; the capture notices within a few tens of milliseconds.
    static void requestStop();
    static void clearStopRequest();

private:
    DumpOptions m_options;
    DumpSummary m_summary;
};
