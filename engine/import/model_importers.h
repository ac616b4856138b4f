#pragma once
// The 3DS and ASE readers as the scene loader sees them: meshes become mesh
// objects of the scene with copies of their materials, maps placed as the
// files say.
class input_file_c;
class scene_c;

// Each returns false, consuming nothing, for a file of another kind; broken
// files throw file_error_c with the file name.
bool Import3dsScene(input_file_c& _file, scene_c& _scene);
bool ImportAseScene(input_file_c& _file, scene_c& _scene);
