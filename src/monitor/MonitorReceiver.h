#pragma once
// The monitor's receive thread. It only moves bytes: each bulk transfer is queued with
// its arrival time, and the owner's thread is told (without payload) when the queue
// stops being empty; formatting and display happen there.

#include <QByteArray>
#include <QObject>
#include <QVector>

#include <atomic>
#include <mutex>
#include <thread>

class CWrapWinUSB;

class MonitorReceiver : public QObject {
    Q_OBJECT
public:
    // The receive thread's name where the system keeps one (at most 15 characters).
    static constexpr const char *ThreadName = "monitor-rx";

    struct Transfer {
        QByteArray bytes;
        qint64 hostTimeMs = 0; // milliseconds since the epoch (UTC)
    };

    explicit MonitorReceiver(CWrapWinUSB *link, QObject *parent = nullptr);
    ~MonitorReceiver() override; // stops and joins the thread

    // Starts the thread unless one is running. A thread that ended because its read
    // failed (device removed, link closed) is joined and replaced. True when started.
    bool start();
    // Ends the pending bulk read and joins the thread; the queue is kept.
    void stop();
    bool isRunning() const { return m_thread.joinable() && !m_ended; }
    // Threads started since construction.
    int threadsStarted() const { return m_started; }

    // Takes up to `limit` queued transfers (all when limit < 0), oldest first.
    QVector<Transfer> takeTransfers(int limit = -1);
    void discardTransfers();
    int queuedTransfers() const;

signals:
    // The queue turned non-empty; emitted on the receive thread.
    void transfersReady();

private:
    void run();

    CWrapWinUSB *m_link;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_ended{false};
    int m_started = 0;
    mutable std::mutex m_mutex;
    QVector<Transfer> m_queue;
};
