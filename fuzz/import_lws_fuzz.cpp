// Reads the input as a LightWave scene into a scene without a renderer and
// with no files to load. Any failure must be a file_error_c (or the scene's
// refusal to make a background map without a renderer); crashes, hangs and
// oversized allocations are faults.
#include <stdexcept>

#include "engine/import/lws1_reader.h"
#include "engine/import/lws3_reader.h"
#include "engine/import/lws_tokenizer.h"
#include "engine/scene.h"
#include "foundation/file_error.h"
#include "foundation/file_system.h"

namespace {

class no_files_c : public file_system_c {
public:
    u32 GetSize(const char* _name) override { throw file_error_c(_name, "File does not exist!"); }
    u32 Load(const char* _name, void*, u32) override { throw file_error_c(_name, "File does not exist!"); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    no_files_c files;
    input_file_c file(data, static_cast<u32>(size));
    {
        lws_tokenizer_c tokens(file);
        string_c text;
        vec3_c angles;
        try {
            while (tokens.TryReadWord(text) && (tokens.TryReadQuoted(text) || tokens.TryReadLine(text))) {
                tokens.ReadInt();
                tokens.ReadAngles(angles);
            }
        } catch (const file_error_c&) {}
    }
    const bool version3 = IsLws3File(file);
    if (!version3 && !IsLws1File(file))
        return 0;
    scene_c scene("fuzz", nullptr);
    try {
        if (version3) {
            lws3_reader_c reader(file);
            reader.Read(&scene, nullptr);
        } else {
            lws1_reader_c reader(file);
            reader.Read(&scene, nullptr);
        }
    } catch (const file_error_c&) {
    } catch (const std::logic_error&) {}
    return 0;
}
