#pragma once
// The one-line status under the monitor view: frames per second per channel, frames
// shown since the last clear, malformed transfers dropped and frames filtered out,
// refreshed a few times a second from the monitor session's counters.

#include <QLabel>

class MonitorStatistics;
class QTimer;

class MonitorStatisticsLabel : public QLabel {
    Q_OBJECT
public:
    static constexpr int RefreshMs = 250;

    // `statistics` must outlive the label.
    explicit MonitorStatisticsLabel(const MonitorStatistics &statistics, QWidget *parent = nullptr);

public slots:
    // Shows the counters now; also the way to show a new language.
    void refresh();

private:
    const MonitorStatistics &m_statistics;
    QTimer *m_timer = nullptr;
};
