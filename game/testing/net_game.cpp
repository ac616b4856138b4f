#include "game/testing/net_game.h"

#include "app/message/net_message_type.h"

void recording_session_c::Send(u16 _type_word, const net_message_c& _message, bool _relay, bool, bool)
{
    sent.push_back({"send", _type_word, _relay, nullptr, _message});
}

void recording_session_c::SendToGroup(u32, u16 _type_word, const net_message_c& _message,
                                      const net_player_c* _excluded_a, const net_player_c*, bool, bool)
{
    sent.push_back({"group", _type_word, false, _excluded_a, _message});
}

void recording_session_c::SendTo(const net_player_c* _player, u16 _type_word, const net_message_c& _message, bool, bool)
{
    sent.push_back({"to", _type_word, false, _player, _message});
}

const net_player_c* recording_session_c::FindPlayer(u16 _id) const
{
    for (const auto& player : players)
        if (player->player_id == _id)
            return player.get();
    return nullptr;
}

const net_player_c* recording_session_c::AddPlayer(u16 _id, const std::string& _name)
{
    auto player = std::make_unique<net_player_c>();
    player->player_id = _id;
    player->name = _name;
    players.push_back(std::move(player));
    return players.back().get();
}

std::vector<const sent_record_c*> recording_session_c::Sent(u16 _type) const
{
    std::vector<const sent_record_c*> found;
    for (const sent_record_c& record : sent)
        if (NetMessageType(record.typeWord) == _type)
            found.push_back(&record);
    return found;
}

void flown_test_plane_c::TakeDamage(const vec3_c& _point, const vec3_c& _direction, float _amount,
                                    game_object_c* _attacker, int _kind)
{
    hits.push_back({_point, _direction, _amount, _attacker, _kind});
}

void flown_test_plane_c::OnObjectRemoved(game_object_c* _removed)
{
    for (hit_c& hit : hits)
        if (hit.attacker == _removed)
            hit.attacker = nullptr;
}

net_game_side_c::net_game_side_c(int _game_type, u16 _local_id, net_session_c* _session)
    : messages(application, *this, _session ? _session : &recording)
{
    recording.localId = _local_id;
    application.game_type = _game_type;
    application.in_session = 1;
    application.planes = {string_c(plane_file), string_c("planes\\other.op")};
    for (int i = 0; i < 110; ++i) {
        string_c text;
        text.Format("text %d", i);
        application.in_game_texts.push_back(text);
    }
    AddTestPlane(setting.files.files, plane_file, test_plane_file_c(), &setting.renderer);
    setting.context.gameType = _game_type;
    setting.context.networkGame = true;
    setting.context.messages = &messages;
    setting.Restart();
}

net_game_side_c::~net_game_side_c() = default;

flown_test_plane_c* net_game_side_c::AddFlownPlane(int _type, i32 _network_id, const vec3_c& _position)
{
    auto plane = std::make_unique<flown_test_plane_c>(_type, _network_id);
    plane->Load(plane_file, &setting.renderer, &setting.scene, &setting.sound, false);
    plane->displayName.Format("plane %d", _network_id);
    plane->name = plane->displayName;
    auto* added = static_cast<flown_test_plane_c*>(setting.world.AddPlane(std::move(plane)));
    added->SetPosition(_position);
    added->SetRotation(vec3_c());
    return added;
}

flown_test_plane_c* net_game_side_c::AddUserPlane(const vec3_c& _position)
{
    user = AddFlownPlane(object_plane_user, -1, _position);
    user->displayName = "pilot";
    return user;
}

std::unique_ptr<game_object_plane_ghost_c> net_game_side_c::LoadNetworkPlane(const string_c& _file)
{
    auto plane = std::make_unique<game_object_plane_ghost_c>();
    plane->Load(_file.GetData(), &setting.renderer, &setting.scene, &setting.sound, false);
    return plane;
}

std::vector<game_object_plane_ghost_c*> net_game_side_c::Ghosts() const
{
    std::vector<game_object_plane_ghost_c*> found;
    for (game_object_c* plane : setting.world.GetPlanes())
        if (plane->GetType() == object_plane_ghost)
            found.push_back(static_cast<game_object_plane_ghost_c*>(plane));
    return found;
}

void net_game_side_c::Receive(u16 _type_word, const net_message_c& _body, const net_player_c* _sender)
{
    net_message_c copy = _body;
    copy.Rewind();
    messages.OnNetMessage(_type_word, copy, _sender);
}
