#include "support/AppHarness.h"

#include <stdexcept>

namespace dztest {

AppHarness::AppHarness(bool withReceiver)
{
    if (withReceiver) {
        if (!sim.start("127.0.0.1", 0)) {
            throw std::runtime_error(sim.error());
        }
        config.link = fastLinkConfig(dz::Endpoint{"127.0.0.1", sim.port()});
    } else {
        config.link = fastLinkConfig(deadEndpoint());
    }
}

AppHarness::~AppHarness()
{
    window.reset();
    sim.stop();
}

dz::TFMain& AppHarness::build()
{
    window = std::make_unique<dz::TFMain>(config, dialogs);
    return *window;
}

dz::TFMain& AppHarness::start()
{
    build();
    window->FormCreate();
    return *window;
}

}  // namespace dztest
