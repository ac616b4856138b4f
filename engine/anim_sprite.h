#pragma once
// anim_sprite_c: a sprite whose texture is a timed sequence of images
// (explosions, flames, flip-book effects). It keeps the sprite's square,
// billboard, culling and bounds; its own frame rate turns the local time
// into a frame position, from which the renderer asks the sequence map for
// the image. "ANIM" chunk, version 4; the alpha threshold is not stored.
#include "engine/sprite.h"

#include <vector>

// Flag word bits of the class.
inline constexpr u32 anim_sprite_filtering = 0x10000;

class anim_sprite_c : public sprite_c {
public:
    static constexpr u32 version = 4;

    // No map, 30 frames per second, frame position 0, filtering on.
    anim_sprite_c(const char* _name, renderer_c* _renderer);
    anim_sprite_c(const anim_sprite_c& _other) = default;

    null_object_c* Clone() const override;
    void Write(output_file_c& _file) const override;
    // After the object keywords: "MapList" (with "OFFSET", "FPS", "LOOPING"
    // or "LOOP", "BIDIRECTIONAL" or "BIDI"), "Additive", "AlphaBlending",
    // "AlphaThreshold", "Filtering". "Map" is not taken.
    bool SetParameter(const command_c& _command) override;
    void Render(int _pass) override;
    // Frame position := local time x frame rate; returns the local time.
    f32 Animate(f32 _time) override;

    // Replaces the map by a sequence of the images (one frame per unit of
    // frame position; none for an empty list) and sets the frame rate.
    void SetMapSequence(const std::vector<string_c>& _paths, i32 _offset, f32 _rate, bool _loop, bool _bidirectional);
    f32 GetFrameRate() const { return frameRate; }
    f32 GetFramePosition() const { return framePosition; }

    // "ANIM" chunk, or null (nothing consumed) for another tag; another
    // version skips the chunk and gives null.
    static anim_sprite_c* Read(input_file_c& _file, renderer_c* _renderer);

private:
    f32 frameRate = 30.0f;
    f32 framePosition = 0.0f;
};
