#pragma once
// options_c: the user's options, kept as the 40-byte binary value "OPTIONS"
// under the program's registry key: ten little-endian words, in the order of
// the fields below. A value of any other size is not ours: every field then
// takes its default. Save always writes all 40 bytes.
//
// Loaded values are brought into range, so a damaged or hand-edited value
// cannot reach the renderer or the input layer: the five sliders into 0..1
// (a value that is not a number takes its default), force feedback to 0 or 1,
// a display size that is not positive to the desktop's, and a colour depth
// other than 16 or 32 to 32. `reserved` is kept as stored.
#include "engine/display_mode.h"
#include <bit>

#include "foundation/types.h"

static_assert(std::endian::native == std::endian::little, "the stored records are little-endian");

// The ten stored words, in order.
struct options_record_s {
    f32 music_volume;
    f32 sound_volume;
    f32 mouse_speed;
    f32 gamma;
    f32 graphic_detail;
    u32 reserved;
    // Force feedback on (1) or off (0).
    i32 FFire;
    i32 width;
    i32 height;
    i32 bpp;
};
static_assert(sizeof(options_record_s) == 40);

class application_c;

class options_c : public options_record_s {
public:
    static constexpr u32 kRecordSize = 40;

    // Defaults, with a desktop size of 0 until one is set.
    explicit options_c(application_c* _application = nullptr) : application(_application) { SetDefaults(); }

    // The desktop size, which the display-size defaults take.
    void SetDesktopSize(i32 _width, i32 _height);
    // Every field to its default.
    void SetDefaults();
    // Reads "OPTIONS"; defaults when it is missing or not 40 bytes.
    void Load();
    // Writes "OPTIONS"; false when the settings could not be written.
    bool Save() const;

    // The 40 bytes as stored, and back (with the range checks of Load); a
    // size other than 40 gives the defaults.
    void ToRecord(u8 (&_record)[kRecordSize]) const;
    void FromRecord(const u8* _record, u32 _size);

    // The renderer's gamma: gamma x 1.5 + 0.5 (1.0 at the default).
    f32 GetRendererGamma() const { return gamma * 1.5f + 0.5f; }
    // The input layer's mouse divisor: (1 - 2 x speed) x 800 + 950.
    f32 GetMouseSensitivity() const { return (1.0f - 2.0f * mouse_speed) * 800.0f + 950.0f; }
    // {width, height, bpp, 0}.
    display_mode_s GetDisplayMode() const;
    // The desktop size at 32 bits.
    display_mode_s GetDesktopMode() const;

    application_c* GetApplication() const { return application; }

private:
    // Brings every field into its range.
    void Clamp();

    application_c* application;
    i32 desktop_width = 0;
    i32 desktop_height = 0;
};
