#pragma once
// Opening the listening sockets of a host: IPv6 with IPv4 mapped in where the
// system has it, plain IPv4 otherwise.
#include <asio/ip/tcp.hpp>
#include <asio/ip/udp.hpp>

#include "foundation/types.h"

// Opens, binds and (TCP) listens; false when the port cannot be had.
bool Dplay8OpenAcceptor(asio::ip::tcp::acceptor& _acceptor, u16 _port);
bool Dplay8OpenUdp(asio::ip::udp::socket& _socket, u16 _port);
// The text of an address, IPv4-mapped addresses written as plain IPv4.
std::string Dplay8AddressText(const asio::ip::address& _address);
