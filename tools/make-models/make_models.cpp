#include "tools/make-models/make_models.h"

void MakeModels(renderer_c* _renderer)
{
    MakePlanes(_renderer);
    MakeGroundTargets(_renderer);
    MakeAirships(_renderer);
    MakeGroundScenery(_renderer);
    MakeProjectilesAndEffects(_renderer);
    MakeHud(_renderer);
    MakeSounds();
}
