#pragma once
// A link to the simulated receiver, without any window.

#include <QElapsedTimer>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "SimReceiver.h"
#include "link/DeviceLink.h"
#include "support/LinkHarness.h"
#include "support/QtPrinting.h"

namespace dztest {

using Bytes = std::vector<uint8_t>;

inline Bytes frameOf(const Bytes& payload)
{
    return dzsim::makeFrame(payload);
}

class LinkFixture : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.start()) << sim.error();
        config = fastLinkConfig(dz::Endpoint{"127.0.0.1", sim.port()});
        makeLink();
    }

    void makeLink()
    {
        link = std::make_unique<dz::DeviceLink>(config);
        QObject::connect(link.get(), &dz::DeviceLink::linkLost, [this] { ++linkLost; });
        QObject::connect(link.get(), &dz::DeviceLink::versionTextChanged,
                         [this](const QString& text) { versions << text; });
    }

    void openLink()
    {
        ASSERT_TRUE(link->OpenAtStart());
        ASSERT_TRUE(link->linkUp());
        ASSERT_TRUE(link->connected());
    }

    uint64_t requestsSeen() { return sim.stats().requests; }
    uint64_t requestsSeen(uint8_t code) { return sim.stats().byCode[code]; }

    dzsim::SimReceiver sim;
    dz::LinkConfig config;
    std::unique_ptr<dz::DeviceLink> link;
    int linkLost = 0;
    QStringList versions;
};

}  // namespace dztest
