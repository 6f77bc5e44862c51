#pragma once
// brantel-slcan's bridge: one pseudo-terminal per channel of the adapter, each speaking
// SLCAN (SlcanChannel) to whatever program opens it, and the frames the adapter
// reports forwarded to the channels that are open. Frame reporting is on while any
// channel is open. One thread moves bulk transfers (MonitorReceiver); everything else
// runs in one poll loop, so the channels and the adapter exchanges need no lock.

#include "device/CWrapWinUSB.h"
#include "monitor/MonitorReceiver.h"
#include "slcan/PseudoTerminal.h"
#include "slcan/SlcanChannel.h"

#include <QIODevice>
#include <QStringList>

#include <memory>
#include <vector>

class SimFirmware;

class SlcanBridge : public SlcanDevice {
public:
    // `links`: one path per channel, in channel order. `simulated`: the simulated
    // adapter, which SIGUSR1 unplugs (a test aid); null for the real one.
    SlcanBridge(const QStringList &links, std::shared_ptr<SimFirmware> simulated);
    ~SlcanBridge() override;

    // Runs until SIGINT or SIGTERM (exit 0) or until the adapter is lost; returns one
    // of brantel-dump's exit codes. Messages and the summary go to `err`.
    int run(QIODevice *err);
    // SIGINT and SIGTERM end the bridge; SIGUSR1 unplugs the simulated adapter.
    static void installSignals();

    bool writeBitRate(int channel, int tableRow) override;
    bool setForwarding(int channel, bool on) override;

private:
    struct Port;
    bool openPorts();
    void forwardTransfers();
    void readCommands(Port &port);
    void flush(Port &port);
    void hostLeft(Port &port);
    void serveAbsent(Port &port);
    int finish(int code, const QString &message);
    void say(const QString &line);

    QStringList m_links;
    std::shared_ptr<SimFirmware> m_simulated;
    QIODevice *m_err = nullptr;
    CWrapWinUSB m_link;
    MonitorReceiver m_receiver;
    SlcanIdentity m_identity;
    std::vector<std::unique_ptr<Port>> m_ports;
    int m_wake[2] = {-1, -1};
    int m_openChannels = 0;
    quint64 m_transfers = 0;
    quint64 m_malformed = 0;
    quint64 m_reported[2] = {0, 0};
    quint64 m_sentByAdapter = 0;
};
