#include "tools/make-data/make_data.h"

#include "engine/null_renderer.h"
#include "tools/make-data/bindings.h"
#include "tools/make-data/career_layout.h"
#include "tools/make-data/landscape.h"
#include "tools/make-data/mission_layout.h"
#include "tools/make-data/scenery.h"

void MakeDataSet(data_files_t& _files)
{
    null_renderer_c renderer;
    const landscape_c landscape;
    landscape.AddTerrain(_files, &renderer);
    AddSkyBox(_files);
    AddLevelLights(_files, &renderer);
    AddFadeScene(_files, &renderer);
    AddLoadingScreen(_files, &renderer);
    AddGlowScene(_files, &renderer);
    AddPlanePreviewLights(_files, &renderer);
    AddFirstTraining(_files, landscape, &renderer);
    AddSecondTraining(_files, landscape, &renderer);
    AddHomeField(_files, landscape);
    AddCareerEscort(_files, landscape, &renderer);
    AddCareerConvoy(_files, landscape, &renderer);
    AddCareerDogfight(_files, landscape, &renderer);
    AddMultiplayerMeadow(_files, landscape, &renderer);
    AddDefaultBindings(_files);
}
