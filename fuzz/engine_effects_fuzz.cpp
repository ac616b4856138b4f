// Feeds arbitrary bytes to the object loader with the effect readers
// installed (sprites, animated sprites, lens flares, emitters, trails), then
// runs what it read for a few frames, clones it and writes it back. Broken
// data must end in file_error_c (or list_error_c for bad links), never in a
// crash, a hang or a huge allocation.
#include "engine/camera.h"
#include "engine/effect_readers.h"
#include "engine/list_error.h"
#include "engine/null_object.h"
#include "engine/null_renderer.h"
#include "engine/object_format.h"
#include "foundation/file_error.h"
#include "foundation/memory_file.h"

#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 0x100000)
        return 0;
    static const bool registered = (RegisterEffectReaders(), true);
    (void)registered;
    null_renderer_c renderer;
    camera_c camera("fuzz");
    camera.position = vec3_c(0, 0, -20);
    camera.SetProjection(1.0f, 1000.0f);
    camera.UpdateTransform(nullptr);
    input_file_c in(data, static_cast<u32>(size));
    try {
        for (int objects = 0; objects < 16 && !in.IsAtEnd(); ++objects) {
            const u32 before = in.GetPosition();
            std::unique_ptr<null_object_c> object(LoadObject(in, &renderer, false));
            if (!object) {
                if (in.GetPosition() == before)
                    break;
                continue;
            }
            object_list_t pass0;
            object_list_t pass1;
            for (float time : {0.0f, 0.25f, 0.1f, 3.0f}) {
                object->Animate(time);
                object->UpdateTransform(nullptr);
                object->Cull(pass0, pass1, nullptr, &camera, 0, 0);
            }
            std::unique_ptr<null_object_c> copy(object->Clone());
            output_file_c out;
            copy->Write(out);
            input_file_c again(out.GetData(), out.GetSize());
            std::unique_ptr<null_object_c> reread(LoadObject(again, &renderer, false));
            if (!reread)
                __builtin_trap();
        }
    } catch (const file_error_c&) {
    } catch (const list_error_c&) {}
    return 0;
}
