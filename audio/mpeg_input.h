#pragma once
// The byte source an MPEG decoder reads its frames from.
#include "foundation/types.h"

class mpeg_input_c {
 public:
  virtual ~mpeg_input_c() = default;
  // Copies up to `bytes` bytes; returns the count (0 at the end).
  virtual u32 Read(void* buffer, u32 bytes) = 0;
  // Moves to an absolute position (clamped to the size); false when not seekable.
  virtual bool Seek(u64 position) = 0;
  virtual u64 Size() const = 0;
  virtual bool IsSeekable() const = 0;
  virtual bool AtEnd() const = 0;
};

// A seekable source over bytes in memory (not owned).
class mpeg_memory_input_c : public mpeg_input_c {
 public:
  mpeg_memory_input_c(const u8* data, u64 size) : _data(data), _size(size) {}
  u32 Read(void* buffer, u32 bytes) override;
  bool Seek(u64 position) override;
  u64 Size() const override { return _size; }
  bool IsSeekable() const override { return true; }
  bool AtEnd() const override { return _position >= _size; }

 private:
  const u8* _data;
  u64 _size;
  u64 _position = 0;
};
