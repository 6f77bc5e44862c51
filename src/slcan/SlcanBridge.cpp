#include "slcan/SlcanBridge.h"

#include "canparam/BaudRateTable.h"
#include "device/SimFirmware.h"
#include "dump/DumpCapture.h"
#include "slcan/SlcanAdapter.h"

#include <QElapsedTimer>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

std::atomic<bool> g_stop{false};
std::atomic<bool> g_unplug{false};
std::atomic<int> g_wakeFd{-1};
static_assert(std::atomic<int>::is_always_lock_free, "set in a signal handler");

extern "C" void onSignal(int signal)
{
    (signal == SIGUSR1 ? g_unplug : g_stop) = true;
    const int fd = g_wakeFd;
    if (fd >= 0) {
        const char c = 0;
        (void)!::write(fd, &c, 1);
    }
}

constexpr int PollMs = 50;
constexpr int PresenceCheckMs = 100;
// Lines a terminal may hold back before frames for it are dropped (and F tells so):
// about ten seconds of one busy channel.
constexpr int MaxPendingBytes = 1 << 20;
constexpr int ReadChunk = 4096;

} // namespace

struct SlcanBridge::Port {
    QString link;
    PseudoTerminal terminal;
    std::unique_ptr<SlcanChannel> channel;
    QByteArray out;      // answers and frame lines the terminal has not taken yet
    bool absent = true;  // no program has the terminal open
    quint64 forwarded = 0;
    quint64 dropped = 0;
};

SlcanBridge::SlcanBridge(const QStringList &links, std::shared_ptr<SimFirmware> simulated)
    : m_links(links), m_simulated(std::move(simulated)), m_receiver(&m_link)
{
}

SlcanBridge::~SlcanBridge()
{
    m_receiver.stop();
    g_wakeFd = -1;
    for (int fd : m_wake) {
        if (fd >= 0)
            ::close(fd);
    }
}

void SlcanBridge::installSignals()
{
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGUSR1, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

void SlcanBridge::say(const QString &line)
{
    m_err->write(QByteArrayLiteral("brantel-slcan: ") + line.toUtf8() + '\n');
}

bool SlcanBridge::writeBitRate(int channel, int tableRow)
{
    return SlcanAdapter::writeBitRate(m_link, channel, BaudRateTable::value(tableRow));
}

bool SlcanBridge::setForwarding(int channel, bool on)
{
    Q_UNUSED(channel);
    QString why;
    if (on) {
        if (m_openChannels == 0 && !SlcanAdapter::setReporting(m_link, true, &why)) {
            say(QStringLiteral("the adapter did not start frame reporting: %1").arg(why));
            return false;
        }
        ++m_openChannels;
        return true;
    }
    if (--m_openChannels == 0 && !SlcanAdapter::setReporting(m_link, false, &why))
        say(QStringLiteral("the adapter did not confirm reporting off: %1").arg(why));
    return true;
}

bool SlcanBridge::openPorts()
{
    if (::pipe2(m_wake, O_NONBLOCK | O_CLOEXEC) != 0) {
        say(QStringLiteral("cannot make a pipe"));
        return false;
    }
    g_wakeFd = m_wake[1];
    for (int i = 0; i < m_links.size(); ++i) {
        auto port = std::make_unique<Port>();
        port->link = m_links.at(i);
        QString error;
        if (!port->terminal.open(&error)
            || !PseudoTerminal::makeLink(port->link, port->terminal.slavePath(), &error)) {
            say(error);
            return false;
        }
        port->channel = std::make_unique<SlcanChannel>(i, m_identity, this);
        say(QStringLiteral("channel %1: %2 -> %3")
                .arg(i).arg(port->link, port->terminal.slavePath()));
        m_ports.push_back(std::move(port));
    }
    const int wakeFd = m_wake[1];
    QObject::connect(&m_receiver, &MonitorReceiver::transfersReady, &m_receiver, [wakeFd] {
        const char c = 0;
        (void)!::write(wakeFd, &c, 1);
    }, Qt::DirectConnection);
    return m_receiver.start();
}

int SlcanBridge::run(QIODevice *err)
{
    m_err = err;
    QString message;
    int channels = 0;
    const int code = SlcanAdapter::connect(m_link, !m_simulated, &m_identity, &channels, &message);
    if (code != DumpExit::Ok) {
        say(message);
        return code;
    }
    if (m_links.size() > channels)
        return finish(DumpExit::Failed,
                      QStringLiteral("the adapter has %1 channel(s), --link names %2")
                          .arg(channels).arg(m_links.size()));
    if (!openPorts())
        return finish(DumpExit::Failed, QString());

    QElapsedTimer presence;
    presence.start();
    std::vector<pollfd> fds;
    std::vector<Port *> polled;
    while (!g_stop && m_receiver.isRunning()) {
        fds.assign(1, pollfd{m_wake[0], POLLIN, 0});
        polled.clear();
        for (auto &p : m_ports) {
            if (p->absent)
                continue;
            fds.push_back({p->terminal.fd(), short(POLLIN | (p->out.isEmpty() ? 0 : POLLOUT)), 0});
            polled.push_back(p.get());
        }
        ::poll(fds.data(), fds.size(), PollMs);
        char drain[256];
        while (::read(m_wake[0], drain, sizeof drain) > 0) {
        }
        if (g_unplug.exchange(false) && m_simulated)
            m_simulated->setPlugged(false);

        forwardTransfers();
        for (size_t i = 0; i < polled.size(); ++i) {
            Port &p = *polled[i];
            if (fds[i + 1].revents & POLLHUP) {
                hostLeft(p);
                continue;
            }
            if (fds[i + 1].revents & POLLIN)
                readCommands(p);
            if (!p.absent)
                flush(p);
        }
        if (presence.elapsed() >= PresenceCheckMs) {
            for (auto &p : m_ports) {
                if (p->absent)
                    serveAbsent(*p);
            }
            presence.restart();
        }
    }

    if (g_stop)
        return finish(DumpExit::Ok, QString());
    if (SlcanAdapter::answers(m_link))
        return finish(DumpExit::Failed,
                      QStringLiteral("reading the adapter's frame reports failed"));
    return finish(DumpExit::NoAdapter, QStringLiteral("the adapter was unplugged"));
}

void SlcanBridge::forwardTransfers()
{
    QVector<MonitorRecord> records;
    const QVector<MonitorReceiver::Transfer> transfers = m_receiver.takeTransfers();
    for (const MonitorReceiver::Transfer &t : transfers) {
        ++m_transfers;
        if (!decodeTransfer(t.bytes, &records)) {
            ++m_malformed; // its frames are lost to whichever channel they were for
            for (auto &p : m_ports)
                p->channel->noteLostFrames();
            continue;
        }
        for (const MonitorRecord &r : records) {
            ++m_reported[r.channel];
            m_sentByAdapter += r.sent ? 1 : 0;
            if (r.channel >= int(m_ports.size()))
                continue;
            Port &p = *m_ports[size_t(r.channel)];
            const QByteArray line = p.channel->frameLine(r, t.hostTimeMs);
            if (line.isEmpty())
                continue;
            if (p.out.size() > MaxPendingBytes) {
                ++p.dropped;
                p.channel->noteLostFrames();
                continue;
            }
            p.out += line;
            ++p.forwarded;
        }
    }
}

void SlcanBridge::readCommands(Port &port)
{
    char buffer[ReadChunk];
    for (;;) {
        const ssize_t n = ::read(port.terminal.fd(), buffer, sizeof buffer);
        if (n > 0) {
            port.out += port.channel->receive(QByteArray(buffer, int(n)));
            continue;
        }
        if (n < 0 && errno == EIO)
            hostLeft(port);
        return;
    }
}

void SlcanBridge::flush(Port &port)
{
    int at = 0;
    while (at < port.out.size()) {
        const ssize_t n = ::write(port.terminal.fd(), port.out.constData() + at,
                                  size_t(port.out.size() - at));
        if (n > 0) {
            at += int(n);
            continue;
        }
        if (n < 0 && errno == EIO)
            hostLeft(port);
        break;
    }
    port.out.remove(0, at);
}

void SlcanBridge::serveAbsent(Port &port)
{
    // What a program wrote before it closed the terminal still reaches the channel, as
    // it would reach a device; then the channel closes, as for any program that leaves.
    readCommands(port);
    if (!port.terminal.hostAbsent()) {
        port.absent = false;
        return;
    }
    port.channel->reset();
    port.out.clear();
}

void SlcanBridge::hostLeft(Port &port)
{
    if (port.absent)
        return;
    // A program that ends without "C" must not leave reporting on or lines behind.
    port.channel->reset();
    port.out.clear();
    port.terminal.discardUnread();
    port.absent = true;
}

int SlcanBridge::finish(int code, const QString &message)
{
    m_receiver.stop();
    QString why;
    if (m_openChannels > 0 && code != DumpExit::NoAdapter
        && !SlcanAdapter::setReporting(m_link, false, &why))
        say(QStringLiteral("the adapter did not confirm reporting off: %1").arg(why));
    for (auto &p : m_ports) {
        if (!p->absent && code == DumpExit::Ok)
            flush(*p); // what the terminal takes without waiting
        p->terminal.hangUp(); // readers see end of file
        PseudoTerminal::removeLink(p->link, p->terminal.slavePath());
    }
    m_link.close();
    if (!message.isEmpty())
        say(message);
    QString forwarded;
    for (size_t i = 0; i < m_ports.size(); ++i)
        forwarded += QStringLiteral(", channel %1: %2 forwarded, %3 dropped")
                         .arg(i).arg(m_ports[i]->forwarded).arg(m_ports[i]->dropped);
    say(QStringLiteral("%1 frames reported (channel 0: %2, channel 1: %3, %4 sent by the "
                       "adapter), %5 transfers, %6 malformed%7")
            .arg(m_reported[0] + m_reported[1]).arg(m_reported[0]).arg(m_reported[1])
            .arg(m_sentByAdapter).arg(m_transfers).arg(m_malformed).arg(forwarded));
    return code;
}
