#pragma once
// One program of a network game for message tests: a plane world, an
// application with a plane list and numbered in-game texts ("text 0",
// "text 1", ...), the in-game messages, and the state's part of them kept in
// plain fields (info lines, side scores, the game time, the end flag).
// Network copies load from the test plane file.
//
// recording_session_c stands in for the session: it keeps every record
// sent, with how and to whom, and knows the players it is given.
#include "app/application.h"
#include "app/message/net_message.h"
#include "app/message/net_session.h"
#include "game/game_messages.h"
#include "game/object_links.h"
#include "game/objects/network_plane.h"
#include "game/testing/plane_world.h"
#include "net/net_player.h"

#include <memory>
#include <string>
#include <vector>

struct sent_record_c {
    // "send", "to" or "group".
    std::string how;
    u16 typeWord = 0;
    bool relay = false;
    // The player of "to", the first excluded player of "group".
    const net_player_c* player = nullptr;
    net_message_c body;
};

class recording_session_c : public net_session_c {
public:
    void Send(u16 _type_word, const net_message_c& _message, bool _relay, bool, bool) override;
    void SendToGroup(u32, u16 _type_word, const net_message_c& _message, const net_player_c* _excluded_a,
                     const net_player_c*, bool, bool) override;
    void SendTo(const net_player_c* _player, u16 _type_word, const net_message_c& _message, bool, bool) override;
    const net_player_c* FindPlayer(u16 _id) const override;
    u16 GetLocalId() const override { return localId; }
    void OnGameState(u32) override {}

    const net_player_c* AddPlayer(u16 _id, const std::string& _name);
    // The records sent with that type (delivery bits and 0x1000 ignored).
    std::vector<const sent_record_c*> Sent(u16 _type) const;

    u16 localId = 0;
    std::vector<sent_record_c> sent;
    std::vector<std::unique_ptr<net_player_c>> players;
};

// A plane this program flies: the player's or a computer plane, with the
// network id and plane clock the messages send; it keeps the hits it takes.
class flown_test_plane_c : public test_plane_c, public flown_plane_link_c, public scored_plane_link_c {
public:
    struct hit_c {
        vec3_c point;
        vec3_c direction;
        float amount = 0.0f;
        game_object_c* attacker = nullptr;
        int kind = 0;
    };

    explicit flown_test_plane_c(int _type, i32 _network_id = -1) : test_plane_c(_type), networkId(_network_id) {}
    i32 GetNetworkId() const override { return networkId; }
    float GetPlaneClock() const override { return clock; }
    i32 GetScore() const override { return score; }
    u16 GetOwnerId() const override { return 0; }
    void TakeDamage(const vec3_c& _point, const vec3_c& _direction, float _amount, game_object_c* _attacker,
                    int _kind) override;
    void OnObjectRemoved(game_object_c* _removed) override;

    i32 networkId;
    float clock = 0.0f;
    std::vector<hit_c> hits;
};

class net_game_side_c : public game_messages_host_c {
public:
    static constexpr const char* plane_file = "planes\\testbird.op";

    // _game_type 3 hosts, 4 joined; the session's local player is _local_id.
    net_game_side_c(int _game_type, u16 _local_id, net_session_c* _session = nullptr);
    ~net_game_side_c() override;

    // A plane flown here, in the world's plane list, at the place.
    flown_test_plane_c* AddFlownPlane(int _type, i32 _network_id, const vec3_c& _position);
    // The player's plane (type 1), remembered as such.
    flown_test_plane_c* AddUserPlane(const vec3_c& _position);

    game_world_c* GetWorld() override { return &setting.world; }
    game_object_plane_c* GetUserPlane() override { return user; }
    float GetGameTime() const override { return time; }
    void AddInfoLine(const string_c& _line) override { lines.emplace_back(_line.GetData()); }
    i32& SideScore(int _side) override { return _side == -1 ? sideScores[0] : sideScores[1]; }
    std::unique_ptr<game_object_plane_ghost_c> LoadNetworkPlane(const string_c& _file) override;
    void EndGameForDeparture() override { ended = true; }

    // The network copies of the world, in list order.
    std::vector<game_object_plane_ghost_c*> Ghosts() const;
    // Feeds a record to the messages as received from _sender.
    void Receive(u16 _type_word, const net_message_c& _body, const net_player_c* _sender = nullptr);

    plane_world_c setting;
    application_c application;
    recording_session_c recording;
    game_messages_c messages;
    flown_test_plane_c* user = nullptr;
    std::vector<std::string> lines;
    i32 sideScores[2] = {0, 0};
    float time = 0.0f;
    bool ended = false;
};
