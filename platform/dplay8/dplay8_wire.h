#pragma once
// What the session objects say to each other, little-endian throughout.
//
// TCP frames: u32 length (1 .. kMaxFrameLength), then that many bytes: a u8
// kind and its body. A client opens with HELLO ("DP8S", application GUID, u16
// password length in UTF-16 units, the units); the server answers ACCEPT (u32
// the client's player id) or REFUSE (u32 the failure result) and closes.
// After ACCEPT both sides send DATA frames whose body is one message.
//
// UDP search: a QUERY datagram ("DP8Q", application GUID or all zeros for any
// application, u32 query id) is answered by an ANSWER ("DP8R", u32 query id,
// instance GUID, application GUID, u32 flags, u32 max players, u32 current
// players, u16 session port, u16 name length, the UTF-16 units).
//
// Readers take lengths only after checking them against the bytes there and
// refuse anything left over or missing.
#include <string>
#include <vector>

#include "platform/dplay8/dplay8.h"

namespace dplay8_wire {

enum frame_kind_e : u8 { FRAME_HELLO = 1, FRAME_ACCEPT = 2, FRAME_REFUSE = 3, FRAME_DATA = 4 };

constexpr u32 kFrameHeaderSize = 4;
constexpr u32 kMaxFrameLength = 1 + DPN_MAX_MESSAGE_SIZE;

// The whole frame: header, kind, body.
std::vector<u8> Frame(frame_kind_e _kind, const u8* _body, std::size_t _size);
// The length a header announces; false when it is 0 or above kMaxFrameLength.
bool FrameLength(const u8* _header, u32* _length);

std::vector<u8> Hello(const dpn_guid_c& _application, const std::u16string& _password);
bool ReadHello(const u8* _body, std::size_t _size, dpn_guid_c* _application, std::u16string* _password);
std::vector<u8> U32Body(u32 _value);
bool ReadU32Body(const u8* _body, std::size_t _size, u32* _value);

std::vector<u8> Query(const dpn_guid_c& _application, u32 _query_id);
bool ReadQuery(const u8* _data, std::size_t _size, dpn_guid_c* _application, u32* _query_id);
std::vector<u8> Answer(u32 _query_id, const dpn_application_desc_c& _desc, u16 _port);
// The answer's description carries no password.
bool ReadAnswer(const u8* _data, std::size_t _size, u32* _query_id, dpn_application_desc_c* _desc, u16* _port);

} // namespace dplay8_wire
