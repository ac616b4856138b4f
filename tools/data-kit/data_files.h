#pragma once
// The files of a data set, held in memory under the names the game looks
// them up by ("data\common\planes.txt": backslashes, the archive's case),
// each made by the writer of its own format. A staging folder holds them on
// disk laid out by those names: the entry "data\game\hud\digits.op" is the
// file <root>/data/game/hud/digits.op, so packing the folder gives the
// entries back.
#include "foundation/types.h"
#include "foundation/vector_math.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class control_point_object_c;
class walk_path_c;
class image_c;
class level_scene_c;
class output_file_c;
class scene_c;
class texture_image_c;

using data_files_t = std::map<std::string, std::vector<u8>>;

// The bytes written so far.
std::vector<u8> DataBytes(const output_file_c& _file);

// Text as it is, no line ending added.
void AddDataText(data_files_t& _files, const std::string& _name, const std::string& _text);
// A scene in the engine's object format.
void AddDataScene(data_files_t& _files, const std::string& _name, const scene_c& _scene);
// A level scene file (templates, placed and level objects).
void AddDataLevelScene(data_files_t& _files, const std::string& _name, level_scene_c& _scene);
// A picture as BMP, PNG or JPEG (image_file_bmp, _png, _jpeg).
void AddDataPicture(data_files_t& _files, const std::string& _name, const image_c& _picture, int _type);
// A texture with its levels as a DDS file.
void AddDataTexture(data_files_t& _files, const std::string& _name, const texture_image_c& _texture);

// A spherical control point, for the level scenes of missions.
std::unique_ptr<control_point_object_c> MakeControlPoint(const char* _name, const vec3_c& _position, f32 _size,
                                                         i32 _id);
// A walk path through _points (world positions), straight from key to key.
std::unique_ptr<walk_path_c> MakeWalkPath(const char* _name, const std::vector<vec3_c>& _points);

// The template files a scene file names, in its order, read without
// loading them; none when the file cannot be read or has no templates.
std::vector<std::string> ReadSceneTemplateNames(const std::string& _scene);

// The folder path of an entry below _root: backslashes become '/'. Names
// that are empty, absolute, or step out of the root with ".." throw
// std::invalid_argument, so a bad name never writes outside the stage.
std::string StagePath(const std::string& _root, const std::string& _name);
// Stores every file below _root, creating folders, each file written whole
// or not at all. Failures throw file_error_c with the file's path.
void WriteDataFiles(const data_files_t& _files, const std::string& _root);
