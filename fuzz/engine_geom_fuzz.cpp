// Feeds arbitrary bytes to the geometry object and material readers. The
// first byte picks the reader and the layer; the rest is the stream. An
// object that loads is culled, drawn, ray-tested, given a shadow volume,
// written and read back, which must give the same bytes. Broken data must
// end in file_error_c, never in a crash, a hang or a huge allocation.
#include "engine/camera.h"
#include "engine/geom_object.h"
#include "engine/material.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/file_error.h"
#include "foundation/memory_file.h"

#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <vector>

// The recording renderer is a test helper outside the engine library.
#include "engine/testing/recording_renderer.cpp"

namespace {

// Textures that load nothing: the readers' own work is what is fuzzed.
class fuzz_renderer_c : public recording_renderer_c {
public:
    fuzz_renderer_c() : recording_renderer_c(320, 240) {}
    texture_c* CreateTexture(const char* _key, const texture_def_c& _definition) override
    {
        return new recording_texture_c(_key, _definition);
    }
};

template <class T>
std::vector<u8> Written(const T& _object)
{
    output_file_c out;
    _object.Write(out);
    return std::vector<u8>(out.GetData(), out.GetData() + out.GetSize());
}

void Exercise(geom_object_c& _object, fuzz_renderer_c& _renderer)
{
    camera_c camera("camera");
    camera.position = vec3_c(0, 0, -50);
    camera.UpdateTransform(nullptr);
    camera.SetProjection(1.0f, FLT_MAX);
    _object.SetFlags(object_shadow_casting);
    _object.UpdateTransform(nullptr);
    for (f32 time : {0.0f, 2.5f}) {
        _object.Animate(time);
        object_list_t pass0, pass1, shadows;
        if (_object.Cull(pass0, pass1, nullptr, &camera, 0, 0)) {
            _object.Render(0);
            _object.Render(1);
        }
        // Shadow volumes pair every edge; keep the time spent bounded.
        if (_object.GetPrimaryMesh() && _object.GetPrimaryMesh()->GetDefinition().GetVertexCount() < 20000)
            _object.CullShadow(shadows, &camera);
        _renderer.ClearCalls();
    }
    f32 distance;
    vec3_c normal;
    for (bool precise : {false, true})
        _object.RayTest(distance, normal, ray_c(vec3_c(0, 0, -50), vec3_c(0, 0, 100)), true, precise, FLT_MAX);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1 || size > 0x100000)
        return 0;
    fuzz_renderer_c renderer;
    input_file_c in(data + 1, static_cast<u32>(size - 1));
    try {
        if (data[0] & 0x80) {
            std::unique_ptr<material_c> material(material_c::Read(in, &renderer));
            if (!material)
                return 0;
            const std::vector<u8> bytes = Written(*material);
            input_file_c again(bytes.data(), static_cast<u32>(bytes.size()));
            std::unique_ptr<material_c> copy(material_c::Read(again, &renderer));
            if (!copy || Written(*copy) != bytes)
                std::abort();
            return 0;
        }
        std::unique_ptr<geom_object_c> object(geom_object_c::Read(in, &renderer, data[0] & 3));
        if (!object)
            return 0;
        Exercise(*object, renderer);
        const std::vector<u8> bytes = Written(*object);
        input_file_c again(bytes.data(), static_cast<u32>(bytes.size()));
        std::unique_ptr<geom_object_c> copy(geom_object_c::Read(again, &renderer, 0));
        if (!copy || Written(*copy) != bytes)
            std::abort();
    } catch (const file_error_c&) {
    } catch (const std::runtime_error& error) {
        // The device refuses geometry it cannot hold; any other failure is a
        // fault to be found.
        const std::string text = error.what();
        if (text != "Non integral geometry!" && text != "Maximum primitive count exceeded!" &&
            text != "Maximum vertex count exceeded!")
            throw;
    }
    return 0;
}
