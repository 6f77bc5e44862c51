#pragma once
// brantel-dump's run: loads the DBC database, opens the output and the frame source (the
// adapter, or a saved capture with --input), lets the source feed the writer, and reports
// a summary and the exit status.

#include "dump/DumpOptions.h"
#include "monitor/MonitorStatistics.h"

#include <QIODevice>

namespace DumpExit {
enum : int {
    Ok = 0,
    Failed = 1,       // reporting could not start, the adapter was lost, output failed,
                      // an input or DBC file unreadable or malformed
    Usage = 2,
    NoAdapter = 3,
    AccessRefused = 4,
    InUse = 5,
    Incompatible = 6, // device type or firmware version that Connect refuses
};
}

struct DumpSummary {
    MonitorStatistics counts;      // "shown" frames are the ones written
    bool fromFile = false;         // converted from --input: no transfers, no reporting
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
    static bool stopRequested();

private:
    DumpOptions m_options;
    DumpSummary m_summary;
};
