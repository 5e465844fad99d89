#include "app/DeviceOptions.h"

namespace dz {

DeviceOptions::DeviceOptions()
    : m_device(QStringLiteral("device"),
               QStringLiteral("The receiver's address (default 192.168.4.1:55555); the port defaults to 55555."),
               QStringLiteral("HOST[:PORT]")),
      m_demo(QStringLiteral("demo"), QStringLiteral("Start a simulated receiver on loopback and talk to it."))
{
}

void DeviceOptions::addTo(QCommandLineParser& parser) const
{
    parser.addOption(m_device);
    parser.addOption(m_demo);
}

DeviceChoice DeviceOptions::read(const QCommandLineParser& parser) const
{
    DeviceChoice c;
    c.demo = parser.isSet(m_demo);
    if (parser.isSet(m_device)) {
        c.device = parseEndpoint(parser.value(m_device).toStdString());
        if (!c.device) {
            c.error = QStringLiteral("--device takes HOST or HOST:PORT, e.g. 127.0.0.1:55555");
        }
    }
    if (c.error.isEmpty() && c.demo && c.device) {
        c.error = QStringLiteral("--demo and --device exclude each other");
    }
    return c;
}

QString helpText(const QCommandLineParser& parser, const QString& program)
{
    // Without an application object the parser names no program; with one it names the path it was started by.
    QString text = parser.helpText();
    const QString usage = QStringLiteral("Usage: ");
    if (text.startsWith(usage)) {
        const qsizetype end = text.indexOf(QLatin1Char(' '), usage.size());
        if (end > 0) {
            text.replace(usage.size(), end - usage.size(), program);
        }
    }
    return text;
}

}  // namespace dz
