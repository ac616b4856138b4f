#pragma once
// gl_format_s: how a Direct3D format is stored in an OpenGL texture. Most
// formats upload their locked bytes unchanged, read with a matching
// format, type and component swizzle (X formats read alpha as one, L8
// replicates, A8 keeps alpha only); DXT1 to DXT5 go through S3TC; the few
// byte layouts OpenGL has no match for (R3G3B2, A8R3G3B2, A4L4) are widened
// to A8R8G8B8 on upload. Palettized and mixed signed/unsigned formats are
// not offered: GlFormat gives null and CheckDeviceFormat refuses them.
#include "platform/d3d9/d3d9_types.h"

#include <GL/glcorearb.h>

#include <vector>

struct gl_format_s {
    GLenum internal = 0;
    GLenum format = 0;
    GLenum type = 0;
    bool compressed = false;
    // Widened to 32-bit B, G, R, A bytes before upload.
    bool widened = false;
    bool renderable = false;
    GLint swizzle[4] = {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA};
};

// The storage of a format, or null for one the backend does not offer.
const gl_format_s* GlFormat(D3DFORMAT _format);

// Widens _height rows of a widened format, _pitch bytes apart, to tightly
// packed B, G, R, A bytes.
std::vector<u8> GlWidenPixels(D3DFORMAT _format, const u8* _bytes, u64 _pitch, u32 _width, u32 _height);

// True for the depth and stencil formats a device can be made with.
bool GlDepthFormat(D3DFORMAT _format);
