#include "app/CommandLine.h"

#include <QCommandLineParser>

#include "app/DeviceOptions.h"

namespace dz {

CommandLine parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Talks to a KAV Dizuro receiver over its own Wi-Fi access point."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const DeviceOptions device;
    device.addTo(parser);

    CommandLine c;
    c.helpText = dz::helpText(parser, QStringLiteral("dizuro-link"));
    if (!parser.parse(arguments)) {
        c.error = parser.errorText() + QStringLiteral(" See --help.");
        return c;
    }
    if (!parser.positionalArguments().isEmpty()) {
        c.error = QStringLiteral("unexpected argument %1 (see --help)").arg(parser.positionalArguments().constFirst());
        return c;
    }
    c.help = parser.isSet(help) || parser.isSet(QStringLiteral("help-all"));
    c.version = parser.isSet(version);
    const DeviceChoice choice = device.read(parser);
    c.device = choice.device;
    c.demo = choice.demo;
    c.error = choice.error;
    return c;
}

}  // namespace dz
