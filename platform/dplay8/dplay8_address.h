#pragma once
// The address of one end of a session: named components (the provider, a host
// name, a port) and their text form, the URL
//     x-dplay8:/provider=tcpip;hostname=192.168.0.7;port=20320
// in which ';', '=', '%' and bytes outside printable ASCII of a value are
// written as %XX. Keys compare without regard to case. An IPv6 literal is a
// plain host name here ("hostname=::1"), since ':' separates nothing in a URL.
#include <string>
#include <vector>

#include "platform/dplay8/dplay8.h"

constexpr const char* DPNA_URL_PREFIX = "x-dplay8:/";
constexpr const char* DPNA_KEY_PROVIDER = "provider";
constexpr const char* DPNA_KEY_HOSTNAME = "hostname";
constexpr const char* DPNA_KEY_PORT = "port";
constexpr const char* DPNA_VALUE_TCPIPPROVIDER = "tcpip";

class dplay8_address_c {
public:
    // Sets a component, replacing one of the same key. Keys are non-empty.
    dpn_result AddComponent(const std::string& _key, const std::string& _value);
    dpn_result AddComponent(const std::string& _key, u32 _value);
    // DPNERR_INVALIDPARAM when the key is missing or of the other kind.
    dpn_result GetComponent(const std::string& _key, std::string* _value) const;
    dpn_result GetComponent(const std::string& _key, u32* _value) const;
    dpn_result GetURL(std::string* _url) const;
    // Replaces every component from a URL. DPNERR_ADDRESSING, leaving the
    // address unchanged, for a text without the full prefix, a component
    // without '=', a bad escape, or a port that is not a number below 65536.
    dpn_result BuildFromURL(const std::string& _url);
    void Clear() { _components.clear(); }

private:
    struct component_c {
        std::string key;
        std::string text;
        u32 number = 0;
        bool is_number = false;
    };
    dpn_result Set(component_c _component);
    component_c* Find(const std::string& _key);
    const component_c* Find(const std::string& _key) const;

    std::vector<component_c> _components;
};
