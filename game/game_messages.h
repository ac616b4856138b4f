#pragma once
// game_messages_c: the in-game side of a multiplayer session. It keeps the
// network copies of remote planes (game_object_plane_ghost_c) in step with
// their owners, answers the players who join, applies the hits, damage and
// kills other machines decide, writes the session's news as info lines, and
// sends this machine's own game messages.
//
// Planes are named in messages by {owner id (u16), index (u32)}: the
// player's plane is {local id, 0xFFFFFFFF}, a computer plane of the hosting
// program {0xFFFF, its network id}, a network copy {its owner, its remote
// id}. In-game texts are lines of the application's in-game texts (an
// index past the list gives an empty text); player names come from the
// session.
//
// Bodies (h u16, w u32, f f32, b one bit, s text with NUL, v x y z,
// e pitch heading bank):
//   0x101 state request  w            0x102 plane enters   shwsve
//   0x103 plane announced hwsfwfsve   0x104 game state     fwbww
//   0x105 plane state    hwfve        0x106 destroyed      hwhwve
//   0x107 crash          hwwve        0x108 guns firing    hwb
//   0x109 hit            hwhwvv       0x10A left mission   h
//   0x10B respawn        hw           0x10C rocket         h
//   0x10D area damage    hhfvv        0x10E left game      h
//   0x10F game end       ws
// A received game message whose body is not exactly its type's fields is
// dropped whole; session events (2 joined: sh, 4 left: h, 12 chat: hs)
// must hold at least their fields.
//
// What a peer sends is checked before it changes anything: a plane file
// must be in this program's plane list (else the message is dropped), an
// owner and index that already has a network copy (or names this player's
// own planes) makes no second one, a plane removed because its player left
// goes through game_world_c::RemoveObject (every list and object drops it),
// and hit kinds outside the event effect table show no effect.
//
// Received messages, by type:
//   0x101  hosting only: the game state goes back to the sender (0x1104).
//   0x102  hosting only, first the replies: the game state to the sender,
//          then for every plane of the world's plane list a 0x103 of it to
//          the sender, and after each network copy a 0x103 of the new plane
//          to that copy's owner. Then (every program) the network copy of
//          the new plane (8 rockets, no bombs, started now; its own samples
//          will place it), and the line "<sender> <text 88>".
//   0x103  a network copy with the body's clock, score, damage, place.
//   0x104  the side scores.
//   0x105  the copy reads its state sample; 0x108 its firing flag;
//   0x10B  it respawns; 0x10C the owner's own plane fires a rocket.
//   0x106  a kill, applied once: the killer's score and its side's score
//          (the killer being a network copy, this player's plane, or a
//          computer plane flown here: the announcing program counted its
//          own planes' kills already), the victim's copy burns; news lines
//          (texts 84, 85, 92).
//   0x107  the copy loses a point and crashes; "<owner> <text 89+kind>".
//   0x109  a hit by a remote plane: the point is carried from the victim's
//          frame into the world and the victim takes a bullet (1.0).
//   0x10A  "<player> <text 86>" and the player's own plane is removed.
//   0x10D  area damage from a remote player's plane (kind 6).
//   0x10E  a player left the game: results stored, this game ends.
//   0x10F  the result of the game as news (texts 98 to 101).
// Messages about this player's own id are ignored where the messages of
// its own planes come back (0x105 to 0x10C, 0x10E).
//
// Main thread only, inside the session's per-frame update.
#include "foundation/text_string.h"
#include "foundation/types.h"
#include "foundation/vector_math.h"

#include <initializer_list>
#include <memory>

class application_c;
class game_object_c;
class game_object_plane_c;
class game_object_plane_ghost_c;
class game_world_c;
class net_message_c;
class net_player_c;
class net_session_c;

// What the messages need of the in-game state.
class game_messages_host_c {
public:
    virtual ~game_messages_host_c() = default;
    virtual game_world_c* GetWorld() = 0;
    // The player's plane, or null.
    virtual game_object_plane_c* GetUserPlane() = 0;
    virtual float GetGameTime() const = 0;
    virtual void AddInfoLine(const string_c& _line) = 0;
    // side_score_a (German kills) and side_score_b (Allied kills).
    virtual i32& SideScore(int _side) = 0;
    // A network copy of a plane loaded from the file into the mission's
    // scene; may throw the file layer's errors.
    virtual std::unique_ptr<game_object_plane_ghost_c> LoadNetworkPlane(const string_c& _file) = 0;
    // Another player left the game: the results are stored and this
    // program's game ends with the next frame.
    virtual void EndGameForDeparture() = 0;
};

class game_messages_c {
public:
    static constexpr u16 computer_owner = 0xFFFF;
    static constexpr u32 own_plane = 0xFFFFFFFF;

    // The session may be null: nothing is sent then, and no player is known.
    game_messages_c(application_c& _application, game_messages_host_c& _host, net_session_c* _session);

    // A received record or session event (see above).
    void OnNetMessage(u16 _type_word, net_message_c& _message, const net_player_c* _sender);

    // The network copy with that owner and index; null for this player's id.
    game_object_plane_ghost_c* FindNetworkPlane(u16 _owner, u32 _index) const;
    // The computer plane (type 0) with that network id.
    game_object_plane_c* FindComputerPlaneById(u32 _id) const;
    // How the messages name a plane; false for an object that is no plane
    // of the game.
    bool Identify(const game_object_c* _object, u16& _owner, u32& _index) const;

    // Sending.
    // 0x1104 to every player: the game state at _time.
    void SendGameState(float _time);
    // 0x102: the player's plane enters a joined game (to the host).
    void AnnouncePlayerPlane();
    // 0x102 of a computer plane of the hosted game, to every other player.
    void AnnounceComputerPlane(const string_c& _file, u32 _network_id, const string_c& _name, const vec3_c& _position,
                               const vec3_c& _rotation);
    // 0x105, 0x108, 0x107, 0x10B of a plane flown here ({owner, index}
    // as Identify gives); 0x10C of the player's plane.
    void SendPlaneState(const game_object_plane_c& _plane, float _clock);
    void SendFiring(const game_object_plane_c& _plane, bool _firing);
    void SendCrash(const game_object_plane_c& _plane, u32 _kind);
    void SendRespawn(const game_object_plane_c& _plane);
    void SendRocket();
    // A plane flown here was destroyed: the killer's score and its side's
    // (whoever flies the killer, so that every program counts each kill
    // once), the news line when it was the player's plane (text 96), and
    // 0x106.
    // A kill without a killer is announced as by the computer owner's
    // index 0xFFFFFFFE, which names no plane.
    void AnnounceDestroyed(game_object_plane_c& _victim, u16 _victim_word, u32 _victim_id, game_object_c* _killer);
    // 0x109: a hit decided here; the point goes in the victim's own frame.
    // A victim that is no plane is named {0xFFFF, 0xFFFFFFFF}: no plane.
    void SendHit(game_object_c* _shooter, game_object_c* _victim, const vec3_c& _point, const vec3_c& _normal);
    // 0x10D: explosion damage to a network copy, from this player.
    void SendAreaDamage(const game_object_plane_ghost_c& _victim, float _damage, const vec3_c& _point);
    // 0x110A, and in a multiplayer game 0x110E to every player (from a
    // joined program through the host, which passes both on).
    void SendDeparture(bool _multiplayer);
    // 0x10F to every player.
    void SendGameEnd(u32 _kind, const string_c& _leader);

    // The in-game text, or an empty text past the list.
    string_c Text(size_t _index) const;
    // The session's name of the player, or an empty text.
    bool PlayerName(u16 _id, string_c& _name) const;
    u16 LocalId() const;

private:
    static constexpr int german_side = -1;
    // Names no plane: the victim of a hit on a target that is no plane.
    static constexpr u32 nobody = 0xFFFFFFFF;
    // The killer index of a kill that names no attacker.
    static constexpr u32 unknown_killer = 0xFFFFFFFE;
    static constexpr size_t text_killed_by = 96;

    // The parts with the gap between them.
    static string_c Joined(std::initializer_list<string_c> _parts, const char* _gap = " ");
    // The rotation as the messages carry it.
    static euler_c Angles(const vec3_c& _rotation);
    // The file the plane's model came from.
    static string_c PlaneFile(const game_object_plane_c& _plane);
    // Owner and index of a plane flown here; false for no plane.
    bool WritePlane(const game_object_plane_c& _plane, net_message_c& _body) const;
    // Position and rotation.
    static void WritePlace(const game_object_c& _plane, net_message_c& _body);

    void OnStateRequest(const net_player_c* _sender);
    void OnPlaneEnters(net_message_c& _message, const net_player_c* _sender);
    void OnPlaneAnnounced(net_message_c& _message);
    void OnGameState(net_message_c& _message);
    void OnPlaneDestroyed(net_message_c& _message);
    void OnPlaneCrash(net_message_c& _message);
    void OnHit(net_message_c& _message);
    void OnPlayerLeftMission(u16 _id);
    void OnAreaDamage(net_message_c& _message);
    void OnGameEnd(net_message_c& _message);
    void OnSessionEvent(u16 _type, net_message_c& _message);

    // The killer's score and its side's score rise by one.
    void CountKill(game_object_plane_c* _killer);
    // A new network copy, when the file is allowed and the plane is new.
    game_object_plane_ghost_c* AddNetworkPlane(const string_c& _file, u16 _owner, u32 _index, const string_c& _name);
    bool IsLocalPlaneFile(const string_c& _file) const;
    // A 0x103 body describing a plane of the world.
    bool Describe(const game_object_c* _plane, net_message_c& _body) const;
    void WriteGameState(net_message_c& _body, float _time) const;
    void Send(u16 _type_word, const net_message_c& _message, bool _relay) const;
    void SendTo(const net_player_c* _player, u16 _type_word, const net_message_c& _message) const;

    application_c& application;
    game_messages_host_c& host;
    net_session_c* session;
};

// A point in the world carried into an object's own frame (by its position
// and rotation), and back.
vec3_c ToObjectFrame(const game_object_c& _object, const vec3_c& _point);
vec3_c FromObjectFrame(const game_object_c& _object, const vec3_c& _point);
