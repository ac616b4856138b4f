#pragma once
// net_session_c: what the game asks of a network session when it answers
// and sends game messages: sending records, the players, the local
// player's id, and the hook that hears the game state. The network manager implements it; tests
// use a recording double.
//
// Records are sent as they are (the session copies what it sends); the type
// word travels beside the record. The sender of a received record is the
// session's own player record, opaque to the game.
#include "foundation/types.h"

class net_message_c;
class net_player_c;

class net_session_c {
public:
    virtual ~net_session_c() = default;

    // To the host, or, on the host, into its own incoming queue. The flags
    // add kNetRelay, kNetScrambled and kNetCarried to the type word.
    virtual void Send(u16 _type_word, const net_message_c& _message, bool _relay, bool _scramble, bool _carried) = 0;
    // To every player of the group (0: the whole session) but the two
    // excluded ones (null: none).
    virtual void SendToGroup(u32 _group, u16 _type_word, const net_message_c& _message, const net_player_c* _excluded_a,
                             const net_player_c* _excluded_b, bool _scramble, bool _carried) = 0;
    // To one player (a record FindPlayer gave, or the sender of a received
    // record); nothing for null. A session without players sends nothing.
    virtual void SendTo(const net_player_c* _player, u16 _type_word, const net_message_c& _message, bool _scramble,
                        bool _carried);
    // The player with that id, or null (always null without players).
    virtual const net_player_c* FindPlayer(u16 _id) const;
    // The local player's id in the session.
    virtual u16 GetLocalId() const = 0;
    // Told the first payload word of every game state (0x104) received.
    virtual void OnGameState(u32 _first_word) = 0;
};
