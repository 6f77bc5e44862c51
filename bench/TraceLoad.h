#pragma once
// The trace window as the benchmark loads it: fed by a monitor page, with a generated
// database of 120 messages and 1,200 signals that covers the simulated adapter's demo
// identifiers, shown, and four signals plotted, with a full minute behind each line (the
// most points a line draws).

#include <QTemporaryDir>

#include <memory>

class DataMonitorWidget;
class TraceWindow;

class TraceLoad {
public:
    explicit TraceLoad(DataMonitorWidget &page);
    ~TraceLoad();
    bool ready() const { return m_ready; }
    // "database of N messages, M signals; K signals plotted"
    QString description() const;
    // "N rows, lines of A, B, ... points; feeding X s, refreshing Y s (CPU)": the window's own
    // work on the GUI thread since it was opened (painting not included).
    QString state() const;
    // CPU seconds of the calling thread so far.
    static double threadCpuSeconds();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TraceWindow> m_window;
    bool m_ready = false;
    double m_feedCpu = 0;
    double m_refreshCpu = 0;
    int m_refreshes = 0;
};
