#include "platform/dplay8/dplay8_peer.h"
#include "platform/dplay8/dplay8_server.h"
#include "platform/dplay8/testing/event_log.h"

#include <gtest/gtest.h>

namespace {

class Dplay8Search : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = Dplay8GetSearchConfig();
        ASSERT_EQ(server.Initialize(&server_log, dplay8_event_log_c::Handler, 0), DPN_OK);
        desc.flags = DPNSESSION_CLIENT_SERVER | DPNSESSION_REQUIREPASSWORD;
        desc.application = DpnNewGuid();
        desc.max_players = 6;
        desc.session_name = u"Over the lines";
        desc.password = u"pw";
        dplay8_address_c device;
        device.AddComponent(DPNA_KEY_PORT, 0u);
        ASSERT_EQ(server.Host(desc, &device), DPN_OK);
        dplay8_search_config_c config;
        config.hosts = {"127.0.0.1"};
        config.port = server.GetHostPort();
        config.retry_count = 2;
        config.retry_interval_ms = 50;
        config.timeout_ms = 200;
        Dplay8SetSearchConfig(config);
        ASSERT_EQ(peer.Initialize(&peer_log, dplay8_event_log_c::Handler, 0), DPN_OK);
    }
    void TearDown() override { Dplay8SetSearchConfig(saved); }

    dplay8_search_config_c saved;
    dpn_application_desc_c desc;
    // Logs first: they must outlive the objects that report to them.
    dplay8_event_log_c server_log;
    dplay8_event_log_c peer_log;
    dplay8_server_c server;
    dplay8_peer_c peer;
};

} // namespace

TEST_F(Dplay8Search, FindsTheHostOnLoopbackThenCompletes)
{
    dpn_application_desc_c wanted;
    wanted.application = desc.application;
    dpn_handle handle = 0;
    ASSERT_EQ(peer.EnumHosts(wanted, nullptr, 0, 0, 0, &handle), DPNSUCCESS_PENDING);
    ASSERT_TRUE(peer_log.WaitForId(DPN_MSGID_ASYNC_OP_COMPLETE));
    const auto answers = peer_log.EventsOf(DPN_MSGID_ENUM_HOSTS_RESPONSE);
    ASSERT_FALSE(answers.empty());
    dpn_application_desc_c running;
    ASSERT_EQ(server.GetApplicationDesc(&running), DPN_OK);
    for (const auto& answer : answers) {
        EXPECT_EQ(answer.handle, handle);
        EXPECT_EQ(answer.data, "Over the lines");
        EXPECT_EQ(answer.desc.instance, running.instance);
        EXPECT_EQ(answer.desc.max_players, 6u);
        EXPECT_EQ(answer.desc.current_players, 1u);
        EXPECT_NE(answer.desc.flags & DPNSESSION_REQUIREPASSWORD, 0u);
        EXPECT_TRUE(answer.desc.password.empty());
        dplay8_address_c address;
        ASSERT_EQ(address.BuildFromURL(answer.url), DPN_OK) << answer.url;
        std::string host;
        u32 port = 0;
        address.GetComponent(DPNA_KEY_HOSTNAME, &host);
        address.GetComponent(DPNA_KEY_PORT, &port);
        EXPECT_EQ(host, "127.0.0.1");
        EXPECT_EQ(port, server.GetHostPort());
    }
    const auto complete = peer_log.EventsOf(DPN_MSGID_ASYNC_OP_COMPLETE);
    ASSERT_EQ(complete.size(), 1u);
    EXPECT_EQ(complete.front().handle, handle);
    EXPECT_EQ(complete.front().result, DPN_OK);
    // The completion is the last word of the search.
    EXPECT_EQ(peer_log.Events().back().id, DPN_MSGID_ASYNC_OP_COMPLETE);
}

TEST_F(Dplay8Search, OtherApplicationsAreNotAnswered)
{
    dpn_application_desc_c wanted;
    wanted.application = DpnNewGuid();
    ASSERT_EQ(peer.EnumHosts(wanted, nullptr, 0, 0, 0, nullptr), DPNSUCCESS_PENDING);
    ASSERT_TRUE(peer_log.WaitForId(DPN_MSGID_ASYNC_OP_COMPLETE));
    EXPECT_TRUE(peer_log.EventsOf(DPN_MSGID_ENUM_HOSTS_RESPONSE).empty());
}

TEST_F(Dplay8Search, CancelEndsTheSearchAndANewOneCanStart)
{
    dpn_application_desc_c wanted;
    wanted.application = desc.application;
    dpn_handle first = 0;
    ASSERT_EQ(peer.EnumHosts(wanted, nullptr, 1, 0, 600000, &first), DPNSUCCESS_PENDING);
    EXPECT_EQ(peer.EnumHosts(wanted, nullptr, 1, 0, 600000, nullptr), DPNERR_INVALIDSTATE);
    ASSERT_TRUE(peer_log.WaitForId(DPN_MSGID_ENUM_HOSTS_RESPONSE));
    ASSERT_EQ(peer.CancelAsyncOperation(0, DPNCANCEL_ENUM), DPN_OK);
    ASSERT_TRUE(peer_log.WaitForId(DPN_MSGID_ASYNC_OP_COMPLETE));
    const auto cancelled = peer_log.EventsOf(DPN_MSGID_ASYNC_OP_COMPLETE).front();
    EXPECT_EQ(cancelled.handle, first);
    EXPECT_EQ(cancelled.result, DPNERR_USERCANCEL);

    dpn_handle second = 0;
    ASSERT_EQ(peer.EnumHosts(wanted, nullptr, 0, 0, 0, &second), DPNSUCCESS_PENDING);
    EXPECT_NE(second, first);
    ASSERT_TRUE(peer_log.WaitForId(DPN_MSGID_ASYNC_OP_COMPLETE, 2));
    EXPECT_EQ(peer_log.EventsOf(DPN_MSGID_ASYNC_OP_COMPLETE).back().handle, second);
}

TEST_F(Dplay8Search, ClosedPeerIsSilent)
{
    dpn_application_desc_c wanted;
    wanted.application = desc.application;
    ASSERT_EQ(peer.EnumHosts(wanted, nullptr, 1, 0, 600000, nullptr), DPNSUCCESS_PENDING);
    ASSERT_TRUE(peer_log.WaitForId(DPN_MSGID_ENUM_HOSTS_RESPONSE));
    ASSERT_EQ(peer.Close(0), DPN_OK);
    const std::size_t heard = peer_log.Events().size();
    // Another search on the same host, by its address, proves the answers still flow.
    dplay8_event_log_c other_log;
    dplay8_peer_c other;
    ASSERT_EQ(other.Initialize(&other_log, dplay8_event_log_c::Handler, 0), DPN_OK);
    dplay8_address_c host;
    host.AddComponent(DPNA_KEY_HOSTNAME, "localhost");
    host.AddComponent(DPNA_KEY_PORT, server.GetHostPort());
    ASSERT_EQ(other.EnumHosts(wanted, &host, 0, 0, 0, nullptr), DPNSUCCESS_PENDING);
    ASSERT_TRUE(other_log.WaitForId(DPN_MSGID_ASYNC_OP_COMPLETE));
    EXPECT_FALSE(other_log.EventsOf(DPN_MSGID_ENUM_HOSTS_RESPONSE).empty());
    EXPECT_EQ(peer_log.Events().size(), heard);
}
