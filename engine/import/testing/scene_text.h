#pragma once
// A scene text held in memory with a recording renderer and an empty scene,
// read by the scene reader of the test's choice.
#include <string>

#include "engine/scene.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/memory_file.h"

template <class Reader>
struct scene_text_c {
    explicit scene_text_c(const std::string& _text)
        : text(_text), file(text.data(), static_cast<u32>(text.size())), scene("level", &renderer)
    {}
    void Read()
    {
        Reader reader(file);
        reader.Read(&scene, &renderer);
    }
    std::string text;
    input_file_c file;
    recording_renderer_c renderer;
    scene_c scene;
};
