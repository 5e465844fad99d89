#pragma once
// Everything that is checked before a software transfer starts: a file and the
// link are there, the file can be read, its extension fits the chosen target.
// Nothing is sent when a check fails; the message says why.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "update/UpdateEncoder.h"

namespace dz {

struct UpdateChoice {
    bool fileChosen = false;   // the file list holds the chosen file's name
    std::string firmwarePath;  // the file to send (UTF-8); its name and extension too
    bool linkUp = false;
    bool pocketChecked = false;
    bool lanChecked = false;
};

struct PreparedUpdate {
    UpdateTarget target;
    std::vector<uint8_t> file;
    NameField name;
};

// The loaded file and its target, or the message to show.
std::variant<PreparedUpdate, std::string> prepareUpdate(const UpdateChoice& choice);

}  // namespace dz
