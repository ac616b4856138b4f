#pragma once
// A message handler for tests that records what a session object reports, and
// waits for a condition on the record with a generous deadline.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/dplay8/dplay8_address.h"

struct dplay8_event_c {
    u32 id = 0;
    dpnid player = 0;
    dpn_result result = DPN_OK;
    dpn_handle handle = 0;
    std::string data; // received bytes, or the session name of an answer
    std::string url;  // the host's address of an answer
    dpn_application_desc_c desc;
};

class dplay8_event_log_c {
public:
    static dpn_result Handler(void* context, u32 message_id, void* message);

    // Waits until the events satisfy the condition; false after the deadline.
    bool WaitFor(const std::function<bool(const std::vector<dplay8_event_c>&)>& _condition,
                 std::chrono::seconds _deadline = std::chrono::seconds(30));
    // Waits for the count-th event of that id (1 = the first).
    bool WaitForId(u32 _id, std::size_t _count = 1);
    std::vector<dplay8_event_c> Events() const;
    std::vector<dplay8_event_c> EventsOf(u32 _id) const;

    // The result INDICATE_CONNECT answers with.
    dpn_result indicate_result = DPN_OK;

private:
    mutable std::mutex _mutex;
    std::condition_variable _changed;
    std::vector<dplay8_event_c> _events;
};
