#include "net/net_host_text.h"

#include <charconv>
#include <strings.h>

#include "net/net_protocol.h"

namespace {

bool ParsePort(const std::string& text, u32* port)
{
    u32 value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value == 0 || value > 65535)
        return false;
    *port = value;
    return true;
}

std::string Trim(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return std::string();
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

} // namespace

bool ParseHostText(const std::string& _text, dplay8_address_c* _address)
{
    const std::string text = Trim(_text);
    const std::string prefix = DPNA_URL_PREFIX;
    if (text.size() >= prefix.size() && strncasecmp(text.c_str(), prefix.c_str(), prefix.size()) == 0) {
        dplay8_address_c address;
        if (address.BuildFromURL(text) != DPN_OK)
            return false;
        *_address = address;
        return true;
    }
    std::string host = text;
    u32 port = kDefaultPort;
    if (!text.empty() && text[0] == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string::npos)
            return false;
        host = text.substr(1, close - 1);
        const std::string rest = text.substr(close + 1);
        if (!rest.empty() && (rest[0] != ':' || !ParsePort(rest.substr(1), &port)))
            return false;
    } else if (const std::size_t colon = text.find(':');
               colon != std::string::npos && text.find(':', colon + 1) == std::string::npos) {
        host = text.substr(0, colon);
        if (!ParsePort(text.substr(colon + 1), &port))
            return false;
    }
    if (host.empty())
        return false;
    dplay8_address_c address;
    address.AddComponent(DPNA_KEY_PROVIDER, DPNA_VALUE_TCPIPPROVIDER);
    address.AddComponent(DPNA_KEY_HOSTNAME, host);
    address.AddComponent(DPNA_KEY_PORT, port);
    *_address = address;
    return true;
}
