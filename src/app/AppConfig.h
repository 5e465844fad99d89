#pragma once
// What the window is built with: the link's endpoint and the intervals of the link and the operations. The defaults
// are the receiver's; the command line and the tests change them.

#include "link/LinkConfig.h"
#include "update/UpdateTransfer.h"

namespace dz {

struct AppConfig {
    LinkConfig link;
    UpdateConfig update;
};

}  // namespace dz
