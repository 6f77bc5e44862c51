#include "app/Startup.h"

#include "device/DeviceBackends.h"
#include "device/SimulatedAdapter.h"
#include "widgets/BrantelResources.h"

#include <QApplication>
#include <QCommandLineParser>

namespace {

// Demo traffic of the built-in simulated adapter: about 40 frames a second.
constexpr double SimulatedTransfersPerSecond = 20.0;

QCommandLineOption simulateOption()
{
    return QCommandLineOption(
        QStringLiteral("simulate"),
        QStringLiteral("Use the built-in simulated adapter instead of the USB device."));
}

void describe(QCommandLineParser &parser)
{
    QCoreApplication::setApplicationName(QStringLiteral("Brantel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(BRANTEL_VERSION));
    parser.setApplicationDescription(QStringLiteral(
        "Configures and monitors the Harlowen USB CAN adapter (USB 0471:1200)."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(simulateOption());
}

} // namespace

void answerInformationOptions(int &argc, char *argv[])
{
    // A console-only application object: the real one needs a display. Other options
    // (ours and the toolkit's) are judged once the real one exists.
    QCoreApplication console(argc, argv);
    QCommandLineParser parser;
    describe(parser);
    parser.parse(console.arguments());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp();
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
}

void prepareApplication(QApplication &app)
{
    QCommandLineParser parser;
    describe(parser);
    parser.process(app);

    initBrantelResources();
    DeviceBackends::registerBuiltins();
    if (parser.isSet(simulateOption())) {
        DeviceBackends::select(DeviceBackends::simulatedName());
        SimRegistry::instance().add()->setStreamRate(SimulatedTransfersPerSecond);
    }
}
