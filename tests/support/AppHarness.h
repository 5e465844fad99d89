#pragma once
// The window against the simulated receiver on loopback, with short intervals
// so that watchdog and keep-alive cases run in well under a second.

#include <QTest>

#include <memory>

#include "SimReceiver.h"
#include "app/AppConfig.h"
#include "app/TFMain.h"
#include "support/LinkHarness.h"
#include "support/QtPrinting.h"
#include "support/ScriptedDialogs.h"

namespace dztest {

class AppHarness {
public:
    // Starts the simulated receiver; `withReceiver` false leaves the endpoint dead.
    explicit AppHarness(bool withReceiver = true);
    ~AppHarness();

    // Builds the window (not yet created: FormCreate has not run).
    dz::TFMain& build();
    // Builds the window and runs FormCreate, as the program does at start.
    dz::TFMain& start();

    dzsim::SimReceiver sim;
    ScriptedDialogs dialogs;
    dz::AppConfig config;
    std::unique_ptr<dz::TFMain> window;
};

}  // namespace dztest
