#pragma once
// One framed TCP connection (see dplay8_wire.h), used by the server for each
// client and by the client for its server. Lives on its worker's thread: every
// call is made there, and its callbacks run there.
//
// Reading goes on frame by frame until the frame callback says stop or the
// connection ends; a header announcing a bad length ends it. Frames queued
// for sending are written in order; a peer that lets more than the pending
// limit pile up unread is cut off rather than letting memory grow.
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include <asio/ip/tcp.hpp>
#include <asio/steady_timer.hpp>

#include "platform/dplay8/dplay8_wire.h"

class dplay8_stream_c : public std::enable_shared_from_this<dplay8_stream_c> {
public:
    // Returns false to stop reading (the connection is closed).
    using frame_callback = std::function<bool(dplay8_wire::frame_kind_e _kind, const u8* _body, std::size_t _size)>;
    using closed_callback = std::function<void()>;

    static constexpr std::size_t kMaxPendingBytes = 4u << 20;
    static constexpr std::size_t kMaxFramesPerWrite = 256;
    // How long CloseAfterSend waits for the queue to drain.
    static constexpr u32 kFlushMilliseconds = 5000;

    explicit dplay8_stream_c(asio::ip::tcp::socket _socket);

    // Starts reading. The closed callback runs once, when the connection ends
    // for any reason other than Close.
    void Start(frame_callback _on_frame, closed_callback _on_closed);
    // Queues a frame. False when the stream is closing, or when the frame would
    // pass the pending limit, which closes the stream.
    bool Send(dplay8_wire::frame_kind_e _kind, const u8* _body, std::size_t _size);
    // Ends the connection at once; no callback follows.
    void Close();
    // Stops reading and sending new frames, writes what is queued, then ends
    // the connection; no callback follows.
    void CloseAfterSend();
    // Ends the connection unless it was closed before the time passes.
    void SetDeadline(u32 _milliseconds);
    void CancelDeadline();

private:
    void ReadHeader();
    void ReadBody(u32 _length);
    void WriteNext();
    void Fail();

    asio::ip::tcp::socket _socket;
    asio::steady_timer _deadline;
    frame_callback _on_frame;
    closed_callback _on_closed;
    u8 _header[dplay8_wire::kFrameHeaderSize] = {};
    std::vector<u8> _body;
    std::deque<std::vector<u8>> _pending;
    std::size_t _pending_bytes = 0;
    bool _writing = false;
    bool _closed = false;
    bool _closing = false;
};
