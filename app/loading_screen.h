#pragma once
// loading_screen_c: a picture with a progress animation while a mission or a
// menu loads. The scene file brings the animation; the picture, one of a
// numbered set, becomes the scene's background: prefix + n + ".dds" with
// n = (GetTickCount() mod count) + 1, so two screens opened in the same
// millisecond with the same count show the same picture.
//
// The in-game state uses "data\common\loading\loading_" with 5 pictures and
// the scene "data\common\loading\loading.lws"; the menu screens the same
// with 3. Main thread only.
#include <memory>

#include "foundation/types.h"

class renderer_c;
class scene_c;

class loading_screen_c {
public:
    loading_screen_c();
    ~loading_screen_c();
    loading_screen_c(const loading_screen_c&) = delete;
    loading_screen_c& operator=(const loading_screen_c&) = delete;

    // Loads the scene for the renderer and sets the picture; a missing scene
    // or picture throws the file system's file_error_c. A count below 1
    // counts as 1.
    void Open(renderer_c* _renderer, const char* _prefix, i32 _count, const char* _scene_file);
    // One frame at progress 0..1 (clamped): the whole output cleared to
    // black, the scene animated at first + (last - first) x progress, drawn
    // and presented. Nothing without an open scene.
    void Draw(f32 _progress);
    // Deletes the scene.
    void Close();

    scene_c* GetScene() const { return scene.get(); }

private:
    renderer_c* renderer = nullptr;
    std::unique_ptr<scene_c> scene;
};
