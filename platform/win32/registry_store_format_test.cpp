#include "platform/win32/registry_store_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// A store body from its pieces, sealed with its checksum.
class body_c {
public:
    body_c& Text(const std::string& s)
    {
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    body_c& Word(u32 v)
    {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<u8>(v >> (8 * i)));
        return *this;
    }
    std::vector<u8> Sealed() const
    {
        std::vector<u8> sealed = bytes;
        SealRegistryStore(sealed);
        return sealed;
    }
    std::vector<u8> bytes;
};

TEST(RegistryStoreFormat, RoundTripAndLayout)
{
    const std::vector<registry_value_s> values = {
        {"OPTIONS", 3, {1, 2, 3}},
        {"", 4, {7, 0, 0, 0}},
        {"empty", 1, {}},
    };
    const std::vector<u8> bytes = SerializeRegistryValues(values);
    const std::vector<u8> expected = body_c()
                                         .Text("SKVREG01")
                                         .Word(3)
                                         .Word(7)
                                         .Text("OPTIONS")
                                         .Word(3)
                                         .Word(3)
                                         .Text("\x01\x02\x03")
                                         .Word(0)
                                         .Word(4)
                                         .Word(4)
                                         .Text(std::string("\x07\0\0\0", 4))
                                         .Word(5)
                                         .Text("empty")
                                         .Word(1)
                                         .Word(0)
                                         .Sealed();
    EXPECT_EQ(bytes, expected);

    const auto parsed = ParseRegistryValues(bytes);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed->size(), 3u);
    EXPECT_EQ((*parsed)[0].name, "OPTIONS");
    EXPECT_EQ((*parsed)[0].type, 3u);
    EXPECT_EQ((*parsed)[0].data, (std::vector<u8>{1, 2, 3}));
    EXPECT_EQ((*parsed)[2].data.size(), 0u);

    EXPECT_TRUE(ParseRegistryValues(SerializeRegistryValues({})));
}

// Each of these has a correct checksum, so only the structure checks can
// refuse it.
TEST(RegistryStoreFormat, RefusesBrokenStructure)
{
    struct case_s {
        const char* what;
        std::vector<u8> bytes;
    };
    const case_s cases[] = {
        {"count larger than the values", body_c().Text("SKVREG01").Word(2).Word(1).Text("a").Word(4).Word(0).Sealed()},
        {"huge count", body_c().Text("SKVREG01").Word(0xFFFFFFFF).Sealed()},
        {"name past the end", body_c().Text("SKVREG01").Word(1).Word(100).Text("ab").Word(4).Word(0).Sealed()},
        {"name of 4 GB", body_c().Text("SKVREG01").Word(1).Word(0xFFFFFFF0).Word(4).Word(0).Sealed()},
        {"data past the end", body_c().Text("SKVREG01").Word(1).Word(1).Text("a").Word(3).Word(50).Text("xy").Sealed()},
        {"data of 4 GB", body_c().Text("SKVREG01").Word(1).Word(1).Text("a").Word(3).Word(0xFFFFFFFF).Sealed()},
        {"bytes left over", body_c().Text("SKVREG01").Word(0).Text("junk").Sealed()},
        {"NUL inside a name",
         body_c().Text("SKVREG01").Word(1).Word(3).Text(std::string("a\0b", 3)).Word(4).Word(0).Sealed()},
        {"names equal but for case", body_c()
                                         .Text("SKVREG01")
                                         .Word(2)
                                         .Word(1)
                                         .Text("a")
                                         .Word(4)
                                         .Word(0)
                                         .Word(1)
                                         .Text("A")
                                         .Word(4)
                                         .Word(0)
                                         .Sealed()},
        {"other magic", body_c().Text("SKVREG02").Word(0).Sealed()},
        {"too short", body_c().Text("SKVREG01").Sealed()},
        {"nothing", {}},
    };
    for (const case_s& c : cases)
        EXPECT_FALSE(ParseRegistryValues(c.bytes)) << c.what;

    std::vector<u8> unsealed = SerializeRegistryValues({{"a", 4, {1, 2, 3, 4}}});
    unsealed[unsealed.size() - 1] ^= 1;
    EXPECT_FALSE(ParseRegistryValues(unsealed)) << "wrong checksum";
}

TEST(RegistryStoreFormat, NamesCompareWithoutAsciiCase)
{
    EXPECT_TRUE(RegistryNamesEqual("Players Cnt", "players cnt"));
    EXPECT_FALSE(RegistryNamesEqual("players", "players cnt"));
    EXPECT_FALSE(RegistryNamesEqual("\xC4", "\xE4")); // not ASCII: exact
    EXPECT_EQ(RegistryLowerAscii('Q'), 'q');
    EXPECT_EQ(RegistryLowerAscii('['), '[');
}

} // namespace
