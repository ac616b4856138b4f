#pragma once
// An LWO2 object file of one triangle per layer, the layers named in order;
// each layer has the morph maps named in _morphNames, each raising the
// triangle's third point by 1.
#include <vector>

#include "foundation/types.h"

std::vector<u8> TriangleLayers(const std::vector<const char*>& _layerNames,
                               const std::vector<const char*>& _morphNames = {});
