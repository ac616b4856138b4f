#include "net/net_scramble.h"

#include <vector>

#include "net/net_protocol.h"

namespace {

void Xor(u8* bytes, u32 size, u8 s)
{
    for (u32 i = 0; i < size; ++i) {
        s = static_cast<u8>(s * 214013u + 2531011u);
        bytes[i] ^= s;
    }
}

} // namespace

bool ScrambleMessage(u16 _type, net_message_c& _message, u16 _seed)
{
    if ((_type & kNetScrambled) == 0)
        return true;
    const u32 length = _message.GetLength();
    if (length + 2 > net_message_c::kPayloadSize)
        return false;
    std::vector<u8> bytes(_message.GetPayload(), _message.GetPayload() + length);
    Xor(bytes.data(), length, static_cast<u8>(_seed));
    bytes.push_back(static_cast<u8>(_seed));
    bytes.push_back(static_cast<u8>(_seed >> 8));
    return _message.Assign(bytes.data(), bytes.size());
}

bool UnscrambleMessage(u16 _type, net_message_c& _message)
{
    if ((_type & kNetScrambled) == 0)
        return true;
    const u32 length = _message.GetLength();
    if (length < 4)
        return false;
    std::vector<u8> bytes(_message.GetPayload(), _message.GetPayload() + length - 2);
    const u8 seed = _message.GetPayload()[length - 2];
    Xor(bytes.data() + 2, static_cast<u32>(bytes.size() - 2), seed);
    return _message.Assign(bytes.data(), bytes.size());
}
