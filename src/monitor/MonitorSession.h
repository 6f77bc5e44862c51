#pragma once
// A monitor session apart from any widget: the receive thread, the running number and
// the display cache, the statistics, its own copy of the ID filter and the lines waiting
// for the view. Each transfer is decoded once; its records feed the statistics, the
// cache, the view's lines and every other reader of decoded frames. Lives on the GUI
// thread; the receive thread only queues bytes.

#include "filter/IdFilter.h"
#include "monitor/FrameLogFile.h"
#include "monitor/LoggedFrame.h"
#include "monitor/MonitorLog.h"
#include "monitor/MonitorReceiver.h"
#include "monitor/MonitorStatistics.h"

#include <QElapsedTimer>
#include <QObject>
#include <QVector>

#include <atomic>
#include <deque>
#include <list>
#include <memory>
#include <thread>

class CWrapWinUSB;
class QTimer;

// A decoded frame as readers other than the view get it: the frame with its host
// arrival time, and whether the ID filter passed it.
struct ReceivedFrame {
    LoggedFrame frame;
    bool passedFilter = true;
};
Q_DECLARE_METATYPE(ReceivedFrame)

// The frames the ID filter passed: what the monitor view shows.
QVector<LoggedFrame> passedFrames(const QVector<ReceivedFrame> &frames);

class MonitorSession : public QObject {
    Q_OBJECT
public:
    // Lines the view keeps; older ones scroll out (the cache keeps more).
    static constexpr int ViewLines = 128;
    // Longest wait between a transfer's arrival and its processing, and its display
    // while the traffic is slow enough to be read.
    static constexpr int FlushIntervalMs = 30;
    // Lines the view lays out per second at most: ten whole views. Faster traffic shows
    // the newest lines ten times a second instead of laying out lines nobody can read.
    static constexpr int ViewLinesPerSecond = 10 * ViewLines;

    explicit MonitorSession(CWrapWinUSB *link, QObject *parent = nullptr);
    ~MonitorSession() override; // joins the receive thread and every save

    // Frame reporting on or off on the device; switching on starts the receive thread
    // first, so nothing is missed, and switching off leaves it waiting. True when the
    // device acknowledged.
    bool setMonitoring(bool on);
    // Joins the receive thread, drops what it queued and clears the rest.
    void end();
    // Empties the lines waiting for the view, the cache, the running number and the
    // statistics.
    void clear();

    void setIdFilter(const IdFilter &filter) { m_filter = filter; }
    const IdFilter &idFilter() const { return m_filter; }
    // The display format of the transfers that arrive from now on.
    void setDisplayMode(int mode) { m_log.setDisplayMode(mode); }
    // The names of the lines of transfers that arrive from now on; earlier lines keep theirs.
    void setNames(const MonitorNames &names) { m_log.setNames(names); }
    // Empties the cache; the running number and the view stay.
    void setCacheSize(int size) { m_log.setCacheSize(size); }

    // Decodes each transfer once and feeds the statistics, the cache, the view's lines
    // and framesReceived.
    void addTransfers(const QVector<MonitorReceiver::Transfer> &transfers);
    // Adds up to `limit` transfers of the receive queue (all when negative).
    void processQueued(int limit);
    // Hands every waiting line to the view now.
    void showPendingLines();

    // Writes the cache as it is now to `path` in `format` on a thread of its own;
    // saveFinished follows on this thread.
    void save(const QString &path, MonitorSaveFormat format);

    const MonitorLog &log() const { return m_log; }
    const MonitorStatistics &statistics() const { return m_statistics; }
    const MonitorReceiver &receiver() const { return *m_receiver; }

signals:
    // Lines for the view, at most ViewLines of them joined by "\n".
    void linesReady(const QString &lines);
    // The frames of the transfers just added, in order; emitted only when connected.
    void framesReceived(const QVector<ReceivedFrame> &frames);
    // The cache, the running number and the statistics were emptied.
    void cleared();
    void saveFinished(bool written, const QString &error);
    // Emitted on the save thread; queued to saveFinished on this one.
    void saveEnded(bool written, const QString &error, QPrivateSignal);

private:
    struct PendingLine {
        qint64 number;
        CachedRecord record;
        int displayMode;
        SharedMonitorNames names;
    };
    struct SaveJob {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };

    void flush();
    void reapSaves(bool all);

    CWrapWinUSB *m_link;
    MonitorReceiver *m_receiver;
    QTimer *m_flushTimer;
    MonitorLog m_log;
    MonitorStatistics m_statistics;
    IdFilter m_filter;
    std::deque<PendingLine> m_pending; // the newest ViewLines lines not shown yet
    QElapsedTimer m_clock;
    qint64 m_viewReadyAtMs = 0; // on m_clock: when the view may take lines again
    std::list<SaveJob> m_saves;
};
