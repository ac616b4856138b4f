#include "platform/dplay8/dplay8_wire.h"

#include <gtest/gtest.h>

using namespace dplay8_wire;

TEST(Dplay8Wire, FrameCarriesKindAndBodyBehindItsLength)
{
    const u8 body[] = {9, 8, 7};
    const std::vector<u8> frame = Frame(FRAME_DATA, body, sizeof body);
    ASSERT_EQ(frame.size(), 4u + 1 + 3);
    u32 length = 0;
    ASSERT_TRUE(FrameLength(frame.data(), &length));
    EXPECT_EQ(length, 4u);
    EXPECT_EQ(frame[4], FRAME_DATA);
    EXPECT_EQ(frame[7], 7);
}

TEST(Dplay8Wire, HeadersAnnouncingNothingOrTooMuchAreRefused)
{
    const struct {
        u32 length;
        bool good;
    } cases[] = {{0, false}, {1, true}, {kMaxFrameLength, true}, {kMaxFrameLength + 1, false}, {0xFFFFFFFF, false}};
    for (const auto& test : cases) {
        const u8 header[4] = {static_cast<u8>(test.length), static_cast<u8>(test.length >> 8),
                              static_cast<u8>(test.length >> 16), static_cast<u8>(test.length >> 24)};
        u32 length = 0;
        EXPECT_EQ(FrameLength(header, &length), test.good) << test.length;
    }
}

TEST(Dplay8Wire, HelloRoundTripAndEveryTruncationRefused)
{
    dpn_guid_c application;
    application.bytes[3] = 0x42;
    const std::vector<u8> hello = Hello(application, u"secret");
    dpn_guid_c read_application;
    std::u16string password;
    ASSERT_TRUE(ReadHello(hello.data(), hello.size(), &read_application, &password));
    EXPECT_EQ(read_application, application);
    EXPECT_EQ(password, u"secret");
    for (std::size_t size = 0; size < hello.size(); ++size)
        EXPECT_FALSE(ReadHello(hello.data(), size, &read_application, &password)) << size;
    std::vector<u8> longer = hello;
    longer.push_back(0);
    EXPECT_FALSE(ReadHello(longer.data(), longer.size(), &read_application, &password));
}

TEST(Dplay8Wire, PasswordLengthPastTheDataIsRefused)
{
    std::vector<u8> hello = Hello(dpn_guid_c(), u"ab");
    hello[20] = 200; // announces 200 units where 2 follow
    dpn_guid_c application;
    std::u16string password;
    EXPECT_FALSE(ReadHello(hello.data(), hello.size(), &application, &password));
}

TEST(Dplay8Wire, AnswerRoundTripAndEveryTruncationRefused)
{
    dpn_application_desc_c desc;
    desc.instance = DpnNewGuid();
    desc.application = DpnNewGuid();
    desc.flags = DPNSESSION_CLIENT_SERVER | DPNSESSION_REQUIREPASSWORD;
    desc.max_players = 8;
    desc.current_players = 3;
    desc.session_name = u"Dawn patrol";
    desc.password = u"never sent";
    const std::vector<u8> answer = Answer(77, desc, 2300);
    u32 query_id = 0;
    u16 port = 0;
    dpn_application_desc_c read;
    ASSERT_TRUE(ReadAnswer(answer.data(), answer.size(), &query_id, &read, &port));
    EXPECT_EQ(query_id, 77u);
    EXPECT_EQ(port, 2300);
    EXPECT_EQ(read.instance, desc.instance);
    EXPECT_EQ(read.application, desc.application);
    EXPECT_EQ(read.flags, desc.flags);
    EXPECT_EQ(read.max_players, 8u);
    EXPECT_EQ(read.current_players, 3u);
    EXPECT_EQ(read.session_name, desc.session_name);
    EXPECT_TRUE(read.password.empty());
    for (std::size_t size = 0; size < answer.size(); ++size)
        EXPECT_FALSE(ReadAnswer(answer.data(), size, &query_id, &read, &port)) << size;
}

TEST(Dplay8Wire, QueryIsNotTakenForAnAnswerOrAGreeting)
{
    const std::vector<u8> query = Query(dpn_guid_c(), 5);
    u32 id = 0;
    u16 port = 0;
    dpn_application_desc_c desc;
    dpn_guid_c application;
    std::u16string password;
    EXPECT_FALSE(ReadAnswer(query.data(), query.size(), &id, &desc, &port));
    EXPECT_FALSE(ReadHello(query.data(), query.size(), &application, &password));
    ASSERT_TRUE(ReadQuery(query.data(), query.size(), &application, &id));
    EXPECT_EQ(id, 5u);
}
