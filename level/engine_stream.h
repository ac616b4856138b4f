#pragma once
// Engine streams carried whole as a chunk's payload (envelopes, lens-flare
// definitions, engine objects), both directions.
#include "foundation/memory_file.h"

#include "foundation/text_string.h"

#include <functional>
#include <vector>

class CChunkSaver;

// Call inside an open chunk. Writing runs _write into a memory stream and
// appends its bytes as the payload; reading hands _read a view of the payload
// (nothing happens when the chunk is missing) and returns whether it ran.
bool ExchangeEngineStream(CChunkSaver& _saver, const std::function<void(output_file_c&)>& _write,
                          const std::function<void(input_file_c&)>& _read);

// Splits a list of file names at each "|"; empty names are dropped.
std::vector<string_c> SplitFileList(const char* _text);
