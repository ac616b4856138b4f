#pragma once
// The blending of the screen overlays: the map overlays and the colour fill
// over the whole viewport. Blending is on when the overlay adds, multiplies
// or blends by its alpha; the source factor is DESTCOLOR when multiplying,
// else SRCALPHA when blending, else ONE; the destination factor is ONE when
// adding, else INVSRCALPHA when blending, else ZERO.
#include "platform/d3d9/d3d9.h"

struct d3d_overlay_blend_s {
    bool enable = false;
    D3DBLEND source = D3DBLEND_ONE;
    D3DBLEND dest = D3DBLEND_ZERO;
    bool operator==(const d3d_overlay_blend_s&) const = default;
};

d3d_overlay_blend_s OverlayBlend(bool _additive, bool _multiply, bool _blend);
