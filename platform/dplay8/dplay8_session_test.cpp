#include "platform/dplay8/dplay8_client.h"
#include "platform/dplay8/dplay8_server.h"
#include "platform/dplay8/dplay8_wire.h"
#include "platform/dplay8/testing/event_log.h"

#include <asio/connect.hpp>
#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/read.hpp>
#include <asio/write.hpp>

#include <gtest/gtest.h>

namespace {

dpn_guid_c Application()
{
    dpn_guid_c guid;
    guid.bytes = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    return guid;
}

dpn_application_desc_c Desc(u32 max_players = 0, const char16_t* password = nullptr)
{
    dpn_application_desc_c desc;
    desc.flags = DPNSESSION_CLIENT_SERVER;
    desc.application = Application();
    desc.max_players = max_players;
    desc.session_name = u"test";
    if (password != nullptr) {
        desc.flags |= DPNSESSION_REQUIREPASSWORD;
        desc.password = password;
    }
    return desc;
}

dplay8_address_c Loopback(u16 port)
{
    dplay8_address_c address;
    address.AddComponent(DPNA_KEY_PROVIDER, DPNA_VALUE_TCPIPPROVIDER);
    address.AddComponent(DPNA_KEY_HOSTNAME, "127.0.0.1");
    address.AddComponent(DPNA_KEY_PORT, port);
    return address;
}

class Dplay8Session : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(server.Initialize(&server_log, dplay8_event_log_c::Handler, 0), DPN_OK); }

    u16 Host(const dpn_application_desc_c& desc)
    {
        dplay8_address_c device;
        device.AddComponent(DPNA_KEY_PORT, 0u);
        EXPECT_EQ(server.Host(desc, &device), DPN_OK);
        return server.GetHostPort();
    }

    // Connects a new client; returns its completion event.
    dplay8_event_c Join(dplay8_client_c& client, dplay8_event_log_c& log, u16 port,
                        const dpn_application_desc_c& desc = Desc())
    {
        EXPECT_EQ(client.Initialize(&log, dplay8_event_log_c::Handler, 0), DPN_OK);
        dpn_handle handle = 0;
        EXPECT_EQ(client.Connect(desc, Loopback(port), &handle), DPNSUCCESS_PENDING);
        EXPECT_TRUE(log.WaitForId(DPN_MSGID_CONNECT_COMPLETE));
        const auto completes = log.EventsOf(DPN_MSGID_CONNECT_COMPLETE);
        EXPECT_EQ(completes.size(), 1u);
        EXPECT_EQ(completes.front().handle, handle);
        return completes.front();
    }

    // Logs first: they must outlive the objects that report to them.
    dplay8_event_log_c server_log;
    dplay8_server_c server;
};

} // namespace

TEST_F(Dplay8Session, MessagesTravelBothWaysInOrderWithTheirBoundaries)
{
    const u16 port = Host(Desc());
    ASSERT_NE(port, 0);
    dplay8_event_log_c client_log;
    dplay8_client_c client;
    const dplay8_event_c joined = Join(client, client_log, port);
    ASSERT_EQ(joined.result, DPN_OK);
    ASSERT_TRUE(server_log.WaitForId(DPN_MSGID_CREATE_PLAYER));
    EXPECT_EQ(server_log.EventsOf(DPN_MSGID_CREATE_PLAYER).front().player, joined.player);
    EXPECT_EQ(server_log.EventsOf(DPN_MSGID_INDICATE_CONNECT).size(), 1u);

    const int count = 200;
    for (int i = 0; i < count; ++i) {
        const std::string text = "up " + std::to_string(i);
        ASSERT_EQ(client.Send(reinterpret_cast<const u8*>(text.data()), static_cast<u32>(text.size()), 0), DPN_OK);
        const std::string down = "down " + std::to_string(i);
        ASSERT_EQ(
            server.SendTo(joined.player, reinterpret_cast<const u8*>(down.data()), static_cast<u32>(down.size()), 0),
            DPN_OK);
    }
    ASSERT_TRUE(server_log.WaitForId(DPN_MSGID_RECEIVE, count));
    ASSERT_TRUE(client_log.WaitForId(DPN_MSGID_RECEIVE, count));
    const auto up = server_log.EventsOf(DPN_MSGID_RECEIVE);
    const auto down = client_log.EventsOf(DPN_MSGID_RECEIVE);
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(up[i].data, "up " + std::to_string(i));
        EXPECT_EQ(up[i].player, joined.player);
        EXPECT_EQ(down[i].data, "down " + std::to_string(i));
        EXPECT_EQ(down[i].player, DPNID_SERVER);
    }
}

TEST_F(Dplay8Session, EmptyAndLargestMessagesArriveWholeAndLargerAreRefused)
{
    const u16 port = Host(Desc());
    dplay8_event_log_c client_log;
    dplay8_client_c client;
    ASSERT_EQ(Join(client, client_log, port).result, DPN_OK);
    const std::vector<u8> largest(DPN_MAX_MESSAGE_SIZE, 0xAB);
    EXPECT_EQ(client.Send(largest.data(), DPN_MAX_MESSAGE_SIZE + 1, 0), DPNERR_SENDTOOLARGE);
    ASSERT_EQ(client.Send(nullptr, 0, 0), DPN_OK);
    ASSERT_EQ(client.Send(largest.data(), DPN_MAX_MESSAGE_SIZE, 0), DPN_OK);
    ASSERT_TRUE(server_log.WaitForId(DPN_MSGID_RECEIVE, 2));
    const auto received = server_log.EventsOf(DPN_MSGID_RECEIVE);
    EXPECT_TRUE(received[0].data.empty());
    EXPECT_EQ(received[1].data, std::string(largest.begin(), largest.end()));
}

TEST_F(Dplay8Session, AdmissionIsRefusedWithItsReason)
{
    const u16 port = Host(Desc(3, u"open sesame"));
    const struct {
        const char16_t* password;
        bool other_application;
        dpn_result expected;
    } cases[] = {
        {u"wrong", false, DPNERR_INVALIDPASSWORD},
        {nullptr, false, DPNERR_INVALIDPASSWORD},
        {u"open sesame", true, DPNERR_INVALIDAPPLICATION},
        {u"open sesame", false, DPN_OK},
        {u"open sesame", false, DPN_OK},
        {u"open sesame", false, DPNERR_SESSIONFULL}, // three players with the host
    };
    std::vector<std::unique_ptr<dplay8_event_log_c>> logs;
    std::vector<std::unique_ptr<dplay8_client_c>> clients;
    for (const auto& test : cases) {
        dpn_application_desc_c desc = Desc(0, test.password);
        if (test.other_application)
            desc.application = DpnNewGuid();
        clients.push_back(std::make_unique<dplay8_client_c>());
        logs.push_back(std::make_unique<dplay8_event_log_c>());
        EXPECT_EQ(Join(*clients.back(), *logs.back(), port, desc).result, test.expected);
    }
}

TEST_F(Dplay8Session, PlayerLimitAndPasswordCanChangeWhileHosting)
{
    const u16 port = Host(Desc(2));
    dpn_application_desc_c changed = Desc(3, u"late");
    ASSERT_EQ(server.SetApplicationDesc(changed), DPN_OK);
    dplay8_event_log_c first_log, second_log, third_log;
    dplay8_client_c first, second, third;
    EXPECT_EQ(Join(first, first_log, port).result, DPNERR_INVALIDPASSWORD);
    EXPECT_EQ(Join(second, second_log, port, Desc(0, u"late")).result, DPN_OK);
    EXPECT_EQ(Join(third, third_log, port, Desc(0, u"late")).result, DPN_OK);
}

TEST_F(Dplay8Session, HandlerCanRefuseAConnection)
{
    server_log.indicate_result = DPNERR_GENERIC;
    const u16 port = Host(Desc());
    dplay8_event_log_c client_log;
    dplay8_client_c client;
    EXPECT_EQ(Join(client, client_log, port).result, DPNERR_HOSTREJECTEDCONNECTION);
    EXPECT_TRUE(server_log.EventsOf(DPN_MSGID_CREATE_PLAYER).empty());
}

TEST_F(Dplay8Session, NobodyListeningGivesNoResponse)
{
    const u16 port = Host(Desc());
    ASSERT_EQ(server.Close(0), DPN_OK);
    dplay8_event_log_c client_log;
    dplay8_client_c client;
    ASSERT_EQ(client.SetCaps({200, 2}), DPN_OK);
    EXPECT_EQ(Join(client, client_log, port).result, DPNERR_NORESPONSE);
}

TEST_F(Dplay8Session, DestroyedClientHearsTheEndAndOthersStay)
{
    const u16 port = Host(Desc());
    dplay8_event_log_c first_log, second_log;
    dplay8_client_c first, second;
    const dpnid first_id = Join(first, first_log, port).player;
    const dpnid second_id = Join(second, second_log, port).player;
    ASSERT_NE(first_id, second_id);
    const u8 last[] = {'b', 'y', 'e'};
    ASSERT_EQ(server.SendTo(first_id, last, 3, 0), DPN_OK);
    ASSERT_EQ(server.DestroyClient(first_id), DPN_OK);
    ASSERT_TRUE(first_log.WaitForId(DPN_MSGID_TERMINATE_SESSION));
    // What was queued before the destruction still arrived.
    ASSERT_EQ(first_log.EventsOf(DPN_MSGID_RECEIVE).size(), 1u);
    ASSERT_TRUE(server_log.WaitForId(DPN_MSGID_DESTROY_PLAYER));
    EXPECT_EQ(server_log.EventsOf(DPN_MSGID_DESTROY_PLAYER).front().player, first_id);
    EXPECT_EQ(first.Send(last, 3, 0), DPNERR_INVALIDSTATE);

    ASSERT_EQ(second.Send(last, 3, 0), DPN_OK);
    ASSERT_TRUE(server_log.WaitFor([&](const std::vector<dplay8_event_c>& events) {
        for (const auto& event : events)
            if (event.id == DPN_MSGID_RECEIVE && event.player == second_id)
                return true;
        return false;
    }));
}

TEST_F(Dplay8Session, ClientCloseIsHeardAsDestroyPlayer)
{
    const u16 port = Host(Desc());
    dplay8_event_log_c client_log;
    dplay8_client_c client;
    const dpnid id = Join(client, client_log, port).player;
    ASSERT_EQ(client.Close(0), DPN_OK);
    ASSERT_TRUE(server_log.WaitForId(DPN_MSGID_DESTROY_PLAYER));
    EXPECT_EQ(server_log.EventsOf(DPN_MSGID_DESTROY_PLAYER).front().player, id);
    // No callback after Close returned.
    EXPECT_TRUE(client_log.EventsOf(DPN_MSGID_TERMINATE_SESSION).empty());
}

TEST_F(Dplay8Session, ServerCloseEndsEveryClientsSession)
{
    const u16 port = Host(Desc());
    dplay8_event_log_c first_log, second_log;
    dplay8_client_c first, second;
    ASSERT_EQ(Join(first, first_log, port).result, DPN_OK);
    ASSERT_EQ(Join(second, second_log, port).result, DPN_OK);
    ASSERT_TRUE(server_log.WaitForId(DPN_MSGID_CREATE_PLAYER, 2));
    ASSERT_EQ(server.Close(0), DPN_OK);
    const std::size_t heard = server_log.Events().size();
    EXPECT_TRUE(first_log.WaitForId(DPN_MSGID_TERMINATE_SESSION));
    EXPECT_TRUE(second_log.WaitForId(DPN_MSGID_TERMINATE_SESSION));
    EXPECT_EQ(server_log.Events().size(), heard);
}

TEST_F(Dplay8Session, GarbageFromAStrangerIsDroppedUnheard)
{
    const u16 port = Host(Desc());
    asio::io_context io;
    const std::vector<std::vector<u8>> garbage = {
        {0xFF, 0xFF, 0xFF, 0xFF, 1},                       // a frame too long
        {0, 0, 0, 0},                                      // a frame of nothing
        {5, 0, 0, 0, dplay8_wire::FRAME_DATA, 1, 2, 3, 4}, // data before greeting
        {3, 0, 0, 0, dplay8_wire::FRAME_HELLO, 'D', 'P'},  // a cut greeting
    };
    for (const auto& bytes : garbage) {
        asio::ip::tcp::socket socket(io);
        socket.connect({asio::ip::make_address("127.0.0.1"), port});
        asio::write(socket, asio::buffer(bytes));
        // The server ends the connection, maybe after a refusal.
        std::vector<u8> answer(64);
        asio::error_code error;
        while (!error)
            socket.read_some(asio::buffer(answer), error);
        EXPECT_TRUE(error == asio::error::eof || error == asio::error::connection_reset) << error.message();
    }
    EXPECT_TRUE(server_log.EventsOf(DPN_MSGID_CREATE_PLAYER).empty());
    EXPECT_TRUE(server_log.EventsOf(DPN_MSGID_RECEIVE).empty());
    // And still admits a real client.
    dplay8_event_log_c client_log;
    dplay8_client_c client;
    EXPECT_EQ(Join(client, client_log, port).result, DPN_OK);
}

TEST_F(Dplay8Session, CallsInTheWrongStateAreRefused)
{
    dplay8_event_log_c log;
    dplay8_client_c client;
    EXPECT_EQ(client.Connect(Desc(), Loopback(1), nullptr), DPNERR_UNINITIALIZED);
    ASSERT_EQ(client.Initialize(&log, dplay8_event_log_c::Handler, 0), DPN_OK);
    EXPECT_EQ(client.Initialize(&log, dplay8_event_log_c::Handler, 0), DPNERR_ALREADYINITIALIZED);
    EXPECT_EQ(client.Send(nullptr, 0, 0), DPNERR_INVALIDSTATE);
    dplay8_address_c nameless;
    nameless.AddComponent(DPNA_KEY_PORT, 5u);
    EXPECT_EQ(client.Connect(Desc(), nameless, nullptr), DPNERR_ADDRESSING);
    EXPECT_EQ(server.SendTo(2, nullptr, 0, 0), DPNERR_INVALIDSTATE);
    Host(Desc());
    EXPECT_EQ(server.Host(Desc(), nullptr), DPNERR_INVALIDSTATE);
}
