#pragma once
// dizuro-link's options. None of them is needed: without any, the program talks
// to the receiver's access point at 192.168.4.1:55555.

#include <QString>
#include <QStringList>

#include <optional>

#include "link/Endpoint.h"

namespace dz {

struct CommandLine {
    std::optional<Endpoint> device;  // --device HOST[:PORT]
    bool demo = false;               // --demo: a simulated receiver on loopback
    bool help = false;
    bool version = false;
    QString helpText;
    QString error;  // set when the arguments cannot be used
};

// `arguments` as the program got them, its own name first.
CommandLine parseCommandLine(const QStringList& arguments);

}  // namespace dz
