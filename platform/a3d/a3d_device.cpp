#include <algorithm>
#include <chrono>
#include <string>

#include "platform/a3d/a3d_context.h"

namespace {

struct output_choice_c {
    std::mutex mutex;
    bool loopback = false;
    u32 rate = 44100;
    bool named = false;
    std::string name;
};

output_choice_c& OutputChoice()
{
    static output_choice_c choice;
    return choice;
}

std::atomic<int> open_devices{0};

// Frames rendered between two passes over the ring sources.
constexpr u32 loopback_chunk = 128;
constexpr auto service_period = std::chrono::milliseconds(5);

} // namespace

std::recursive_mutex& A3dLock()
{
    static std::recursive_mutex lock;
    return lock;
}

a3d_scope_c::a3d_scope_c(const a3d_context_c* _context) : _lock(A3dLock())
{
    if (_context != nullptr && alcGetCurrentContext() != _context->context)
        alcMakeContextCurrent(_context->context);
    if (_context != nullptr)
        alGetError();
}

a3d_result A3dCheck(a3d_result _failure)
{
    return alGetError() == AL_NO_ERROR ? A3D_OK : _failure;
}

void a3d_c::UseSystemDevice(const char* _device_name)
{
    output_choice_c& choice = OutputChoice();
    std::lock_guard<std::mutex> lock(choice.mutex);
    choice.loopback = false;
    choice.named = _device_name != nullptr;
    choice.name = _device_name != nullptr ? _device_name : "";
}

void a3d_c::UseLoopback(u32 _rate)
{
    output_choice_c& choice = OutputChoice();
    std::lock_guard<std::mutex> lock(choice.mutex);
    choice.loopback = true;
    choice.rate = _rate;
}

int a3d_c::OpenDevices()
{
    return open_devices.load();
}

a3d_result a3d_c::Create(std::unique_ptr<a3d_c>* _device)
{
    if (_device == nullptr)
        return A3DERR_INVALID_PARAM;
    bool loopback;
    {
        output_choice_c& choice = OutputChoice();
        std::lock_guard<std::mutex> lock(choice.mutex);
        loopback = choice.loopback;
    }
    if (loopback && !alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback"))
        return A3DERR_UNSUPPORTED;
    _device->reset(new a3d_c());
    return A3D_OK;
}

a3d_c::a3d_c() = default;

a3d_c::~a3d_c()
{
    Shutdown();
}

u32 a3d_c::Rate() const
{
    return _context ? _context->rate : 0;
}

a3d_result a3d_c::SetMaxHardwareSources(int _count)
{
    std::lock_guard<std::recursive_mutex> lock(A3dLock());
    if (_context)
        return A3DERR_ALREADY_INITIALIZED;
    _hardware_sources = _count;
    return A3D_OK;
}

a3d_result a3d_c::SetNumFallbackSources(int _count)
{
    std::lock_guard<std::recursive_mutex> lock(A3dLock());
    _fallback_sources = _count;
    return A3D_OK;
}

a3d_result a3d_c::Init(u32, u32, u32, void*, u32)
{
    std::lock_guard<std::recursive_mutex> lock(A3dLock());
    if (_context)
        return A3DERR_ALREADY_INITIALIZED;
    auto made = std::make_unique<a3d_context_c>();
    {
        output_choice_c& choice = OutputChoice();
        std::lock_guard<std::mutex> choice_lock(choice.mutex);
        made->loopback = choice.loopback;
        made->rate = choice.rate;
        if (made->loopback)
            made->device = alcLoopbackOpenDeviceSOFT(nullptr);
        else
            made->device = alcOpenDevice(choice.named ? choice.name.c_str() : nullptr);
    }
    if (made->device == nullptr)
        return A3DERR_NO_DEVICE;

    std::vector<ALCint> attributes = {ALC_MONO_SOURCES, 512,       ALC_STEREO_SOURCES,      512,
                                      ALC_HRTF_SOFT,    ALC_FALSE, ALC_OUTPUT_LIMITER_SOFT, ALC_FALSE};
    if (made->loopback) {
        if (!alcIsRenderFormatSupportedSOFT(made->device, static_cast<ALCsizei>(made->rate), ALC_STEREO_SOFT,
                                            ALC_FLOAT_SOFT)) {
            alcCloseDevice(made->device);
            return A3DERR_NO_DEVICE;
        }
        attributes.insert(attributes.end(), {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT,
                                             ALC_FLOAT_SOFT, ALC_FREQUENCY, static_cast<ALCint>(made->rate)});
    }
    attributes.push_back(0);
    made->context = alcCreateContext(made->device, attributes.data());
    if (made->context == nullptr || !alcMakeContextCurrent(made->context)) {
        if (made->context != nullptr)
            alcDestroyContext(made->context);
        alcCloseDevice(made->device);
        return A3DERR_NO_DEVICE;
    }
    if (!alIsExtensionPresent("AL_SOFT_deferred_updates") || !alIsExtensionPresent("AL_SOFT_direct_channels")) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(made->context);
        alcCloseDevice(made->device);
        return A3DERR_UNSUPPORTED;
    }
    if (!made->loopback) {
        ALCint rate = 0;
        alcGetIntegerv(made->device, ALC_FREQUENCY, 1, &rate);
        made->rate = static_cast<u32>(rate);
    }
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    alGetError();
    ++open_devices;
    _context = std::move(made);
    _listener.reset(new a3d_listener_c(this));
    if (!_context->loopback)
        _context->service = std::thread([this] { ServiceLoop(); });
    return A3D_OK;
}

void a3d_c::ServiceLoop()
{
    a3d_context_c* context = _context.get();
    std::unique_lock<std::mutex> lock(context->service_mutex);
    while (!context->service_stop) {
        lock.unlock();
        {
            a3d_scope_c scope(context);
            ServiceSources();
        }
        lock.lock();
        context->service_wake.wait_for(lock, service_period, [context] { return context->service_stop; });
    }
}

void a3d_c::ServiceSources()
{
    for (a3d_source_c* source : _sources)
        source->Service();
}

a3d_result a3d_c::QueryListener(a3d_listener_c** _out)
{
    std::lock_guard<std::recursive_mutex> lock(A3dLock());
    if (_out == nullptr)
        return A3DERR_INVALID_PARAM;
    *_out = _listener.get();
    return _listener ? A3D_OK : A3DERR_NOT_INITIALIZED;
}

a3d_result a3d_c::SetCoordinateSystem(u32 _system)
{
    std::lock_guard<std::recursive_mutex> lock(A3dLock());
    if (_system != A3D_RIGHT_HANDED_CS && _system != A3D_LEFT_HANDED_CS)
        return A3DERR_INVALID_PARAM;
    _coordinate_system = _system;
    return A3D_OK;
}

a3d_result a3d_c::Flush()
{
    if (!_context)
        return A3DERR_NOT_INITIALIZED;
    a3d_scope_c scope(_context.get());
    alProcessUpdatesSOFT();
    return A3dCheck();
}

a3d_result a3d_c::DeferChanges()
{
    if (!_context)
        return A3DERR_NOT_INITIALIZED;
    a3d_scope_c scope(_context.get());
    alDeferUpdatesSOFT();
    return A3dCheck();
}

a3d_result a3d_c::SetRolloffFactor(f32 _factor)
{
    if (!_context)
        return A3DERR_NOT_INITIALIZED;
    if (!(_factor >= 0))
        return A3DERR_INVALID_PARAM;
    a3d_scope_c scope(_context.get());
    _rolloff = _factor;
    for (a3d_source_c* source : _sources)
        source->ApplyDistance();
    return A3dCheck();
}

a3d_result a3d_c::SetOutputGain(f32 _gain)
{
    if (!_context)
        return A3DERR_NOT_INITIALIZED;
    if (!(_gain >= 0))
        return A3DERR_INVALID_PARAM;
    a3d_scope_c scope(_context.get());
    alListenerf(AL_GAIN, _gain);
    return A3dCheck();
}

a3d_result a3d_c::NewSource(u32 _flags, std::unique_ptr<a3d_source_c>* _out)
{
    if (_out == nullptr || (_flags & ~A3DSOURCE_2D) != 0)
        return A3DERR_INVALID_PARAM;
    if (!_context)
        return A3DERR_NOT_INITIALIZED;
    a3d_scope_c scope(_context.get());
    if (_hardware_sources >= 0 || _fallback_sources >= 0) {
        size_t limit =
            static_cast<size_t>(std::max(_hardware_sources, 0)) + static_cast<size_t>(std::max(_fallback_sources, 0));
        if (_sources.size() >= limit)
            return A3DERR_OUT_OF_SOURCES;
    }
    std::unique_ptr<a3d_source_c> source(new a3d_source_c(this, _flags));
    a3d_result result = source->CreateVoices();
    if (result != A3D_OK)
        return result;
    _sources.push_back(source.get());
    *_out = std::move(source);
    return A3D_OK;
}

a3d_result a3d_c::DuplicateSource(a3d_source_c* _original, std::unique_ptr<a3d_source_c>* _out)
{
    if (_original == nullptr || _out == nullptr)
        return A3DERR_INVALID_PARAM;
    if (!_context)
        return A3DERR_NOT_INITIALIZED;
    a3d_scope_c scope(_context.get());
    if (_original->_device != this || !_original->_data)
        return A3DERR_NO_DATA;
    std::unique_ptr<a3d_source_c> copy;
    a3d_result result = NewSource(_original->_flags, &copy);
    if (result != A3D_OK)
        return result;
    copy->_data = _original->_data;
    *_out = std::move(copy);
    return A3D_OK;
}

a3d_result a3d_c::Shutdown()
{
    if (!_context)
        return A3DERR_NOT_INITIALIZED;
    if (_context->service.joinable()) {
        {
            std::lock_guard<std::mutex> lock(_context->service_mutex);
            _context->service_stop = true;
        }
        _context->service_wake.notify_all();
        _context->service.join();
    }
    a3d_scope_c scope(_context.get());
    while (!_sources.empty()) {
        a3d_source_c* source = _sources.back();
        _sources.pop_back();
        source->Detach();
    }
    _listener.reset();
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(_context->context);
    alcCloseDevice(_context->device);
    _context.reset();
    --open_devices;
    return A3D_OK;
}

a3d_result a3d_c::RenderLoopback(f32* _samples, u32 _frames)
{
    if (!_context)
        return A3DERR_NOT_INITIALIZED;
    if (!_context->loopback)
        return A3DERR_UNSUPPORTED;
    if (_samples == nullptr && _frames > 0)
        return A3DERR_INVALID_PARAM;
    a3d_scope_c scope(_context.get());
    while (_frames > 0) {
        u32 now = std::min(_frames, loopback_chunk);
        alcRenderSamplesSOFT(_context->device, _samples, static_cast<ALCsizei>(now));
        ServiceSources();
        _samples += static_cast<size_t>(now) * 2;
        _frames -= now;
    }
    return A3D_OK;
}

a3d_result a3d_listener_c::SetPosition3f(f32 _x, f32 _y, f32 _z)
{
    a3d_scope_c scope(_device->_context.get());
    alListener3f(AL_POSITION, _x, _y, _device->Flip() ? -_z : _z);
    return A3dCheck(A3DERR_INVALID_PARAM);
}

a3d_result a3d_listener_c::SetVelocity3f(f32 _x, f32 _y, f32 _z)
{
    a3d_scope_c scope(_device->_context.get());
    alListener3f(AL_VELOCITY, _x, _y, _device->Flip() ? -_z : _z);
    return A3dCheck(A3DERR_INVALID_PARAM);
}

a3d_result a3d_listener_c::SetOrientation6f(f32 _front_x, f32 _front_y, f32 _front_z, f32 _up_x, f32 _up_y, f32 _up_z)
{
    a3d_scope_c scope(_device->_context.get());
    f32 sign = _device->Flip() ? -1.0f : 1.0f;
    const ALfloat orientation[6] = {_front_x, _front_y, sign * _front_z, _up_x, _up_y, sign * _up_z};
    alListenerfv(AL_ORIENTATION, orientation);
    return A3dCheck(A3DERR_INVALID_PARAM);
}
