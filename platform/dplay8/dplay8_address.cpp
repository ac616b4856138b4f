#include "platform/dplay8/dplay8_address.h"

#include <charconv>
#include <strings.h>

namespace {

bool NeedsEscape(unsigned char c)
{
    return c == ';' || c == '=' || c == '%' || c <= 0x20 || c >= 0x7F;
}

std::string Escape(const std::string& value)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : value) {
        if (NeedsEscape(c)) {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool Unescape(const std::string& text, std::string* out)
{
    out->clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            *out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return false;
        const int high = HexDigit(text[i + 1]);
        const int low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0)
            return false;
        *out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

bool ParsePort(const std::string& text, u32* port)
{
    u32 value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value > 65535)
        return false;
    *port = value;
    return true;
}

} // namespace

dplay8_address_c::component_c* dplay8_address_c::Find(const std::string& _key)
{
    for (component_c& component : _components)
        if (strcasecmp(component.key.c_str(), _key.c_str()) == 0)
            return &component;
    return nullptr;
}

const dplay8_address_c::component_c* dplay8_address_c::Find(const std::string& _key) const
{
    return const_cast<dplay8_address_c*>(this)->Find(_key);
}

dpn_result dplay8_address_c::Set(component_c _component)
{
    if (_component.key.empty() || _component.key.find_first_of(";=%") != std::string::npos)
        return DPNERR_INVALIDPARAM;
    component_c* component = Find(_component.key);
    if (component == nullptr)
        component = &_components.emplace_back();
    *component = std::move(_component);
    return DPN_OK;
}

dpn_result dplay8_address_c::AddComponent(const std::string& _key, const std::string& _value)
{
    return Set(component_c{_key, _value, 0, false});
}

dpn_result dplay8_address_c::AddComponent(const std::string& _key, u32 _value)
{
    return Set(component_c{_key, std::string(), _value, true});
}

dpn_result dplay8_address_c::GetComponent(const std::string& _key, std::string* _value) const
{
    const component_c* component = Find(_key);
    if (component == nullptr || component->is_number)
        return DPNERR_INVALIDPARAM;
    *_value = component->text;
    return DPN_OK;
}

dpn_result dplay8_address_c::GetComponent(const std::string& _key, u32* _value) const
{
    const component_c* component = Find(_key);
    if (component == nullptr || !component->is_number)
        return DPNERR_INVALIDPARAM;
    *_value = component->number;
    return DPN_OK;
}

dpn_result dplay8_address_c::GetURL(std::string* _url) const
{
    std::string url = DPNA_URL_PREFIX;
    for (std::size_t i = 0; i < _components.size(); ++i) {
        const component_c& component = _components[i];
        if (i > 0)
            url += ';';
        url += component.key;
        url += '=';
        url += component.is_number ? std::to_string(component.number) : Escape(component.text);
    }
    *_url = url;
    return DPN_OK;
}

dpn_result dplay8_address_c::BuildFromURL(const std::string& _url)
{
    const std::string prefix = DPNA_URL_PREFIX;
    if (_url.size() < prefix.size() || strncasecmp(_url.c_str(), prefix.c_str(), prefix.size()) != 0)
        return DPNERR_ADDRESSING;
    dplay8_address_c built;
    std::size_t at = prefix.size();
    while (at < _url.size()) {
        std::size_t end = _url.find(';', at);
        if (end == std::string::npos)
            end = _url.size();
        const std::string part = _url.substr(at, end - at);
        at = end + 1;
        const std::size_t equals = part.find('=');
        if (equals == std::string::npos || equals == 0)
            return DPNERR_ADDRESSING;
        const std::string key = part.substr(0, equals);
        std::string value;
        if (!Unescape(part.substr(equals + 1), &value))
            return DPNERR_ADDRESSING;
        if (strcasecmp(key.c_str(), DPNA_KEY_PORT) == 0) {
            u32 port = 0;
            if (!ParsePort(value, &port))
                return DPNERR_ADDRESSING;
            built.AddComponent(key, port);
        } else if (built.AddComponent(key, value) != DPN_OK) {
            return DPNERR_ADDRESSING;
        }
    }
    *this = std::move(built);
    return DPN_OK;
}
