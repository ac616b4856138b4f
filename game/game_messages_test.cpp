#include "game/game_messages.h"

#include "app/message/net_message_type.h"
#include "game/testing/net_game.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr u16 host_id = 0;
constexpr u16 client_id = 0x9EC3;
constexpr u16 third_id = 0x8E7A;
constexpr u32 own = 0xFFFFFFFF;

// Two programs of one game: the host and a client that joined, each
// knowing the other and a third player.
class GameMessagesTest : public ::testing::Test {
protected:
    net_game_side_c host{3, host_id};
    net_game_side_c client{4, client_id};

    void SetUp() override
    {
        for (net_game_side_c* side : {&host, &client}) {
            side->recording.AddPlayer(host_id, "Hal");
            side->recording.AddPlayer(client_id, "Anna");
            side->recording.AddPlayer(third_id, "Bert");
        }
    }

    // Everything _from sent so far reaches _to, as from _from's player.
    static void Deliver(net_game_side_c& _from, net_game_side_c& _to)
    {
        const std::vector<sent_record_c> sent = std::move(_from.recording.sent);
        _from.recording.sent.clear();
        const net_player_c* sender = _to.recording.FindPlayer(_from.recording.localId);
        for (const sent_record_c& record : sent)
            _to.Receive(record.typeWord, record.body, sender);
    }

    // The client's plane, known on the host as a network copy.
    game_object_plane_ghost_c* ClientPlaneOnHost()
    {
        client.AddUserPlane(vec3_c(100.0f, 300.0f, 0.0f));
        client.messages.AnnouncePlayerPlane();
        Deliver(client, host);
        host.recording.sent.clear();
        return host.messages.FindNetworkPlane(client_id, own);
    }

    // The host's plane, known on the client as a network copy.
    game_object_plane_ghost_c* HostPlaneOnClient()
    {
        net_message_c body;
        host.AddUserPlane(vec3_c(-100.0f, 300.0f, 0.0f));
        body.WriteString(string_c(net_game_side_c::plane_file))
            .WriteU16(host_id)
            .WriteU32(own)
            .WriteString(string_c("Hal's plane"))
            .WriteVec3(vec3_c())
            .WriteEuler(euler_c());
        client.Receive(net_plane_enters, body, client.recording.FindPlayer(host_id));
        client.recording.sent.clear();
        return client.messages.FindNetworkPlane(host_id, own);
    }
};

TEST_F(GameMessagesTest, JoiningPlaneBecomesOneNetworkCopyArmedWithRockets)
{
    game_object_plane_ghost_c* plane = ClientPlaneOnHost();
    ASSERT_NE(plane, nullptr);
    EXPECT_EQ(plane->ownerId, client_id);
    EXPECT_EQ(plane->remoteId, -1);
    EXPECT_EQ(plane->displayName, string_c("pilot"));
    EXPECT_EQ(plane->GetRocketCount(), 8);
    EXPECT_EQ(plane->GetBombCount(), 0);
    EXPECT_EQ(host.lines.back(), "Anna text 88");
    // The same announcement again makes no second copy.
    client.messages.AnnouncePlayerPlane();
    Deliver(client, host);
    EXPECT_EQ(host.Ghosts().size(), 1u);
}

TEST_F(GameMessagesTest, HostAnswersAJoiningPlaneWithTheGameAndEveryPlane)
{
    host.AddUserPlane(vec3_c(0.0f, 200.0f, 0.0f));
    host.AddFlownPlane(object_plane_ai, 4, vec3_c(50.0f, 200.0f, 0.0f));
    net_message_c bert;
    bert.WriteString(string_c(net_game_side_c::plane_file)).WriteU16(third_id).WriteU32(own);
    bert.WriteString(string_c("Bert's plane")).WriteVec3(vec3_c()).WriteEuler(euler_c());
    host.Receive(net_plane_enters, bert, host.recording.FindPlayer(third_id));
    host.recording.sent.clear();
    host.sideScores[0] = 3;
    host.time = 42.0f;

    client.AddUserPlane(vec3_c(100.0f, 300.0f, 5.0f));
    client.messages.AnnouncePlayerPlane();
    Deliver(client, host);

    const auto states = host.recording.Sent(net_game_state);
    ASSERT_EQ(states.size(), 1u);
    EXPECT_EQ(states[0]->typeWord, kNetNoTimeStamp | net_game_state);
    EXPECT_EQ(states[0]->player->player_id, client_id);
    const auto announced = host.recording.Sent(net_plane_announced);
    // The player's plane, the computer plane and Bert's plane to Anna; Anna's
    // plane to Bert.
    ASSERT_EQ(announced.size(), 4u);
    EXPECT_EQ(announced[0]->player->player_id, client_id);
    EXPECT_EQ(announced[1]->player->player_id, client_id);
    EXPECT_EQ(announced[2]->player->player_id, client_id);
    EXPECT_EQ(announced[3]->player->player_id, third_id);

    // Anna's program builds the host's world from those answers.
    Deliver(host, client);
    EXPECT_EQ(client.sideScores[0], 3);
    EXPECT_NE(client.messages.FindNetworkPlane(host_id, own), nullptr);
    EXPECT_NE(client.messages.FindNetworkPlane(0xFFFF, 4), nullptr);
    EXPECT_NE(client.messages.FindNetworkPlane(third_id, own), nullptr);
    // Her own plane, described back to her, makes no copy of itself.
    EXPECT_EQ(client.Ghosts().size(), 3u);
}

TEST_F(GameMessagesTest, AnnouncedPlaneTakesClockScoreDamageAndPlace)
{
    host.AddUserPlane(vec3_c(10.0f, 200.0f, 20.0f));
    host.user->SetRotation(vec3_c(0.5f, 0.1f, -0.2f));
    host.user->score = 6;
    host.user->damage = 0.25f;
    host.user->clock = 17.5f;
    client.AddUserPlane(vec3_c());
    client.messages.AnnouncePlayerPlane();
    Deliver(client, host);
    Deliver(host, client);
    game_object_plane_ghost_c* plane = client.messages.FindNetworkPlane(host_id, own);
    ASSERT_NE(plane, nullptr);
    EXPECT_FLOAT_EQ(plane->GetSampleClock(), 17.5f);
    EXPECT_EQ(plane->score, 6);
    EXPECT_FLOAT_EQ(plane->damage, 0.25f);
    EXPECT_EQ(plane->GetPosition(), vec3_c(10.0f, 200.0f, 20.0f));
    EXPECT_EQ(plane->GetRotation(), vec3_c(0.5f, 0.1f, -0.2f));
    EXPECT_EQ(plane->displayName, string_c("pilot"));
}

TEST_F(GameMessagesTest, PlaneFileOutsideThePlaneListIsRefused)
{
    for (u16 type : {net_plane_enters, net_plane_announced}) {
        net_message_c body;
        if (type == net_plane_enters)
            body.WriteString(string_c("..\\..\\secret.op"))
                .WriteU16(client_id)
                .WriteU32(own)
                .WriteString(string_c("x"));
        else
            body.WriteU16(client_id)
                .WriteU32(own)
                .WriteString(string_c("x"))
                .WriteF32(0.0f)
                .WriteU32(0)
                .WriteF32(0.0f)
                .WriteString(string_c("..\\..\\secret.op"));
        body.WriteVec3(vec3_c()).WriteEuler(euler_c());
        host.Receive(type, body, host.recording.FindPlayer(client_id));
    }
    EXPECT_TRUE(host.Ghosts().empty());
    EXPECT_TRUE(host.recording.sent.empty());
    EXPECT_TRUE(host.lines.empty());
}

// A listed plane file that cannot be loaded leaves a news line, not a failure.
TEST_F(GameMessagesTest, ListedPlaneFileThatFailsToLoadAddsNoPlane)
{
    net_message_c body;
    body.WriteString(string_c("planes\\other.op")).WriteU16(client_id).WriteU32(own).WriteString(string_c("x"));
    body.WriteVec3(vec3_c()).WriteEuler(euler_c());
    host.Receive(net_plane_enters, body, host.recording.FindPlayer(client_id));
    EXPECT_TRUE(host.Ghosts().empty());
    EXPECT_EQ(host.lines.front().rfind("*system* planes\\other.op", 0), 0u);
}

TEST_F(GameMessagesTest, StateSamplesAndFiringMoveTheCopy)
{
    game_object_plane_ghost_c* plane = HostPlaneOnClient();
    ASSERT_NE(plane, nullptr);
    host.user->SetPosition(vec3_c(1.0f, 250.0f, 2.0f));
    host.user->SetRotation(vec3_c(3.0f, 0.2f, 0.1f));
    host.messages.SendPlaneState(*host.user, 8.0f);
    host.messages.SendFiring(*host.user, true);
    ASSERT_TRUE(host.recording.Sent(net_plane_state)[0]->relay);
    EXPECT_EQ(host.recording.Sent(net_plane_state)[0]->body.GetLength(), 34u);
    Deliver(host, client);
    plane->Update(0.0f);
    EXPECT_EQ(plane->GetPosition(), vec3_c(1.0f, 250.0f, 2.0f));
    EXPECT_EQ(plane->GetRotation(), vec3_c(3.0f, 0.2f, 0.1f));
    EXPECT_FLOAT_EQ(plane->GetSampleClock(), 8.0f);
    EXPECT_TRUE(plane->IsFiring());
}

TEST_F(GameMessagesTest, MessagesAboutUnknownPlanesAreIgnored)
{
    HostPlaneOnClient();
    flown_test_plane_c* computer = host.AddFlownPlane(object_plane_ai, 9, vec3_c(0.0f, 50.0f, 0.0f));
    host.messages.SendPlaneState(*computer, 1.0f);
    net_message_c firing;
    firing.WriteU16(third_id).WriteU32(own).WriteBit(true);
    client.Receive(net_guns_firing, firing);
    Deliver(host, client);
    EXPECT_EQ(client.Ghosts().size(), 1u);
    EXPECT_FALSE(client.Ghosts()[0]->IsFiring());
}

TEST_F(GameMessagesTest, RespawnAndRocketReachTheCopyButNotTheOwner)
{
    game_object_plane_ghost_c* plane = HostPlaneOnClient();
    client.setting.world.SetSpawnPoints(plane->side, {vec3_c(7.0f, 400.0f, 7.0f)}, {vec3_c()});
    plane->destroyed = 1;
    host.messages.SendRespawn(*host.user);
    client.time = 10.0f;
    host.messages.SendRocket();
    Deliver(host, client);
    EXPECT_EQ(plane->destroyed, 0);
    EXPECT_EQ(plane->GetPosition(), vec3_c(7.0f, 400.0f, 7.0f));
    EXPECT_EQ(plane->GetRocketCount(), 7);
    // Its own rocket message does nothing on the owner's program.
    host.messages.SendRocket();
    const int before = host.user->GetRocketCount();
    Deliver(host, host);
    EXPECT_EQ(host.user->GetRocketCount(), before);
}

TEST_F(GameMessagesTest, CrashCostsAPointAndTellsHowItHappened)
{
    game_object_plane_ghost_c* plane = HostPlaneOnClient();
    plane->score = 2;
    host.user->SetPosition(vec3_c(5.0f, 0.0f, 5.0f));
    host.messages.SendCrash(*host.user, 1);
    Deliver(host, client);
    EXPECT_EQ(plane->score, 1);
    EXPECT_EQ(plane->sinking, 1);
    EXPECT_EQ(client.lines.back(), "Hal text 90");
    // A second crash of the wreck still costs the point but tells nothing.
    host.messages.SendCrash(*host.user, 2);
    Deliver(host, client);
    EXPECT_EQ(plane->score, 0);
    EXPECT_EQ(client.lines.back(), "Hal text 90");
}

// The client's plane shot down by the host's: both programs count it once
// for the host's plane and its side, and the client's copy burns.
TEST_F(GameMessagesTest, KillIsCountedOnBothSides)
{
    game_object_plane_ghost_c* hostCopy = HostPlaneOnClient();
    game_object_plane_ghost_c* clientCopy = ClientPlaneOnHost();
    hostCopy->side = -1;
    host.user->side = -1;
    client.user->SetPosition(vec3_c(30.0f, 100.0f, 30.0f));
    client.user->AnnounceDestroyed(client_id, own, hostCopy);
    EXPECT_EQ(hostCopy->score, 1);
    EXPECT_EQ(client.sideScores[0], 1);
    EXPECT_EQ(client.lines.back(), "text 96 Hal's plane.");
    const auto sent = client.recording.Sent(net_plane_destroyed);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0]->body.GetLength(), 36u);
    EXPECT_TRUE(sent[0]->relay);

    Deliver(client, host);
    EXPECT_EQ(host.user->score, 1);
    EXPECT_EQ(host.sideScores[0], 1);
    EXPECT_EQ(clientCopy->destroyed, 1);
    EXPECT_EQ(clientCopy->GetPosition(), vec3_c(30.0f, 100.0f, 30.0f));
    ASSERT_GE(host.lines.size(), 2u);
    EXPECT_EQ(host.lines[host.lines.size() - 2], "text 84 Anna");
    // Two planes, the other with fewer points: first place.
    EXPECT_EQ(host.lines.back(), "text 92 1");
    // The same kill again is not counted twice.
    client.user->AnnounceDestroyed(client_id, own, hostCopy);
    Deliver(client, host);
    EXPECT_EQ(host.user->score, 1);
}

TEST_F(GameMessagesTest, KillOfAComputerPlaneByTheHostsPlayerCountsOnTheHost)
{
    flown_test_plane_c* computer = host.AddFlownPlane(object_plane_ai, 3, vec3_c());
    host.AddUserPlane(vec3_c());
    host.user->side = 1;
    computer->AnnounceDestroyed(0xFFFF, 3, host.user);
    EXPECT_EQ(host.user->score, 1);
    EXPECT_EQ(host.sideScores[1], 1);
    // Its own message, back from the session, changes nothing more.
    Deliver(host, host);
    EXPECT_EQ(host.user->score, 1);
}

TEST_F(GameMessagesTest, KillWithoutAKillerNamesNoPlane)
{
    client.AddUserPlane(vec3_c());
    client.user->AnnounceDestroyed(client_id, own, nullptr);
    const auto sent = client.recording.Sent(net_plane_destroyed);
    ASSERT_EQ(sent.size(), 1u);
    net_message_c body = sent[0]->body;
    body.Rewind();
    body.ReadU16();
    body.ReadU32();
    EXPECT_EQ(body.ReadU16(), 0xFFFF);
    EXPECT_EQ(body.ReadU32(), 0xFFFFFFFEu);
    EXPECT_EQ(client.sideScores[0] + client.sideScores[1], 0);
}

// A hit decided on the host reaches the client's plane at the same place on
// the plane, wherever each program shows it.
TEST_F(GameMessagesTest, HitTravelsInTheVictimsFrame)
{
    HostPlaneOnClient();
    game_object_plane_ghost_c* clientCopy = ClientPlaneOnHost();
    client.user->SetRotation(vec3_c(1.0f, 0.2f, 0.3f));
    clientCopy->SetPosition(vec3_c(120.0f, 310.0f, 4.0f));
    if (clientCopy->entity)
        clientCopy->entity->rotation = vec3_c(1.0f, 0.2f, 0.3f);
    const vec3_c onCopy = clientCopy->GetPosition() + vec3_c(1.0f, 0.5f, -2.0f);
    host.messages.SendHit(host.user, clientCopy, onCopy, vec3_c(0.0f, 0.0f, 1.0f));
    Deliver(host, client);
    ASSERT_EQ(client.user->hits.size(), 1u);
    const flown_test_plane_c::hit_c& hit = client.user->hits[0];
    const vec3_c expected = client.user->GetPosition() + vec3_c(1.0f, 0.5f, -2.0f);
    EXPECT_NEAR(hit.point.x, expected.x, 1e-3f);
    EXPECT_NEAR(hit.point.y, expected.y, 1e-3f);
    EXPECT_NEAR(hit.point.z, expected.z, 1e-3f);
    EXPECT_EQ(hit.direction, vec3_c(0.0f, 0.0f, 1.0f));
    EXPECT_FLOAT_EQ(hit.amount, 1.0f);
    EXPECT_EQ(hit.attacker, client.messages.FindNetworkPlane(host_id, own));
    EXPECT_EQ(hit.kind, 0);
}

TEST_F(GameMessagesTest, HitsFromThisPlayerOrUnknownPlanesAreIgnored)
{
    HostPlaneOnClient();
    client.AddUserPlane(vec3_c());
    const struct {
        u16 attacker;
        u32 index;
    } cases[] = {{client_id, own}, {third_id, own}, {host_id, 5}};
    for (const auto& c : cases) {
        net_message_c body;
        body.WriteU16(c.attacker).WriteU32(c.index).WriteU16(client_id).WriteU32(own);
        body.WriteVec3(vec3_c()).WriteVec3(vec3_c());
        client.Receive(net_hit, body);
    }
    EXPECT_TRUE(client.user->hits.empty());
}

TEST_F(GameMessagesTest, HitOnAComputerPlaneReachesItOnTheHost)
{
    flown_test_plane_c* computer = host.AddFlownPlane(object_plane_ai, 2, vec3_c(0.0f, 100.0f, 0.0f));
    ClientPlaneOnHost();
    net_message_c body;
    body.WriteU16(client_id).WriteU32(own).WriteU16(0xFFFF).WriteU32(2);
    body.WriteVec3(vec3_c(0.0f, 1.0f, 0.0f)).WriteVec3(vec3_c(1.0f, 0.0f, 0.0f));
    host.Receive(net_hit, body);
    ASSERT_EQ(computer->hits.size(), 1u);
    EXPECT_EQ(computer->hits[0].point, vec3_c(0.0f, 101.0f, 0.0f));
}

TEST_F(GameMessagesTest, AreaDamageFromARemotePlayersExplosion)
{
    HostPlaneOnClient();
    game_object_plane_ghost_c* clientCopy = ClientPlaneOnHost();
    host.messages.SendAreaDamage(*clientCopy, 10.0f, vec3_c(3.0f, 4.0f, 5.0f));
    Deliver(host, client);
    ASSERT_EQ(client.user->hits.size(), 1u);
    EXPECT_FLOAT_EQ(client.user->hits[0].amount, 10.0f);
    EXPECT_EQ(client.user->hits[0].kind, 6);
    EXPECT_EQ(client.user->hits[0].point, vec3_c(3.0f, 4.0f, 5.0f));
    EXPECT_EQ(client.user->hits[0].direction, vec3_c(0.0f, 1.0f, 0.0f));
}

TEST_F(GameMessagesTest, ExplosionNearACopySendsItsDamageToItsOwner)
{
    host.AddUserPlane(vec3_c(0.0f, 300.0f, 0.0f));
    game_object_plane_ghost_c* copy = ClientPlaneOnHost();
    copy->SetPosition(vec3_c(5.0f, 300.0f, 0.0f));
    // A bomb that hit the copy itself.
    host.setting.world.Explode(copy->entity, host.user, vec3_c(0.0f, 300.0f, 0.0f), 10.0f, false, projectile_c());
    const auto sent = host.recording.Sent(net_area_damage);
    ASSERT_EQ(sent.size(), 1u);
    net_message_c body = sent[0]->body;
    body.Rewind();
    EXPECT_EQ(body.ReadU16(), client_id);
    EXPECT_EQ(body.ReadU16(), host_id);
    EXPECT_FLOAT_EQ(body.ReadF32(), 10.0f);
    // Shown here as a tenth of it; only the owner can destroy the plane.
    EXPECT_NEAR(copy->damage, 1.0f, 1e-6f);
    EXPECT_EQ(copy->destroyed, 0);
}

// A departed player's plane leaves the world and every reference to it.
TEST_F(GameMessagesTest, DepartureRemovesThePlaneEverywhere)
{
    game_object_plane_ghost_c* plane = ClientPlaneOnHost();
    flown_test_plane_c* computer = host.AddFlownPlane(object_plane_ai, 1, vec3_c());
    computer->TakeDamage(vec3_c(), vec3_c(), 1.0f, plane, 0);
    plane->SetPosition(vec3_c(0.0f, 500.0f, 0.0f));
    plane->FireGuns(1.0f);
    ASSERT_EQ(host.setting.world.GetProjectiles().size(), 1u);
    client.messages.SendDeparture(true);
    EXPECT_EQ(client.recording.Sent(net_player_left_mission)[0]->typeWord, kNetNoTimeStamp | net_player_left_mission);
    EXPECT_TRUE(client.recording.Sent(net_player_left_mission)[0]->relay);
    Deliver(client, host);
    EXPECT_TRUE(host.Ghosts().empty());
    EXPECT_EQ(computer->hits[0].attacker, nullptr);
    EXPECT_EQ(host.setting.world.GetProjectiles()[0].shooter, nullptr);
    EXPECT_NE(std::find(host.lines.begin(), host.lines.end(), "Anna text 86"), host.lines.end());
    // 0x10E: this program's game ends too.
    EXPECT_TRUE(host.ended);
}

TEST_F(GameMessagesTest, OwnDepartureIsNotThisProgramsEnd)
{
    host.messages.SendDeparture(true);
    Deliver(host, host);
    EXPECT_FALSE(host.ended);
}

TEST_F(GameMessagesTest, StateRequestIsAnsweredOnlyByTheHost)
{
    host.time = 12.0f;
    host.application.mission_number = 3;
    host.application.mp_flag = 1;
    host.sideScores[1] = 4;
    net_message_c request;
    request.WriteU32(0);
    host.Receive(kNetNoTimeStamp | net_state_request, request, host.recording.FindPlayer(client_id));
    client.Receive(kNetNoTimeStamp | net_state_request, request, client.recording.FindPlayer(host_id));
    EXPECT_TRUE(client.recording.sent.empty());
    const auto states = host.recording.Sent(net_game_state);
    ASSERT_EQ(states.size(), 1u);
    net_message_c body = states[0]->body;
    body.Rewind();
    EXPECT_FLOAT_EQ(body.ReadF32(), 12.0f);
    EXPECT_EQ(body.ReadU32(), 3u);
    EXPECT_TRUE(body.ReadBit());
    EXPECT_EQ(body.ReadU32(), 0u);
    EXPECT_EQ(body.ReadU32(), 4u);
}

TEST_F(GameMessagesTest, GameEndNewsByKind)
{
    const struct {
        u32 kind;
        const char* line;
    } cases[] = {{0, "text 98 text 99"}, {1, "text 98 text 100"}, {2, "text 98 text 101 Anna"}, {3, nullptr}};
    for (const auto& c : cases) {
        client.lines.clear();
        host.messages.SendGameEnd(c.kind, string_c("Anna"));
        Deliver(host, client);
        if (c.line) {
            ASSERT_EQ(client.lines.size(), 1u) << c.kind;
            EXPECT_EQ(client.lines[0], c.line);
        } else {
            EXPECT_TRUE(client.lines.empty());
        }
    }
}

TEST_F(GameMessagesTest, SessionEventsBecomeNews)
{
    net_message_c joined;
    joined.WriteString(string_c("Cleo")).WriteU16(0);
    client.Receive(net_event_player_joined, joined);
    net_message_c left;
    left.WriteU16(third_id);
    client.Receive(net_event_player_left, left);
    net_message_c chat;
    chat.WriteU16(host_id).WriteString(string_c("hello"));
    client.Receive(net_event_chat, chat);
    net_message_c stranger;
    stranger.WriteU16(0x1234).WriteString(string_c("boo"));
    client.Receive(net_event_chat, stranger);
    EXPECT_EQ(client.lines, (std::vector<std::string>{"Cleo text 87", "Bert text 93", "Hal: hello"}));
}

// A body one byte short or one byte long is dropped whole, whatever it is.
TEST_F(GameMessagesTest, BodiesOfTheWrongLengthAreDropped)
{
    game_object_plane_ghost_c* plane = HostPlaneOnClient();
    client.AddUserPlane(vec3_c());
    client.lines.clear();
    plane->score = 5;
    host.messages.SendPlaneState(*host.user, 3.0f);
    host.messages.SendFiring(*host.user, true);
    host.messages.SendCrash(*host.user, 0);
    host.messages.SendRespawn(*host.user);
    host.messages.SendRocket();
    host.messages.SendHit(host.user, plane, vec3_c(), vec3_c());
    host.user->AnnounceDestroyed(host_id, own, nullptr);
    host.messages.SendGameEnd(1, string_c("x"));
    net_message_c departed;
    departed.WriteU16(host_id);
    host.recording.sent.push_back({"send", net_player_left_mission, false, nullptr, departed});
    host.recording.sent.push_back({"send", net_player_left_game, false, nullptr, departed});
    const std::vector<sent_record_c> sent = host.recording.sent;
    ASSERT_GE(sent.size(), 10u);
    const net_player_c* sender = client.recording.FindPlayer(host_id);
    for (const sent_record_c& record : sent) {
        const u32 length = record.body.GetLength();
        for (u32 wrong : {length - 1, length + 1}) {
            std::vector<u8> bytes(record.body.GetPayload(), record.body.GetPayload() + length);
            bytes.resize(wrong, 0);
            net_message_c body;
            body.Assign(bytes.data(), bytes.size());
            client.Receive(record.typeWord, body, sender);
        }
    }
    EXPECT_EQ(client.Ghosts().size(), 1u);
    EXPECT_EQ(plane->score, 5);
    EXPECT_EQ(plane->destroyed, 0);
    EXPECT_FALSE(plane->IsFiring());
    EXPECT_EQ(plane->GetPositionPredictor().GetCount(), 0);
    EXPECT_EQ(plane->GetRocketCount(), 8);
    EXPECT_TRUE(client.user->hits.empty());
    EXPECT_TRUE(client.lines.empty());
    EXPECT_FALSE(client.ended);
}

TEST(ObjectFrameTest, PointsGoIntoTheFrameAndBack)
{
    net_game_side_c side(1, 0);
    flown_test_plane_c* plane = side.AddFlownPlane(object_plane_ai, 0, vec3_c(10.0f, 20.0f, 30.0f));
    plane->SetRotation(vec3_c(2.0f, -0.4f, 1.1f));
    const vec3_c world(13.0f, 18.0f, 29.0f);
    const vec3_c local = ToObjectFrame(*plane, world);
    EXPECT_NEAR(local.Length(), (world - plane->GetPosition()).Length(), 1e-4f);
    const vec3_c back = FromObjectFrame(*plane, local);
    EXPECT_NEAR(back.x, world.x, 1e-4f);
    EXPECT_NEAR(back.y, world.y, 1e-4f);
    EXPECT_NEAR(back.z, world.z, 1e-4f);
}

} // namespace
