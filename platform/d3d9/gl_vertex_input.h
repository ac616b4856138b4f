#pragma once
// Vertex input of a draw: the elements it reads (the bound declaration, or
// the FVF turned into one: position XYZ or pre-transformed XYZRHW, normal,
// diffuse, specular, two-component texture coordinates) and how OpenGL
// reads each of them (D3DCOLOR as normalized B, G, R, A bytes, UBYTE4 as
// four unsigned bytes).
#include "platform/d3d9/gl_api.h"
#include "platform/d3d9/gl_fixed_function.h"

#include <vector>

struct gl_vertex_elements_s {
    std::vector<D3DVERTEXELEMENT9> elements;
    bool pretransformed = false;
};

// The elements of an FVF code, all on stream 0.
gl_vertex_elements_s GlFvfElements(DWORD _fvf);

// The elements a draw reads from the bound declaration or FVF.
gl_vertex_elements_s GlDrawElements(const d3d9_device_state_c& _state);

// Where a stream's vertices come from: a buffer name and the byte offset
// of the draw's first vertex in it.
struct gl_stream_source_s {
    GLuint buffer = 0;
    u64 offset = 0;
    u32 stride = 0;
};

// Points the bound vertex array's attributes at the streams and turns off
// the others; gives the layout the programs are chosen by.
gl_vertex_layout_s GlBindVertexInput(const gl_api_s& _gl, const gl_vertex_elements_s& _elements,
                                     const gl_stream_source_s* _streams, u32 _stream_count);
