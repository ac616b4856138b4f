#include "engine/import/scene_importers.h"

#include "engine/import/lws1_reader.h"
#include "engine/import/lws3_reader.h"
#include "engine/import/model_importers.h"
#include "engine/import/object_importers.h"
#include "engine/scene_loader.h"

void RegisterSceneImporters()
{
    RegisterSceneImporter(importer_lws3, ImportLws3Scene);
    RegisterSceneImporter(importer_lws1, ImportLws1Scene);
    RegisterSceneImporter(importer_ase, ImportAseScene);
    RegisterSceneImporter(importer_3ds, Import3dsScene);
    RegisterObjectImporters();
}
