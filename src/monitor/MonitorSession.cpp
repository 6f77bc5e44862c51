#include "monitor/MonitorSession.h"

#include "monitor/MonitorCommands.h"
#include "monitor/MonitorLogFile.h"

#include <QDateTime>
#include <QMetaMethod>
#include <QTimer>

namespace {
// Transfers added per pass of the event loop: a backlog is worked off in slices so the
// window keeps answering.
constexpr int MaxTransfersPerFlush = 2000;

qint64 nowMicros() { return QDateTime::currentMSecsSinceEpoch() * 1000; }
} // namespace

QVector<LoggedFrame> passedFrames(const QVector<ReceivedFrame> &frames)
{
    QVector<LoggedFrame> passed;
    passed.reserve(frames.size());
    for (const ReceivedFrame &f : frames) {
        if (f.passedFilter)
            passed.append(f.frame);
    }
    return passed;
}

MonitorSession::MonitorSession(CWrapWinUSB *link, QObject *parent)
    : QObject(parent), m_link(link), m_receiver(new MonitorReceiver(link, this)),
      m_flushTimer(new QTimer(this)), m_statistics(nowMicros())
{
    m_log.setNames(translatedMonitorNames());
    m_flushTimer->setSingleShot(true);
    m_clock.start();
    connect(m_receiver, &MonitorReceiver::transfersReady, this, [this] {
        if (!m_flushTimer->isActive())
            m_flushTimer->start(FlushIntervalMs);
    }, Qt::QueuedConnection);
    connect(m_flushTimer, &QTimer::timeout, this, &MonitorSession::flush);
    connect(this, &MonitorSession::saveEnded, this, &MonitorSession::saveFinished,
            Qt::QueuedConnection);
}

MonitorSession::~MonitorSession()
{
    m_receiver->stop();
    reapSaves(true);
}

bool MonitorSession::setMonitoring(bool on)
{
    if (on)
        m_receiver->start(); // before the device starts reporting
    return MonitorCommands::setMonitoring(*m_link, on);
}

void MonitorSession::end()
{
    m_receiver->stop();
    m_receiver->discardTransfers();
    m_flushTimer->stop();
    clear();
}

void MonitorSession::clear()
{
    m_pending.clear();
    m_log.clear();
    m_statistics.clear(nowMicros());
    emit cleared();
}

void MonitorSession::addTransfers(const QVector<MonitorReceiver::Transfer> &transfers)
{
    const bool toReaders = isSignalConnected(QMetaMethod::fromSignal(&MonitorSession::framesReceived));
    QVector<ReceivedFrame> frames;
    QVector<MonitorRecord> records;
    for (const MonitorReceiver::Transfer &t : transfers) {
        const qint64 micros = t.hostTimeMs * 1000;
        m_statistics.addTransfer(micros, !decodeTransfer(t.bytes, &records));
        CachedRecords passed;
        for (const MonitorRecord &r : records) {
            const bool shown = m_filter.accepts(qint32(r.id));
            m_statistics.addFrame(micros, r.channel, shown);
            if (shown)
                passed.append(CachedRecord::from(r));
            if (toReaders)
                frames.append({{micros, r}, shown});
        }
        if (passed.isEmpty())
            continue; // nothing cached, no number taken
        const CachedTransfer &entry = m_log.add(passed, t.hostTimeMs);
        for (int i = 0; i < entry.records.size(); ++i)
            m_pending.push_back({entry.firstNumber + i, entry.records[i], entry.displayMode,
                                 entry.names});
        while (int(m_pending.size()) > ViewLines) // would scroll out unseen
            m_pending.pop_front();
    }
    if (!frames.isEmpty())
        emit framesReceived(frames);
}

void MonitorSession::processQueued(int limit) { addTransfers(m_receiver->takeTransfers(limit)); }

void MonitorSession::flush()
{
    processQueued(MaxTransfersPerFlush);
    const qint64 viewWait = m_viewReadyAtMs - m_clock.elapsed();
    if (viewWait <= 0)
        showPendingLines();
    if (m_receiver->queuedTransfers() > 0) // a backlog: the next slice right away
        m_flushTimer->start(0);
    else if (!m_pending.empty()) // transfers go on being added while the view waits
        m_flushTimer->start(int(qMin<qint64>(viewWait, FlushIntervalMs)));
}

void MonitorSession::showPendingLines()
{
    if (m_pending.empty())
        return;
    QString text;
    text.reserve(int(m_pending.size()) * 100);
    for (const PendingLine &p : m_pending) {
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += formatMonitorLine(p.number, p.record.record(), *p.names, p.displayMode);
    }
    m_viewReadyAtMs = m_clock.elapsed() + qint64(m_pending.size()) * 1000 / ViewLinesPerSecond;
    m_pending.clear();
    emit linesReady(text);
}

void MonitorSession::save(const QString &path, MonitorSaveFormat format)
{
    reapSaves(false);
    // The thread writes the cache as it is now; the monitor goes on meanwhile.
    const TransferCache entries = m_log.cache();
    auto done = std::make_shared<std::atomic<bool>>(false);
    m_saves.push_back({std::thread([this, path, format, entries, done] {
                           QString error;
                           const bool written = format == MonitorSaveFormat::Text
                               ? writeMonitorLog(path, entries, &error)
                               : writeFrameLog(path, entries, format, &error);
                           emit saveEnded(written, error, QPrivateSignal());
                           *done = true;
                       }),
                       done});
}

void MonitorSession::reapSaves(bool all)
{
    for (auto it = m_saves.begin(); it != m_saves.end();) {
        if (all || *it->done) {
            it->thread.join();
            it = m_saves.erase(it);
        } else {
            ++it;
        }
    }
}
