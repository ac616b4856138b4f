#pragma once
// The LightWave object readers as the mesh-object and material loaders see
// them: an LWO2 layer or an LWOB object becomes meshes, materials and a
// pivot of a geom_object_c, an LWOB surface file a material_c.
#include "foundation/types.h"

class geom_object_c;
class input_file_c;
class material_c;
class renderer_c;
class string_c;

// Each returns false, consuming nothing, for a file of another kind; broken
// files throw file_error_c with the file name. Warnings go to the object's
// renderer as "[file] message".
bool ReadLwo2Layer(input_file_c& _file, geom_object_c& _object, u32 _layer);
bool ReadLwo2LayerName(input_file_c& _file, u32 _layer, string_c& _name);
// LWOB objects have layer 0 only.
bool ReadLwobObject(input_file_c& _file, geom_object_c& _object, u32 _layer);
bool ReadLwobLayerName(input_file_c& _file, u32 _layer, string_c& _name);
// A material from the last surface of an LWOB file, named after it
// ("(Unnamed)" without one), or null for another kind of file.
material_c* ReadLwobMaterial(input_file_c& _file, renderer_c* _renderer);

// Installs the readers above in the mesh-object and material loaders.
void RegisterObjectImporters();
