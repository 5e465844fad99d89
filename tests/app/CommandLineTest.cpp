#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace {

dz::CommandLine parse(std::initializer_list<const char*> args)
{
    QStringList list{QStringLiteral("dizuro-link")};
    for (const char* a : args) {
        list << QString::fromUtf8(a);
    }
    return dz::parseCommandLine(list);
}

TEST(CommandLine, NoOptionsKeepsTheReceiversEndpoint)
{
    const auto c = parse({});
    EXPECT_TRUE(c.error.isEmpty());
    EXPECT_FALSE(c.device.has_value());
    EXPECT_FALSE(c.demo);
}

TEST(CommandLine, DeviceTakesHostAndPortInEitherSpelling)
{
    for (const auto& c : {parse({"--device", "127.0.0.1:4000"}), parse({"--device=127.0.0.1:4000"})}) {
        ASSERT_TRUE(c.device.has_value());
        EXPECT_EQ(c.device->host, "127.0.0.1");
        EXPECT_EQ(c.device->port, 4000);
    }
}

TEST(CommandLine, UnusableArgumentsSayWhy)
{
    EXPECT_FALSE(parse({"--device", "127.0.0.1:99999"}).error.isEmpty());
    EXPECT_FALSE(parse({"--device"}).error.isEmpty());
    EXPECT_FALSE(parse({"--bogus"}).error.isEmpty());
    EXPECT_FALSE(parse({"--demo", "--device", "127.0.0.1"}).error.isEmpty());
}

}  // namespace
