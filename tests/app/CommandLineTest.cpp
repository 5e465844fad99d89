#include <gtest/gtest.h>

#include <vector>

#include "app/CommandLine.h"

namespace {

dz::CommandLine parse(const std::vector<const char*>& args)
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
    EXPECT_FALSE(c.help);
    EXPECT_FALSE(c.version);
}

TEST(CommandLine, DeviceTakesHostAndPortInEitherSpelling)
{
    for (const auto& c : {parse({"--device", "127.0.0.1:4000"}), parse({"--device=127.0.0.1:4000"})}) {
        ASSERT_TRUE(c.error.isEmpty()) << c.error.toStdString();
        ASSERT_TRUE(c.device.has_value());
        EXPECT_EQ(c.device->host, "127.0.0.1");
        EXPECT_EQ(c.device->port, 4000);
    }
    const auto hostOnly = parse({"--device", "127.0.0.2"});
    ASSERT_TRUE(hostOnly.device.has_value());
    EXPECT_EQ(hostOnly.device->port, 55555);
}

TEST(CommandLine, HelpVersionAndDemo)
{
    EXPECT_TRUE(parse({"--help"}).help);
    EXPECT_TRUE(parse({"-h"}).help);
    EXPECT_TRUE(parse({"--version"}).version);
    EXPECT_TRUE(parse({"--demo"}).demo);

    const QString help = parse({"--help"}).helpText;
    EXPECT_TRUE(help.startsWith(QStringLiteral("Usage: dizuro-link "))) << help.toStdString();
    for (const char* option : {"--device <HOST[:PORT]>", "--demo", "--version", "--help"}) {
        EXPECT_TRUE(help.contains(QString::fromLatin1(option))) << option;
    }
}

TEST(CommandLine, UnusableArgumentsSayWhy)
{
    for (const std::vector<const char*>& args : std::vector<std::vector<const char*>>{
             {"--device", "127.0.0.1:99999"}, {"--device"}, {"--bogus"}, {"--demo", "--device", "127.0.0.1"}, {"x"}}) {
        const auto c = parse(args);
        EXPECT_FALSE(c.error.isEmpty()) << args.front();
    }
    EXPECT_TRUE(parse({"--bogus"}).error.contains(QStringLiteral("bogus")));
}

}  // namespace
