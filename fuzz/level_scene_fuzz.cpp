// Reads arbitrary bytes as a level scene file (with shared and with separate
// templates) and as an object template. The file set holds one good
// template, "t.op", that scenes may name. Reading may refuse the data with
// file_error_c or "not loaded" (both runtime errors), but never crash; what was read must write.
#include "engine/geom_object.h"
#include "engine/null_renderer.h"
#include "foundation/file_system.h"
#include "level/chunk_saver.h"
#include "level/level_scene.h"

#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class fuzz_files_c : public file_system_c {
public:
    u32 GetSize(const char* _name) override
    {
        const auto found = files.find(_name);
        if (found == files.end())
            throw file_error_c(_name, "File does not exist!");
        return static_cast<u32>(found->second.size());
    }
    u32 Load(const char* _name, void* _buffer, u32 _size) override
    {
        const u32 size = GetSize(_name);
        if (size > _size)
            throw file_error_c(_name, "Out of buffer!");
        std::memcpy(_buffer, files[_name].data(), size);
        return size;
    }

    std::map<std::string, std::vector<u8>> files;
};

std::vector<u8> GoodTemplate(renderer_c* _renderer)
{
    object_template_c tmpl;
    for (const char* name : {"MainGroup", "Wreck"}) {
        auto group = std::make_unique<template_group_c>();
        group->name = name;
        group->hasGameObject = 1;
        group->ownedNode = std::make_unique<geom_object_c>(name, _renderer);
        group->node = group->ownedNode.get();
        tmpl.groups.push_back(std::move(group));
    }
    CChunkSaver saver;
    u8 unused = 0;
    saver.OpenBuffer(CChunkSaver::mode_write, &unused, 1);
    tmpl.Serialize(saver, _renderer);
    return saver.GetWrittenBytes();
}

template <class T>
void WriteBack(T& _object, renderer_c* _renderer)
{
    CChunkSaver saver;
    u8 unused = 0;
    saver.OpenBuffer(CChunkSaver::mode_write, &unused, 1);
    if constexpr (std::is_same_v<T, level_scene_c>)
        _object.Serialize(saver, _renderer, false);
    else
        _object.Serialize(saver, _renderer);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    if (size == 0 || size > 1u << 20)
        return 0;
    static null_renderer_c renderer;
    static fuzz_files_c files;
    if (files.files.empty())
        files.files["t.op"] = GoodTemplate(&renderer);
    std::vector<u8> bytes(data, data + size);
    for (bool separate : {false, true}) {
        level_scene_c scene;
        try {
            CChunkSaver saver;
            saver.OpenBuffer(CChunkSaver::mode_read, bytes.data(), static_cast<u32>(bytes.size()), "fuzz.sce");
            scene.Serialize(saver, &renderer, separate);
        } catch (const std::runtime_error&) {
            continue;
        }
        WriteBack(scene, &renderer);
    }
    object_template_c tmpl;
    try {
        CChunkSaver saver;
        saver.OpenBuffer(CChunkSaver::mode_read, bytes.data(), static_cast<u32>(bytes.size()), "fuzz.op");
        tmpl.Serialize(saver, &renderer);
    } catch (const std::runtime_error&) {
        return 0;
    }
    WriteBack(tmpl, &renderer);
    return 0;
}
