#include "app/CommandLine.h"

namespace dz {

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine c;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            c.help = true;
        } else if (a == QLatin1String("--version")) {
            c.version = true;
        } else if (a == QLatin1String("--demo")) {
            c.demo = true;
        } else if (a == QLatin1String("--device") || a.startsWith(QLatin1String("--device="))) {
            QString value;
            if (a.startsWith(QLatin1String("--device="))) {
                value = a.mid(9);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            }
            c.device = parseEndpoint(value.toStdString());
            if (!c.device) {
                c.error = QStringLiteral("--device takes HOST or HOST:PORT, e.g. 127.0.0.1:55555");
            }
        } else {
            c.error = QStringLiteral("unknown option %1 (see --help)").arg(a);
        }
    }
    if (c.demo && c.device) {
        c.error = QStringLiteral("--demo and --device exclude each other");
    }
    return c;
}

QString commandLineHelp()
{
    return QStringLiteral(
        "Usage: dizuro-link [--device HOST[:PORT]] [--demo]\n"
        "Talks to a KAV Dizuro receiver over its own Wi-Fi access point.\n\n"
        "  --device HOST[:PORT]  the receiver's address (default 192.168.4.1:55555)\n"
        "  --demo                start a simulated receiver on loopback and talk to it\n"
        "  --version             print the version and exit\n"
        "  --help                print this text and exit\n");
}

}  // namespace dz
