#include "platform/dplay8/dplay8_worker.h"

#include <asio/post.hpp>

dplay8_worker_c::dplay8_worker_c() : _guard(asio::make_work_guard(_io)), _thread([this] { _io.run(); }) {}

dplay8_worker_c::~dplay8_worker_c()
{
    Stop();
}

void dplay8_worker_c::Post(std::function<void()> _work)
{
    asio::post(_io, std::move(_work));
}

void dplay8_worker_c::Stop()
{
    _guard.reset();
    _io.stop();
    if (_thread.joinable())
        _thread.join();
}
