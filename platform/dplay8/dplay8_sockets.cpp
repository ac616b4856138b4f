#include "platform/dplay8/dplay8_sockets.h"

#include <asio/ip/v6_only.hpp>

namespace {

template <typename socket_t, typename protocol_t>
bool OpenAndBind(socket_t& socket, const protocol_t& protocol, u16 port, bool reuse)
{
    asio::error_code error;
    socket.open(protocol, error);
    if (error)
        return false;
    if (protocol.family() == AF_INET6)
        socket.set_option(asio::ip::v6_only(false), error);
    if (reuse)
        socket.set_option(typename socket_t::reuse_address(true), error);
    error.clear();
    const auto any = protocol.family() == AF_INET6 ? asio::ip::address(asio::ip::address_v6::any())
                                                   : asio::ip::address(asio::ip::address_v4::any());
    socket.bind({any, port}, error);
    if (error) {
        socket.close(error);
        return false;
    }
    return true;
}

} // namespace

bool Dplay8OpenAcceptor(asio::ip::tcp::acceptor& _acceptor, u16 _port)
{
    if (!OpenAndBind(_acceptor, asio::ip::tcp::v6(), _port, true) &&
        !OpenAndBind(_acceptor, asio::ip::tcp::v4(), _port, true))
        return false;
    asio::error_code error;
    _acceptor.listen(asio::socket_base::max_listen_connections, error);
    if (error) {
        _acceptor.close(error);
        return false;
    }
    return true;
}

bool Dplay8OpenUdp(asio::ip::udp::socket& _socket, u16 _port)
{
    return OpenAndBind(_socket, asio::ip::udp::v6(), _port, false) ||
           OpenAndBind(_socket, asio::ip::udp::v4(), _port, false);
}

std::string Dplay8AddressText(const asio::ip::address& _address)
{
    if (_address.is_v6() && _address.to_v6().is_v4_mapped())
        return asio::ip::make_address_v4(asio::ip::v4_mapped, _address.to_v6()).to_string();
    return _address.to_string();
}
