#pragma once
// flare_def_c: the 38 words that describe a generated lens-flare picture
// (glow, halo, disc, ring, two star filters and random streaks). Sizes are
// fractions of the picture's radius; intensities multiply 255. The scene
// importer fills it from a light's lens-flare settings, flare textures carry
// it, and image_c::MakeFlare paints it.
#include "foundation/types.h"

class input_file_c;
class output_file_c;

class flare_def_c {
public:
    // The defaults: every colour black (so nothing is drawn), factors 1.
    flare_def_c();

    f32 color[3]; // star filters and streaks; the inner hue of the glow
    f32 intensity;
    f32 size;
    f32 glowColor[3];
    f32 glowSize;
    f32 glowFalloff; // exponent, at least 1 is used
    f32 haloColor[3];
    f32 haloSize;
    f32 haloFalloff; // exponent, at least 1 is used
    f32 ringColor[3];
    f32 ringSize;
    f32 ringWidth;
    f32 discColor[3];
    f32 discSize;
    f32 discEdge; // width of the soft edge; below 0 counts as 0
    f32 rayAngle; // radians, counter-clockwise from +x
    i32 rayCount;
    f32 rayLength;
    f32 rayWidth;
    f32 rayIntensity;
    i32 ray2Count;
    f32 ray2Length;
    f32 ray2Width;
    f32 ray2Intensity;
    i32 streakCount;
    f32 streakLength;
    f32 streakWidth;
    f32 streakIntensity;
};

static_assert(sizeof(flare_def_c) == 38 * 4, "flare_def_c is 38 words");

// Reads or writes the 38 words in order, each a 4-aligned u32 (floats as their
// bits). A read that runs out of data throws file_error_c "Unexpected end of file!".
void ReadFlareDef(input_file_c& file, flare_def_c& def);
void WriteFlareDef(output_file_c& file, const flare_def_c& def);

// h in degrees, s and v 0..1; h = -1 for a grey (s = 0).
void RgbToHsv(f32 r, f32 g, f32 b, f32& h, f32& s, f32& v);
void HsvToRgb(f32 h, f32 s, f32 v, f32& r, f32& g, f32& b);
