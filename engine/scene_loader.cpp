#include "engine/scene_loader.h"

#include "engine/object_format.h"
#include "engine/scene.h"
#include "foundation/file_error.h"
#include "foundation/memory_file.h"

#include <array>
#include <memory>

namespace {

std::array<scene_importer_f, scene_importer_count>& Importers()
{
    static std::array<scene_importer_f, scene_importer_count> importers{};
    return importers;
}

} // namespace

void RegisterSceneImporter(scene_importer_e _slot, scene_importer_f _importer)
{
    if (_slot < scene_importer_count)
        Importers()[_slot] = _importer;
}

scene_c* ReadScene(input_file_c& _file, renderer_c* _renderer)
{
    for (scene_importer_f importer : Importers()) {
        if (!importer)
            continue;
        auto scene = std::make_unique<scene_c>(FileTitle(_file.GetName()), _renderer);
        if (importer(_file, *scene))
            return scene.release();
    }
    return scene_c::Read(_file, _renderer);
}

scene_c* LoadScene(const char* _file_name, renderer_c* _renderer)
{
    input_file_c file(_file_name);
    scene_c* scene = ReadScene(file, _renderer);
    if (!scene)
        throw file_error_c(file.GetName(), "Unknown file format!");
    return scene;
}
