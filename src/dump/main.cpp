// brantel-dump: captures the adapter's frame reports from the command line.

#include "device/DeviceBackends.h"
#include "device/SimulatedAdapter.h"
#include "dump/DumpCapture.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {
// Demo traffic of the simulated adapter: about a thousand frames a second.
constexpr double SimulatedTransfersPerSecond = 500.0;
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QFile out;
    QFile err;
    out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);

    DumpOptions options;
    QString error;
    if (!parseDumpOptions(app.arguments().mid(1), &options, &error)) {
        err.write("brantel-dump: " + error.toUtf8() + '\n');
        return DumpExit::Usage;
    }
    if (options.help) {
        out.write(dumpUsage().toUtf8());
        return DumpExit::Ok;
    }
    if (options.version) {
        out.write("brantel-dump " BRANTEL_VERSION "\n");
        return DumpExit::Ok;
    }

#ifdef _WIN32
    // A capture file is binary: no line-end translation on the way out.
    if (options.format == DumpOptions::Format::Pcapng)
        _setmode(_fileno(stdout), _O_BINARY);
#endif
    DeviceBackends::registerBuiltins();
    if (options.simulate) {
        DeviceBackends::select(DeviceBackends::simulatedName());
        SimRegistry::instance().add()->setStreamRate(SimulatedTransfersPerSecond);
    }
    DumpCapture::installStopSignals();
    DumpCapture capture(options);
    return capture.run(&out, &err);
}
