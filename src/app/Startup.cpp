#include "app/Startup.h"

#include "device/DeviceBackends.h"
#include "device/SimulatedAdapter.h"
#include "widgets/BrantelResources.h"

#include <QApplication>
#include <QCommandLineParser>

namespace {
// Demo traffic of the built-in simulated adapter: about 40 frames a second.
constexpr double SimulatedTransfersPerSecond = 20.0;
}

void prepareApplication(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("Brantel"));
    QApplication::setApplicationVersion(QStringLiteral(BRANTEL_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Configures and monitors the Harlowen USB CAN adapter (USB 0471:1200)."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption simulate(
        QStringLiteral("simulate"),
        QStringLiteral("Use the built-in simulated adapter instead of the USB device."));
    parser.addOption(simulate);
    parser.process(app);

    initBrantelResources();
    DeviceBackends::registerBuiltins();
    if (parser.isSet(simulate)) {
        DeviceBackends::select(DeviceBackends::simulatedName());
        SimRegistry::instance().add()->setStreamRate(SimulatedTransfersPerSecond);
    }
}
