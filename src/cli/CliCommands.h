#pragma once
// The commands of dizuro-cli, each from its parsed request to the exit status:
// 0 done, 1 the operation failed (its message on standard error), 2 a usage error.

#include <QString>

#include <functional>

#include "cli/CliOptions.h"
#include "cli/Progress.h"
#include "link/LinkConfig.h"

namespace dz {

namespace exitStatus {
constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;
}  // namespace exitStatus

struct CliConsole {
    std::function<void(const QString&)> out;  // results
    std::function<void(const QString&)> err;  // messages and progress
    Progress::Style progress = Progress::Style::Lines;
};

int runCliCommand(const CliRequest& request, const LinkConfig& link, const CliConsole& console);

}  // namespace dz
