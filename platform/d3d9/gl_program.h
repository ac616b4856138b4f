#pragma once
// gl_program_s: a linked pair of vertex and pixel programs with the
// locations the device sets before each draw: the constant arrays "vc",
// "pc" and "pf", the position "fixup" and the samplers "s0" to "s15" (bound once,
// to texture units of the same number). Linking a program the backend made
// itself cannot fail on a working driver, so a failure throws
// std::runtime_error with the driver's log.
#include "platform/d3d9/d3d9_types.h"
#include "platform/d3d9/gl_context.h"

#include <memory>
#include <string>

struct gl_program_s {
    std::shared_ptr<gl_name_c> program;
    GLint vc = -1;
    GLint pc = -1;
    GLint fixup = -1;
    GLint pf = -1;
    // Translated programs read the device's shader constants; generated
    // ones the constants gl_fixed_function.h lays out.
    bool vertexShader = false;
    bool pixelShader = false;
};

gl_program_s GlLinkProgram(const std::shared_ptr<gl_context_c>& _context, const std::string& _vertex,
                           const std::string& _pixel);
