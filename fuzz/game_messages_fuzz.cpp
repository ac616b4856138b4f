// Any run of records under the in-game message types leaves the world and
// its network copies well formed: nothing reads outside a record, no owner
// and index gets two copies, every answer fits its payload, and only plane
// files of the plane list are loaded.
//
// Input: records of [type selector][sender selector][u8 length][body], in
// turn, against one program (hosting when the first byte's top bit is set).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <set>
#include <utility>

#include "app/application.h"
#include "app/message/net_message.h"
#include "app/message/net_message_type.h"
#include "app/message/net_session.h"
#include "game/game_messages.h"
#include "game/game_world.h"
#include "game/objects/network_plane.h"
#include "net/net_player.h"

namespace {

constexpr const char* kPlaneFile = "planes\\a.op";

class sink_session_c : public net_session_c {
public:
    sink_session_c()
    {
        for (u16 id : {u16(0), u16(7), u16(0x9EC3)}) {
            players.push_back(std::make_unique<net_player_c>());
            players.back()->player_id = id;
            players.back()->name = "p";
        }
    }
    void Send(u16, const net_message_c& _message, bool, bool, bool) override { Check(_message); }
    void SendToGroup(u32, u16, const net_message_c& _message, const net_player_c*, const net_player_c*, bool,
                     bool) override
    {
        Check(_message);
    }
    void SendTo(const net_player_c*, u16, const net_message_c& _message, bool, bool) override { Check(_message); }
    const net_player_c* FindPlayer(u16 _id) const override
    {
        for (const auto& player : players)
            if (player->player_id == _id)
                return player.get();
        return nullptr;
    }
    u16 GetLocalId() const override { return 7; }
    void OnGameState(u32) override {}

    std::vector<std::unique_ptr<net_player_c>> players;

private:
    static void Check(const net_message_c& _message)
    {
        if (_message.GetLength() > net_message_c::kPayloadSize || _message.WasWriteRefused())
            std::abort();
    }
};

// A plane without a model: every message about it runs, nothing is drawn.
class fuzz_plane_c : public game_object_plane_c {
public:
    int GetType() const override { return object_plane_user; }
};

class fuzz_host_c : public game_messages_host_c {
public:
    game_world_c* GetWorld() override { return &world; }
    game_object_plane_c* GetUserPlane() override { return user; }
    float GetGameTime() const override { return 1.0f; }
    void AddInfoLine(const string_c&) override {}
    i32& SideScore(int _side) override { return _side == -1 ? scores[0] : scores[1]; }
    std::unique_ptr<game_object_plane_ghost_c> LoadNetworkPlane(const string_c& _file) override
    {
        if (!(_file == kPlaneFile))
            std::abort();
        return std::make_unique<game_object_plane_ghost_c>();
    }
    void EndGameForDeparture() override {}

    game_world_c world;
    game_object_plane_c* user = nullptr;
    i32 scores[2] = {0, 0};
};

constexpr u16 kTypes[] = {2,     4,     12,    0x101, 0x102, 0x103, 0x104, 0x105, 0x106, 0x107,
                          0x108, 0x109, 0x10A, 0x10B, 0x10C, 0x10D, 0x10E, 0x10F, 0x1104};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    application_c application;
    application.game_type = data[0] & 0x80 ? 3 : 4;
    application.planes = {string_c(kPlaneFile)};
    application.in_game_texts.assign(100, string_c("t"));
    sink_session_c session;
    fuzz_host_c host;
    game_world_context_c context;
    context.gameType = application.game_type;
    context.networkGame = true;
    host.world.Init(context);
    host.user = static_cast<game_object_plane_c*>(host.world.AddPlane(std::make_unique<fuzz_plane_c>()));
    game_messages_c messages(application, host, &session);

    size_t at = 1;
    while (at + 3 <= size) {
        const u16 type = kTypes[data[at] % std::size(kTypes)];
        const net_player_c* sender = session.players[data[at + 1] % session.players.size()].get();
        const size_t length = std::min<size_t>(data[at + 2], size - at - 3);
        net_message_c message;
        message.Assign(data + at + 3, length);
        at += 3 + length;
        messages.OnNetMessage(type, message, sender);
        if (message.GetReadPos() > message.GetLength())
            std::abort();
        std::set<std::pair<u16, i32>> named;
        for (game_object_c* plane : host.world.GetPlanes())
            if (auto* copy = dynamic_cast<game_object_plane_ghost_c*>(plane)) {
                if (!named.insert({copy->ownerId, copy->remoteId}).second || copy->ownerId == session.GetLocalId())
                    std::abort();
                copy->Update(2.0f);
            }
    }
    return 0;
}
