#include "net/net_incoming_queue.h"

#include <algorithm>
#include <utility>

#include "net/net_protocol.h"

net_incoming_queue_c::net_incoming_queue_c(u32 _max_per_sender) : _max_per_sender(_max_per_sender) {}

bool net_incoming_queue_c::Push(const net_message_c& _record, u32 _sender)
{
    std::lock_guard<std::mutex> lock(_mutex);
    if (_sender != kLocalSender) {
        u32& waiting = _waiting[_sender];
        if (waiting >= _max_per_sender) {
            ++_refused;
            if (std::find(_flooders.begin(), _flooders.end(), _sender) == _flooders.end())
                _flooders.push_back(_sender);
            return false;
        }
        ++waiting;
    }
    const u8* payload = _record.GetPayload();
    _entries.push_back({std::vector<u8>(payload, payload + _record.GetLength()), _record.GetTime(), _sender});
    _high_water = std::max(_high_water, _entries.size());
    return true;
}

bool net_incoming_queue_c::Pop(net_message_c& _record)
{
    std::lock_guard<std::mutex> lock(_mutex);
    if (_entries.empty())
        return false;
    entry_c& entry = _entries.front();
    _record.Clear();
    _record.Assign(entry.payload.data(), entry.payload.size());
    _record.SetTime(entry.time);
    if (entry.sender != kLocalSender) {
        auto waiting = _waiting.find(entry.sender);
        if (waiting != _waiting.end() && --waiting->second == 0)
            _waiting.erase(waiting);
    }
    _entries.pop_front();
    return true;
}

void net_incoming_queue_c::Clear()
{
    std::lock_guard<std::mutex> lock(_mutex);
    _entries.clear();
    _waiting.clear();
    _flooders.clear();
}

std::size_t net_incoming_queue_c::GetCount() const
{
    std::lock_guard<std::mutex> lock(_mutex);
    return _entries.size();
}

std::size_t net_incoming_queue_c::GetHighWater() const
{
    std::lock_guard<std::mutex> lock(_mutex);
    return _high_water;
}

u64 net_incoming_queue_c::GetRefused() const
{
    std::lock_guard<std::mutex> lock(_mutex);
    return _refused;
}

std::vector<u32> net_incoming_queue_c::TakeFlooders()
{
    std::lock_guard<std::mutex> lock(_mutex);
    return std::exchange(_flooders, {});
}
