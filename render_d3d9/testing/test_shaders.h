#pragma once
// Small shader token streams for the renderer's tests: a version token,
// a constant-table comment with the given names, one mov and the end
// token. Enough for the device to make a shader and for the constant
// table and sampler queries to answer.
#include "platform/d3dx9/constant_table_format.h"
#include "render_d3d9/shader_set.h"

#include <vector>

std::vector<DWORD> TestShader(DWORD _version, const std::vector<d3dx_constant_s>& _constants, bool _with_table = true);

// A set with the water row in both versions, the particle row without a
// table, a shadow row and the glow pixel shader, kept alive by the holder.
struct test_shader_set_s {
    std::vector<std::vector<DWORD>> blobs;
    d3d_shader_set_s set;
};
test_shader_set_s MakeTestShaderSet();
