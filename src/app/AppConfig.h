#pragma once
// What the window is built with: the link's endpoint and intervals. The defaults
// are the receiver's; the command line and the tests change them.

#include "link/LinkConfig.h"

namespace dz {

struct AppConfig {
    LinkConfig link;
};

}  // namespace dz
