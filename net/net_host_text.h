#pragma once
// The address a player types or picks to join a session:
// - a session address from a search, beginning with the full URL prefix of
//   the transport ("x-dplay8:/...");
// - "name:port" or "1.2.3.4:port", the port a decimal number 1..65535;
// - "[v6 literal]" or "[v6 literal]:port";
// - a bare name, IPv4 literal or IPv6 literal (more than one ':'), which
//   takes the default port 20320.
// Leading and trailing blanks are ignored.
#include <string>

#include "platform/dplay8/dplay8_address.h"

// False, and the address unchanged, for an empty host, a bad port, an
// unclosed bracket or a URL the transport cannot read.
bool ParseHostText(const std::string& _text, dplay8_address_c* _address);
