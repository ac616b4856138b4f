#include "platform/dplay8/testing/event_log.h"

dpn_result dplay8_event_log_c::Handler(void* context, u32 message_id, void* message)
{
    auto* log = static_cast<dplay8_event_log_c*>(context);
    dplay8_event_c event;
    event.id = message_id;
    switch (message_id) {
    case DPN_MSGID_RECEIVE: {
        auto* receive = static_cast<dpn_msg_receive_c*>(message);
        event.player = receive->sender;
        event.data.assign(reinterpret_cast<const char*>(receive->data), receive->size);
        break;
    }
    case DPN_MSGID_CONNECT_COMPLETE: {
        auto* complete = static_cast<dpn_msg_connect_complete_c*>(message);
        event.result = complete->result;
        event.handle = complete->handle;
        event.player = complete->local_player;
        break;
    }
    case DPN_MSGID_ENUM_HOSTS_RESPONSE: {
        auto* response = static_cast<dpn_msg_enum_hosts_response_c*>(message);
        event.desc = *response->desc;
        event.data = DpnNarrow(response->desc->session_name);
        response->sender->GetURL(&event.url);
        event.handle = response->handle;
        break;
    }
    case DPN_MSGID_ASYNC_OP_COMPLETE: {
        auto* complete = static_cast<dpn_msg_async_op_complete_c*>(message);
        event.handle = complete->handle;
        event.result = complete->result;
        break;
    }
    case DPN_MSGID_TERMINATE_SESSION: event.result = static_cast<dpn_msg_terminate_session_c*>(message)->result; break;
    default: event.player = static_cast<dpn_msg_player_c*>(message)->player; break;
    }
    std::lock_guard<std::mutex> lock(log->_mutex);
    log->_events.push_back(event);
    log->_changed.notify_all();
    return message_id == DPN_MSGID_INDICATE_CONNECT ? log->indicate_result : DPN_OK;
}

bool dplay8_event_log_c::WaitFor(const std::function<bool(const std::vector<dplay8_event_c>&)>& _condition,
                                 std::chrono::seconds _deadline)
{
    std::unique_lock<std::mutex> lock(_mutex);
    return _changed.wait_for(lock, _deadline, [&] { return _condition(_events); });
}

bool dplay8_event_log_c::WaitForId(u32 _id, std::size_t _count)
{
    return WaitFor([&](const std::vector<dplay8_event_c>& events) {
        std::size_t seen = 0;
        for (const auto& event : events)
            seen += event.id == _id ? 1 : 0;
        return seen >= _count;
    });
}

std::vector<dplay8_event_c> dplay8_event_log_c::Events() const
{
    std::lock_guard<std::mutex> lock(_mutex);
    return _events;
}

std::vector<dplay8_event_c> dplay8_event_log_c::EventsOf(u32 _id) const
{
    std::vector<dplay8_event_c> found;
    for (const auto& event : Events())
        if (event.id == _id)
            found.push_back(event);
    return found;
}
