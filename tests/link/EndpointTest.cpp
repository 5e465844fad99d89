#include <gtest/gtest.h>

#include "link/Endpoint.h"

namespace {

TEST(Endpoint, DefaultsToTheReceiversAccessPoint)
{
    const dz::Endpoint e;
    EXPECT_EQ(e.text(), "192.168.4.1:55555");
}

struct ParseCase {
    const char* text;
    bool valid;
    const char* host;
    int port;
};

class EndpointParse : public testing::TestWithParam<ParseCase> {};

TEST_P(EndpointParse, HostWithOptionalPort)
{
    const ParseCase c = GetParam();
    const auto e = dz::parseEndpoint(c.text);
    ASSERT_EQ(e.has_value(), c.valid) << c.text;
    if (c.valid) {
        EXPECT_EQ(e->host, c.host);
        EXPECT_EQ(e->port, c.port);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, EndpointParse,
                         testing::Values(ParseCase{"127.0.0.1:4000", true, "127.0.0.1", 4000},
                                         ParseCase{"localhost", true, "localhost", 55555},
                                         ParseCase{"127.0.0.1:65535", true, "127.0.0.1", 65535},
                                         ParseCase{"127.0.0.1:0", false, "", 0},
                                         ParseCase{"127.0.0.1:65536", false, "", 0},
                                         ParseCase{"127.0.0.1:12ab", false, "", 0}, ParseCase{":4000", false, "", 0},
                                         ParseCase{"", false, "", 0}, ParseCase{"127.0.0.1:", false, "", 0}));

}  // namespace
