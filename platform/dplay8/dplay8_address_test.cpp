#include "platform/dplay8/dplay8_address.h"

#include <gtest/gtest.h>

TEST(Dplay8Address, UrlRoundTripKeepsEveryComponent)
{
    dplay8_address_c address;
    address.AddComponent(DPNA_KEY_PROVIDER, DPNA_VALUE_TCPIPPROVIDER);
    address.AddComponent(DPNA_KEY_HOSTNAME, "fe80::1%eth0;x=y");
    address.AddComponent(DPNA_KEY_PORT, 2300);
    std::string url;
    ASSERT_EQ(address.GetURL(&url), DPN_OK);
    EXPECT_EQ(url.rfind(DPNA_URL_PREFIX, 0), 0u);

    dplay8_address_c read;
    ASSERT_EQ(read.BuildFromURL(url), DPN_OK);
    std::string host, provider;
    u32 port = 0;
    ASSERT_EQ(read.GetComponent("HOSTNAME", &host), DPN_OK);
    ASSERT_EQ(read.GetComponent(DPNA_KEY_PROVIDER, &provider), DPN_OK);
    ASSERT_EQ(read.GetComponent(DPNA_KEY_PORT, &port), DPN_OK);
    EXPECT_EQ(host, "fe80::1%eth0;x=y");
    EXPECT_EQ(provider, DPNA_VALUE_TCPIPPROVIDER);
    EXPECT_EQ(port, 2300u);
}

TEST(Dplay8Address, ComponentOfTheOtherKindOrMissingIsRefused)
{
    dplay8_address_c address;
    address.AddComponent(DPNA_KEY_PORT, 1);
    std::string text;
    u32 number = 0;
    EXPECT_EQ(address.GetComponent(DPNA_KEY_PORT, &text), DPNERR_INVALIDPARAM);
    EXPECT_EQ(address.GetComponent(DPNA_KEY_HOSTNAME, &number), DPNERR_INVALIDPARAM);
    EXPECT_EQ(address.AddComponent("", 1), DPNERR_INVALIDPARAM);
    address.AddComponent(DPNA_KEY_PORT, 7);
    ASSERT_EQ(address.GetComponent(DPNA_KEY_PORT, &number), DPN_OK);
    EXPECT_EQ(number, 7u);
}

TEST(Dplay8Address, BadUrlsLeaveTheAddressUnchanged)
{
    const char* bad[] = {
        "xeon",                    // a host name, not a URL
        "x-dplay8:provider=tcpip", // prefix cut short
        "x-dplay8:/hostname",      // no '='
        "x-dplay8:/=value",        // no key
        "x-dplay8:/hostname=a%4",  // escape cut off
        "x-dplay8:/hostname=a%zz", // escape not hex
        "x-dplay8:/port=70000",    // port too large
        "x-dplay8:/port=12ab",     // port not a number
        "x-dplay8:/port=",         // empty port
    };
    for (const char* url : bad) {
        dplay8_address_c address;
        address.AddComponent(DPNA_KEY_HOSTNAME, "kept");
        EXPECT_EQ(address.BuildFromURL(url), DPNERR_ADDRESSING) << url;
        std::string host;
        EXPECT_EQ(address.GetComponent(DPNA_KEY_HOSTNAME, &host), DPN_OK) << url;
        EXPECT_EQ(host, "kept") << url;
    }
}

TEST(Dplay8Address, NarrowTextSurvivesWideningAndLongTextIsCut)
{
    std::string every;
    for (int c = 1; c < 256; ++c)
        every += static_cast<char>(c);
    EXPECT_EQ(DpnNarrow(DpnWiden(every, every.size())), every);
    EXPECT_EQ(DpnWiden(std::string(500, 'a')).size(), DPN_MAX_NAME_LENGTH);
    EXPECT_EQ(DpnNarrow(u"\u0100b"), "?b");
}
