#include "monitor/MonitorReceiver.h"

#include "device/CWrapWinUSB.h"

#include <QDateTime>

#include <algorithm>

#if defined(Q_OS_LINUX)
#include <pthread.h>
#endif

MonitorReceiver::MonitorReceiver(CWrapWinUSB *link, QObject *parent)
    : QObject(parent), m_link(link)
{
}

MonitorReceiver::~MonitorReceiver() { stop(); }

bool MonitorReceiver::start()
{
    if (!m_link)
        return false;
    if (m_thread.joinable()) {
        if (!m_ended)
            return false;
        m_thread.join();
    }
    m_stop = false;
    m_ended = false;
    m_link->resumeBulk();
    m_thread = std::thread(&MonitorReceiver::run, this);
    ++m_started;
    return true;
}

void MonitorReceiver::stop()
{
    if (!m_thread.joinable())
        return;
    m_stop = true;
    m_link->stopBulk();
    m_thread.join();
    m_ended = true;
}

void MonitorReceiver::run()
{
#if defined(Q_OS_LINUX)
    // A name of its own, so that top, a debugger and the benchmark can tell it apart.
    pthread_setname_np(pthread_self(), ThreadName);
#endif
    uint8_t buffer[64];
    while (!m_stop) {
        uint32_t length = 0;
        if (!m_link->readBulk(buffer, sizeof buffer, &length) || m_stop)
            break;
        Transfer transfer{QByteArray(reinterpret_cast<const char *>(buffer), int(length)),
                          QDateTime::currentMSecsSinceEpoch()};
        bool wasEmpty = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            wasEmpty = m_queue.isEmpty();
            m_queue.append(std::move(transfer));
        }
        if (wasEmpty)
            emit transfersReady();
    }
    m_ended = true;
}

QVector<MonitorReceiver::Transfer> MonitorReceiver::takeTransfers(int limit)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (limit < 0 || limit >= m_queue.size()) {
        QVector<Transfer> all;
        all.swap(m_queue);
        return all;
    }
    QVector<Transfer> some(m_queue.begin(), m_queue.begin() + limit);
    m_queue.erase(m_queue.begin(), m_queue.begin() + limit);
    return some;
}

void MonitorReceiver::discardTransfers()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_queue.clear();
}

int MonitorReceiver::queuedTransfers() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_queue.size();
}
