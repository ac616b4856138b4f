#pragma once
// Chunk files built by hand for tests, and the saver run over memory buffers.
#include "foundation/types.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class CChunkSaver;

using bytes_t = std::vector<u8>;

bytes_t U32Bytes(u32 _value);
bytes_t FloatBytes(f32 _value);
// The text's bytes followed by one zero byte.
bytes_t TextBytes(const std::string& _text);
bytes_t Cat(std::initializer_list<bytes_t> _parts);
// One item: the tag's first four bytes (zero-padded), the payload size as a
// little-endian u32, the payload.
bytes_t Item(const char* _tag, const bytes_t& _payload);

// Runs _routine on a saver in write mode over memory and returns the bytes.
bytes_t WriteBytes(const std::function<void(CChunkSaver&)>& _routine);
// Runs _routine on a saver in read mode over _bytes (named _name in errors).
void ReadBytes(const bytes_t& _bytes, const std::function<void(CChunkSaver&)>& _routine,
               const char* _name = "test.sce");
