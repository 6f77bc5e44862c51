#pragma once
// The one-line status under the monitor view: frames per second per channel, frames
// shown since the last clear, malformed transfers dropped and frames filtered out,
// refreshed a few times a second.

#include "monitor/MonitorStatistics.h"

#include <QLabel>

class QTimer;
struct IdFilter;

class MonitorStatisticsLabel : public QLabel {
    Q_OBJECT
public:
    static constexpr int RefreshMs = 250;

    explicit MonitorStatisticsLabel(QWidget *parent = nullptr);

    // Counts a transfer as the view formats it; `filter` may be null (all shown).
    void addTransfer(const QByteArray &transfer, qint64 hostMicros, const IdFilter *filter);
    void clear();
    const MonitorStatistics &statistics() const { return m_statistics; }

public slots:
    // Shows the counters now; also the way to show a new language.
    void refresh();

private:
    MonitorStatistics m_statistics;
    QTimer *m_timer = nullptr;
};
