#pragma once
// Loading a scene by file name. The formats are tried in a fixed order: the
// importers (LightWave scenes of version 3 and 1, 3DS-MAX ASCII exports,
// binary 3DS files), each installed at start-up with RegisterSceneImporter,
// then the engine's own "SCNE" chunk.
#include "foundation/types.h"

class input_file_c;
class renderer_c;
class scene_c;

// Slots of the importers, in the order they are tried.
enum scene_importer_e : u32 {
    importer_lws3,
    importer_lws1,
    importer_ase,
    importer_3ds,
    scene_importer_count,
};

// Returns false, consuming nothing, when the stream is not its format;
// otherwise fills _scene (named after the file) and returns true. Broken
// structure throws file_error_c with the file's name.
using scene_importer_f = bool (*)(input_file_c& _file, scene_c& _scene);

// Installs (or, with null, removes) the importer of a slot.
void RegisterSceneImporter(scene_importer_e _slot, scene_importer_f _importer);

// The scene an importer or the "SCNE" reader makes of the stream, or null.
scene_c* ReadScene(input_file_c& _file, renderer_c* _renderer);
// Reads the file whole; throws file_error_c(name, "Unknown file format!")
// when nothing accepts it.
scene_c* LoadScene(const char* _file_name, renderer_c* _renderer);
