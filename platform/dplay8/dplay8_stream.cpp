#include "platform/dplay8/dplay8_stream.h"

#include <asio/read.hpp>
#include <asio/write.hpp>

dplay8_stream_c::dplay8_stream_c(asio::ip::tcp::socket _socket)
    : _socket(std::move(_socket)), _deadline(this->_socket.get_executor())
{
    asio::error_code ignored;
    this->_socket.set_option(asio::ip::tcp::no_delay(true), ignored);
}

void dplay8_stream_c::Start(frame_callback _on_frame, closed_callback _on_closed)
{
    this->_on_frame = std::move(_on_frame);
    this->_on_closed = std::move(_on_closed);
    ReadHeader();
}

void dplay8_stream_c::ReadHeader()
{
    auto self = shared_from_this();
    asio::async_read(_socket, asio::buffer(_header), [self](const asio::error_code& error, std::size_t) {
        if (self->_closed || self->_closing)
            return;
        u32 length = 0;
        if (error || !dplay8_wire::FrameLength(self->_header, &length)) {
            self->Fail();
            return;
        }
        self->ReadBody(length);
    });
}

void dplay8_stream_c::ReadBody(u32 _length)
{
    _body.resize(_length);
    auto self = shared_from_this();
    asio::async_read(_socket, asio::buffer(_body), [self](const asio::error_code& error, std::size_t) {
        if (self->_closed || self->_closing)
            return;
        if (error) {
            self->Fail();
            return;
        }
        const auto kind = static_cast<dplay8_wire::frame_kind_e>(self->_body[0]);
        if (!self->_on_frame(kind, self->_body.data() + 1, self->_body.size() - 1)) {
            self->Close();
            return;
        }
        if (!self->_closed && !self->_closing)
            self->ReadHeader();
    });
}

bool dplay8_stream_c::Send(dplay8_wire::frame_kind_e _kind, const u8* _body, std::size_t _size)
{
    if (_closed || _closing)
        return false;
    std::vector<u8> frame = dplay8_wire::Frame(_kind, _body, _size);
    if (_pending_bytes + frame.size() > kMaxPendingBytes) {
        Fail();
        return false;
    }
    _pending_bytes += frame.size();
    _pending.push_back(std::move(frame));
    if (!_writing)
        WriteNext();
    return true;
}

void dplay8_stream_c::WriteNext()
{
    if (_pending.empty()) {
        _writing = false;
        if (_closing)
            Close();
        return;
    }
    _writing = true;
    // Everything queued goes out in one write.
    auto buffers = std::make_shared<std::vector<asio::const_buffer>>();
    std::size_t bytes = 0;
    for (const auto& frame : _pending) {
        if (buffers->size() == kMaxFramesPerWrite)
            break;
        buffers->push_back(asio::buffer(frame));
        bytes += frame.size();
    }
    auto self = shared_from_this();
    asio::async_write(_socket, *buffers, [self, buffers, bytes](const asio::error_code& error, std::size_t) {
        if (self->_closed)
            return;
        self->_pending_bytes -= bytes;
        self->_pending.erase(self->_pending.begin(), self->_pending.begin() + buffers->size());
        if (error) {
            if (self->_closing)
                self->Close();
            else
                self->Fail();
            return;
        }
        self->WriteNext();
    });
}

void dplay8_stream_c::Close()
{
    if (_closed)
        return;
    _closed = true;
    _deadline.cancel();
    asio::error_code ignored;
    _socket.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    _socket.close(ignored);
    _pending.clear();
    _pending_bytes = 0;
}

void dplay8_stream_c::CloseAfterSend()
{
    if (_closed || _closing)
        return;
    _closing = true;
    if (!_writing) {
        Close();
        return;
    }
    // A peer that stops reading must not keep the connection for ever.
    SetDeadline(kFlushMilliseconds);
}

void dplay8_stream_c::SetDeadline(u32 _milliseconds)
{
    _deadline.expires_after(std::chrono::milliseconds(_milliseconds));
    auto self = shared_from_this();
    _deadline.async_wait([self](const asio::error_code& error) {
        if (!error && !self->_closed)
            self->Fail();
    });
}

void dplay8_stream_c::CancelDeadline()
{
    _deadline.cancel();
}

void dplay8_stream_c::Fail()
{
    if (_closed)
        return;
    const bool closing = _closing;
    Close();
    if (!closing && _on_closed)
        _on_closed();
}
