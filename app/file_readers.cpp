#include "app/file_readers.h"

#include "engine/effect_readers.h"
#include "engine/forest.h"
#include "engine/import/scene_importers.h"
#include "engine/sky_box.h"
#include "engine/terrain.h"
#include "engine/water.h"

void RegisterFileReaders()
{
    RegisterSceneImporters();
    RegisterEffectReaders();
    sky_box_c::RegisterReader();
    terrain_c::RegisterReader();
    water_c::RegisterReader();
    forest_c::RegisterReader();
}
