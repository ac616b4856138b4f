// Any record under any type word leaves the application's player list and
// set-up well formed: every record the application sends in answer fits its
// payload, and nothing reads outside the record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/application.h"
#include "app/message/net_message.h"
#include "app/message/net_message_type.h"
#include "app/message/net_session.h"

namespace {

class sink_session_c : public net_session_c {
public:
    void Send(u16, const net_message_c& _message, bool, bool, bool) override { Check(_message); }
    void SendToGroup(u32, u16, const net_message_c& _message, const net_player_c*, const net_player_c*, bool,
                     bool) override
    {
        Check(_message);
    }
    u16 GetLocalId() const override { return 3; }
    void OnGameState(u32) override {}

private:
    static void Check(const net_message_c& _message)
    {
        if (_message.GetLength() > net_message_c::kPayloadSize)
            std::abort();
    }
};

constexpr u16 kTypes[] = {2, 3, 4, 0x104, 0x1104, 0x110, 0x111, 0x112, 0x113, 0x101};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    static application_c application;
    if (!application.GetNetManager())
        application.net_manager = std::make_unique<sink_session_c>();
    application.is_server = data[0] & 0x80 ? 1 : 0;
    net_message_c message;
    if (!message.Assign(data + 1, size - 1))
        return 0;
    application_c::OnNetMessage(kTypes[data[0] % std::size(kTypes)], message, nullptr, &application);
    if (message.GetReadPos() > message.GetLength())
        std::abort();
    // The list the application would send must read back as it is.
    net_message_c list;
    application.players.Write(list);
    net_player_list_c copy;
    if (!list.WasWriteRefused() && !copy.Read(list))
        std::abort();
    if (application.players.GetCount() > 4096)
        application.players.Clear();
    return 0;
}
