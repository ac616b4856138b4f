#pragma once
// Streamed sounds: a long MPEG or Ogg Vorbis file plays through a short ring
// of equal segments on the device. Each segment's event is signalled when
// play has passed it, and Update refills the segments played since the last
// call with newly decoded PCM.
//
// With creation flag 0x10000 the stream has a refill thread of its own that
// calls Update every ring length / N seconds (16 segments per second);
// without it the caller calls Update at least once per ring length (128
// segments per second). With a thread, one re-entrant lock per stream
// serialises the thread's Update and the caller's operations.
//
// The device buffer always plays looped; the data loops only after
// SetLooping(true). When data that does not loop runs out, play stops once
// the segment where it ended has been heard, and a later Play starts the
// stream again from its beginning.
#include <atomic>
#include <memory>
#include <vector>

#include "audio/a3d_sound.h"
#include "audio/mpeg_source.h"
#include "audio/ogg_source.h"
#include "foundation/path.h"
#include "platform/win32/threads.h"

class a3d_stream_c : public a3d_sound_c {
public:
    ~a3d_stream_c() override;

    bool SetPitch(float _pitch) override;
    bool SetVolume(float _decibels) override;
    bool SetPan(float _decibels) override;
    bool SetMinDistance(float _distance) override;
    bool SetPosition(const vec3_c* _position) override;
    bool SetVelocity(const vec3_c* _velocity) override;
    bool SetUnitParameter(float _value) override;
    bool SetLoopStart(float _seconds) override;
    bool SetLooping(bool _looping) override;
    // Heard after the segments already in the ring.
    bool Seek(float _seconds) override;
    bool IsPlaying() override;
    bool Play() override;
    // Keeps the ring and the decode position: Play continues from here.
    bool Stop() override;
    // Refills the played segments; false when nothing plays or play has
    // reached the end of the data.
    bool Update() override;

    int GetSegmentCount() const { return _segment_count; }
    int GetSegmentSize() const { return _segment_size; }
    // Milliseconds the refill thread sleeps between passes.
    u32 GetRefillPeriod() const;
    bool HasRefillThread() const { return _thread != nullptr; }
    // Passes the refill thread has finished: two more than seen before mean
    // every segment played by then has been refilled.
    u32 GetRefillPasses() const { return _refill_passes.load(); }

protected:
    a3d_stream_c(a3d_device_c* _device, const string_c& _path);

    // Makes the ring of seconds (at least two segments), fills it and, with
    // flag 0x10000, the refill thread. Throws a3d_error_c.
    void Start(float _seconds);
    // Ends the thread and gives back the ring; safe to repeat. The most
    // derived class calls it first in its destructor, so the thread never
    // reads from a data source that is being torn down.
    void Release();

    // The data source's own operations, below the stream's lock.
    virtual bool DataSetLoopStart(float _seconds) = 0;
    virtual bool DataSetLooping(bool _looping) = 0;
    virtual bool DataSeek(float _seconds) = 0;

    float _seconds = 0;

private:
    u32 RefillThread();
    // True when the segment's event was signalled (and clears it).
    bool Played(int _segment);
    // Back to the start of the data, the ring filled anew: for Play after
    // the end.
    bool Restart();
    void FillRing();

    std::vector<std::unique_ptr<event_c>> _events;
    int _segment_size = 0;
    int _segment_count = 0;
    int _current_segment = 0;
    int _end_segment = -1;
    bool _ended = false;
    std::unique_ptr<critical_section_c> _lock;
    std::unique_ptr<thread_c> _thread;
    std::atomic<bool> _running{false};
    std::atomic<u32> _refill_passes{0};
    bool _resumed = false; // changed under the lock, or after the thread ended
    std::atomic<bool> _playing{false};
};

// A streamed sound over one of the data sources (mpeg_source_c,
// ogg_source_c).
template <class source_t>
class a3d_data_stream_c final : public a3d_stream_c, public source_t {
public:
    // Throws file_error_c for the file and a3d_error_c for the device.
    a3d_data_stream_c(a3d_device_c* _device, const char* _name, float _seconds, u32 _flags)
        : sound_source_c(_device, _flags), a3d_stream_c(_device, MakeFullPath(_name)), source_t(_device, _name, _flags)
    {
        Start(_seconds);
    }
    ~a3d_data_stream_c() override { Release(); }

    // A new stream of the same file with the same ring length.
    sound_source_c* Clone() override { return new a3d_data_stream_c(*this); }
    bool SetLoopStart(float _seconds) override { return a3d_stream_c::SetLoopStart(_seconds); }
    bool SetLooping(bool _looping) override { return a3d_stream_c::SetLooping(_looping); }
    bool Seek(float _seconds) override { return a3d_stream_c::Seek(_seconds); }

protected:
    bool DataSetLoopStart(float _seconds) override { return source_t::SetLoopStart(_seconds); }
    bool DataSetLooping(bool _looping) override { return source_t::SetLooping(_looping); }
    bool DataSeek(float _seconds) override { return source_t::Seek(_seconds); }

private:
    a3d_data_stream_c(const a3d_data_stream_c& _other)
        : sound_source_c(_other), a3d_stream_c(_other._device, _other._path), source_t(_other)
    {
        Start(_other._seconds);
    }
};

using a3d_mpeg_stream_c = a3d_data_stream_c<mpeg_source_c>;
using a3d_ogg_stream_c = a3d_data_stream_c<ogg_source_c>;
