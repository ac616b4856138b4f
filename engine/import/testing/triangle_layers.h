#pragma once
// An LWO2 object file of one triangle per layer, the layers named in order.
#include <vector>

#include "foundation/types.h"

std::vector<u8> TriangleLayers(const std::vector<const char*>& _layerNames);
