#pragma once
// Base of the compressed sources: the whole file is held in memory and
// decoded on demand; at its end a looping source rewinds to its loop start.
#include "audio/sound_system.h"
#include "foundation/memory_file.h"

class memory_source_c : public virtual sound_source_c {
public:
    bool SetLoopStart(float seconds) override;
    bool SetLooping(bool looping) override;

protected:
    // Loads the named file through the current file system; file_error_c
    // when it is missing.
    memory_source_c(const char* name);
    memory_source_c(const memory_source_c& other) = default;

    // The next decoded bytes; fewer at the end of the data.
    virtual u32 RawRead(u8* buffer, u32 bytes) = 0;
    // RawRead, continued from the loop start while looping. A pass that
    // delivers nothing ends the read, so a loop start beyond the end gives a
    // short read instead of looping forever.
    u32 LoopingRead(u8* buffer, u32 bytes);

    const input_file_c& File() const { return _file; }

private:
    input_file_c _file;
    float _loop_start = 0.0f;
    bool _looping = false;
};
