#include "net/net_host_text.h"

#include <gtest/gtest.h>

TEST(NetHostText, HostAndPortAreTakenApart)
{
    const struct {
        const char* text;
        const char* host;
        u32 port;
    } cases[] = {
        {"example.org", "example.org", 20320},
        {"example.org:2300", "example.org", 2300},
        {"xeon", "xeon", 20320}, // a name that starts with x is a name
        {"xeon:2300", "xeon", 2300},
        {"10.0.0.2:1", "10.0.0.2", 1},
        {"::1", "::1", 20320},
        {"fe80::2:3", "fe80::2:3", 20320},
        {"[::1]", "::1", 20320},
        {"[::1]:65535", "::1", 65535},
        {"  spaced:99 ", "spaced", 99},
        {"x-dplay8:/provider=tcpip;hostname=10.1.2.3;port=4000", "10.1.2.3", 4000},
        {"X-DPLAY8:/hostname=h;port=5", "h", 5},
    };
    for (const auto& test : cases) {
        dplay8_address_c address;
        ASSERT_TRUE(ParseHostText(test.text, &address)) << test.text;
        std::string host;
        u32 port = 0;
        EXPECT_EQ(address.GetComponent(DPNA_KEY_HOSTNAME, &host), DPN_OK) << test.text;
        EXPECT_EQ(address.GetComponent(DPNA_KEY_PORT, &port), DPN_OK) << test.text;
        EXPECT_EQ(host, test.host) << test.text;
        EXPECT_EQ(port, test.port) << test.text;
    }
}

TEST(NetHostText, UnreadableTextsAreRefused)
{
    for (const char* text : {"", "   ", ":2300", "host:", "host:0", "host:65536", "host:12a", "host:-1", "[::1",
                             "[::1]2300", "[::1]:x", "[]", "x-dplay8:/port=99999", "x-dplay8:/nokey"}) {
        dplay8_address_c address;
        address.AddComponent(DPNA_KEY_HOSTNAME, "kept");
        EXPECT_FALSE(ParseHostText(text, &address)) << text;
        std::string host;
        address.GetComponent(DPNA_KEY_HOSTNAME, &host);
        EXPECT_EQ(host, "kept") << text;
    }
}
