// brantel-slcan: each channel of the adapter as a serial CAN device (SLCAN) on a
// pseudo-terminal, for slcand, python-can and other SLCAN clients.

#include "device/DeviceBackends.h"
#include "device/SimulatedAdapter.h"
#include "dump/DumpCapture.h"
#include "monitor/MonitorRecord.h"
#include "slcan/SlcanBridge.h"

#include <QCoreApplication>
#include <QFile>

namespace {

// Demo traffic of the simulated adapter: about a thousand frames a second.
constexpr double SimulatedTransfersPerSecond = 500.0;

struct Options {
    QStringList links;
    bool simulate = false;
    double simulatedFrameRate = 0; // 0: the demo traffic
    QString simulatedLog;
    bool help = false;
    bool version = false;
};

bool parse(const QStringList &args, Options *o, QString *error)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            o->help = true;
        } else if (arg == QLatin1String("-V") || arg == QLatin1String("--version")) {
            o->version = true;
        } else if (arg == QLatin1String("--simulate")) {
            o->simulate = true;
        } else if (arg == QLatin1String("--link") && hasValue) {
            o->links = args.at(++i).split(QLatin1Char(','));
            if (o->links.size() > 2 || o->links.contains(QString())) {
                *error = QStringLiteral("--link takes one or two paths: LINK0[,LINK1]");
                return false;
            }
        } else if (arg == QLatin1String("--sim-rate") && hasValue) {
            bool ok = false;
            o->simulatedFrameRate = args.at(++i).toDouble(&ok);
            if (!ok || !(o->simulatedFrameRate > 0)) {
                *error = QStringLiteral("--sim-rate takes a positive number of frames a second");
                return false;
            }
        } else if (arg == QLatin1String("--sim-log") && hasValue) {
            o->simulatedLog = args.at(++i);
        } else {
            *error = QStringLiteral("bad argument \"%1\" (see --help)").arg(arg);
            return false;
        }
    }
    if (o->links.isEmpty() && !o->help && !o->version) {
        *error = QStringLiteral("--link LINK0[,LINK1] is needed");
        return false;
    }
    return true;
}

const char Usage[] =
    "Usage: brantel-slcan --link LINK0[,LINK1] [--simulate]\n"
    "Presents each channel of the USB CAN adapter (USB 0471:1200) as a serial CAN device\n"
    "speaking SLCAN on a pseudo-terminal, reached through the symbolic link LINKn.\n"
    "\n"
    "  --link LINK0[,LINK1]  one link per channel, in channel order\n"
    "  --simulate            use the built-in simulated adapter\n"
    "  --sim-rate N          (test aid) the simulated adapter streams N frames a second,\n"
    "                        three to a transfer\n"
    "  --sim-log FILE        (test aid) at exit, write the simulated adapter's requests\n"
    "  -h, --help            show this text\n"
    "  -V, --version         show the version\n"
    "\n"
    "Then, for example: slcand -o -c -s6 LINK0 slcan0 && ip link set slcan0 up\n"
    "SIGINT or SIGTERM ends the bridge: reporting off, links removed. With --simulate,\n"
    "SIGUSR1 unplugs the simulated adapter (a test aid).\n"
    "Exit status: 0 stopped by a signal, 1 failed, 2 bad arguments, 3 no adapter or\n"
    "adapter unplugged, 4 access refused, 5 adapter in use, 6 incompatible adapter.\n";

// One request a line, bytes in hexadecimal.
bool writeRequestLog(const QString &path, const SimFirmware &device)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray text;
    for (const SimFirmware::Bytes &r : device.requests()) {
        const QByteArray request(reinterpret_cast<const char *>(r.data()), int(r.size()));
        text += request.toHex(' ').toUpper() + '\n';
    }
    return file.write(text) == text.size() && file.flush();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QFile out;
    QFile err;
    out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);

    Options options;
    QString error;
    if (!parse(app.arguments().mid(1), &options, &error)) {
        err.write("brantel-slcan: " + error.toUtf8() + '\n');
        return DumpExit::Usage;
    }
    if (options.help) {
        out.write(Usage);
        return DumpExit::Ok;
    }
    if (options.version) {
        out.write("brantel-slcan " BRANTEL_VERSION "\n");
        return DumpExit::Ok;
    }

    DeviceBackends::registerBuiltins();
    std::shared_ptr<SimFirmware> simulated;
    if (options.simulate) {
        DeviceBackends::select(DeviceBackends::simulatedName());
        simulated = SimRegistry::instance().add();
        if (options.simulatedFrameRate > 0)
            simulated->setStreamRate(options.simulatedFrameRate / MonitorRecord::MaxPerTransfer,
                                     MonitorRecord::MaxPerTransfer);
        else
            simulated->setStreamRate(SimulatedTransfersPerSecond);
    }
    SlcanBridge::installSignals();
    int code = DumpExit::Ok;
    {
        SlcanBridge bridge(options.links, simulated);
        code = bridge.run(&err);
    }
    if (simulated && !options.simulatedLog.isEmpty()
        && !writeRequestLog(options.simulatedLog, *simulated)) {
        err.write("brantel-slcan: cannot write " + options.simulatedLog.toUtf8() + '\n');
        return DumpExit::Failed;
    }
    if (simulated)
        err.write(QStringLiteral("brantel-slcan: the simulated adapter streamed %1 frames\n")
                      .arg(simulated->streamedRecords()).toUtf8());
    return code;
}
