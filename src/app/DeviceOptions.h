#pragma once
// The options by which both programs find the receiver, for QCommandLineParser:
// --device HOST[:PORT] and --demo. Each program adds its own options beside them.

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>

#include <optional>

#include "link/Endpoint.h"

namespace dz {

struct DeviceChoice {
    std::optional<Endpoint> device;  // nothing: the receiver's own access point
    bool demo = false;               // a simulated receiver on loopback
    QString error;                   // set when the values cannot be used
};

class DeviceOptions {
public:
    DeviceOptions();

    void addTo(QCommandLineParser& parser) const;
    // What a parse found; `parser` must have been given these options.
    DeviceChoice read(const QCommandLineParser& parser) const;

private:
    QCommandLineOption m_device;
    QCommandLineOption m_demo;
};

// The parser's help with `program` in its usage line, however the program was started.
QString helpText(const QCommandLineParser& parser, const QString& program);

}  // namespace dz
