#include "tools/data-kit/data_files.h"

#include "engine/scene.h"
#include "foundation/file_error.h"
#include "foundation/file_writer.h"
#include "foundation/memory_file.h"
#include "image/image.h"
#include "image/texture_image.h"
#include "level/chunk_saver.h"
#include "level/control_point_object.h"
#include "level/level_scene.h"
#include "level/walk_path.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <system_error>

std::vector<u8> DataBytes(const output_file_c& _file)
{
    return std::vector<u8>(_file.GetData(), _file.GetData() + _file.GetSize());
}

void AddDataText(data_files_t& _files, const std::string& _name, const std::string& _text)
{
    _files[_name] = std::vector<u8>(_text.begin(), _text.end());
}

void AddDataScene(data_files_t& _files, const std::string& _name, const scene_c& _scene)
{
    output_file_c out;
    _scene.Write(out);
    _files[_name] = DataBytes(out);
}

void AddDataLevelScene(data_files_t& _files, const std::string& _name, level_scene_c& _scene)
{
    // The saver wants a buffer even when it writes; nothing is read from it.
    u8 unused = 0;
    CChunkSaver saver;
    saver.OpenBuffer(CChunkSaver::mode_write, &unused, 1, _name.c_str());
    _scene.Serialize(saver, nullptr, false);
    _files[_name] = saver.GetWrittenBytes();
    saver.Close();
}

void AddDataPicture(data_files_t& _files, const std::string& _name, const image_c& _picture, int _type)
{
    output_file_c out;
    _picture.Save(out, _type);
    _files[_name] = DataBytes(out);
}

void AddDataTexture(data_files_t& _files, const std::string& _name, const texture_image_c& _texture)
{
    output_file_c out;
    _texture.SaveDds(out);
    _files[_name] = DataBytes(out);
}

std::unique_ptr<control_point_object_c> MakeControlPoint(const char* _name, const vec3_c& _position, f32 _size, i32 _id)
{
    auto point = std::make_unique<control_point_object_c>();
    point->name = _name;
    point->position = _position;
    point->size = _size;
    point->id = _id;
    return point;
}

std::unique_ptr<walk_path_c> MakeWalkPath(const char* _name, const std::vector<vec3_c>& _points)
{
    auto path = MakeStraightWalkPath(_name, _points);
    path->keyInterpolation = shape_linear;
    return path;
}

std::vector<std::string> ReadSceneTemplateNames(const std::string& _scene)
{
    std::vector<std::string> names;
    CChunkSaver saver;
    if (!saver.Open(CChunkSaver::mode_read, _scene.c_str()))
        return names;
    if (saver.Begin("scne") && saver.Begin("tpls")) {
        u32 count = 0;
        saver.LeafU32("nOft", count);
        // The stored count is checked against what is there.
        count = std::min(count, saver.CountItems("fnam"));
        for (u32 i = 0; i < count; ++i) {
            std::string name;
            saver.LeafStdString("fnam", name);
            names.push_back(name);
        }
    }
    saver.Close();
    return names;
}

std::string StagePath(const std::string& _root, const std::string& _name)
{
    std::string relative = _name;
    for (char& c : relative)
        if (c == '\\')
            c = '/';
    const std::filesystem::path path(relative);
    bool outside = relative.empty() || path.is_absolute() || path.has_root_name();
    for (const auto& part : path)
        if (part == "..")
            outside = true;
    if (outside)
        throw std::invalid_argument("The data file name \"" + _name + "\" does not lie inside the stage");
    return (std::filesystem::path(_root) / path).string();
}

void WriteDataFiles(const data_files_t& _files, const std::string& _root)
{
    for (const auto& [name, bytes] : _files) {
        const std::string path = StagePath(_root, name);
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
        if (error)
            throw file_error_c(path.c_str(), "Could not create the folder!");
        WriteDiskFileWhole(path.c_str(), bytes.data(), static_cast<u32>(bytes.size()));
    }
}
