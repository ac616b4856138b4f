#pragma once
// The records that wait for the main thread, first in first out, shared by
// the transport's threads (Push) and the dispatcher (Pop) under one lock held
// for one push or one pop.
//
// Records keep only the bytes in use, and a sender (other than local events)
// may have at most a fixed number waiting: pushes past it are refused and
// the sender is remembered as flooding, so that memory stays bounded however
// fast a peer sends.
#include <deque>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "app/message/net_message.h"

class net_incoming_queue_c {
public:
    explicit net_incoming_queue_c(u32 _max_per_sender);

    // Appends a copy of the record, whose payload ends with the u32 sender
    // id. False when that sender already has its maximum waiting.
    bool Push(const net_message_c& _record, u32 _sender);
    // Moves the oldest record out; false when none waits.
    bool Pop(net_message_c& _record);
    // Drops every waiting record.
    void Clear();
    std::size_t GetCount() const;
    // The most records that ever waited at once.
    std::size_t GetHighWater() const;
    // Pushes refused so far.
    u64 GetRefused() const;
    // Senders refused since the last call, each once.
    std::vector<u32> TakeFlooders();

private:
    struct entry_c {
        std::vector<u8> payload;
        f32 time = 0.0f;
        u32 sender = 0;
    };

    const u32 _max_per_sender;
    mutable std::mutex _mutex;
    std::deque<entry_c> _entries;
    std::unordered_map<u32, u32> _waiting; // per sender
    std::vector<u32> _flooders;
    std::size_t _high_water = 0;
    u64 _refused = 0;
};
