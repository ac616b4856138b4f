#include "platform/d3d9/gl_vertex_input.h"

namespace {

void Add(gl_vertex_elements_s& _out, WORD& _offset, u8 _type, u8 _usage, u8 _index)
{
    _out.elements.push_back({0, _offset, _type, D3DDECLMETHOD_DEFAULT, _usage, _index});
    _offset = static_cast<WORD>(_offset + D3DDeclTypeSize(_type));
}

}

gl_vertex_elements_s GlFvfElements(DWORD _fvf)
{
    gl_vertex_elements_s out;
    WORD offset = 0;
    if ((_fvf & D3DFVF_XYZRHW) != 0) {
        out.pretransformed = true;
        Add(out, offset, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_POSITION, 0);
    } else if ((_fvf & D3DFVF_XYZ) != 0) {
        Add(out, offset, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION, 0);
    }
    if ((_fvf & D3DFVF_NORMAL) != 0) {
        Add(out, offset, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 0);
    }
    if ((_fvf & D3DFVF_DIFFUSE) != 0) {
        Add(out, offset, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 0);
    }
    if ((_fvf & D3DFVF_SPECULAR) != 0) {
        Add(out, offset, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 1);
    }
    const u32 sets = (_fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    for (u32 set = 0; set < sets && set < 8; ++set) {
        Add(out, offset, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD, static_cast<u8>(set));
    }
    out.elements.push_back(D3DDECL_END);
    return out;
}

gl_vertex_elements_s GlDrawElements(const d3d9_device_state_c& _state)
{
    if (_state.declaration == nullptr) {
        return GlFvfElements(_state.fvf);
    }
    gl_vertex_elements_s out;
    for (const D3DVERTEXELEMENT9* e = _state.declaration->GetElements(); !(*e == D3DDECL_END); ++e) {
        out.elements.push_back(*e);
    }
    out.elements.push_back(D3DDECL_END);
    return out;
}

gl_vertex_layout_s GlBindVertexInput(const gl_api_s& _gl, const gl_vertex_elements_s& _elements,
                                     const gl_stream_source_s* _streams, u32 _stream_count)
{
    gl_vertex_layout_s layout;
    layout.pretransformed = _elements.pretransformed;
    for (const D3DVERTEXELEMENT9& e : _elements.elements) {
        if (e == D3DDECL_END) {
            break;
        }
        const i32 slot = GlAttributeSlot(e.Usage, e.UsageIndex);
        if (slot < 0 || e.Stream >= _stream_count || _streams[e.Stream].buffer == 0 ||
            (layout.present & (1u << slot)) != 0) {
            continue;
        }
        const gl_stream_source_s& stream = _streams[e.Stream];
        const auto* at = reinterpret_cast<const void*>(static_cast<uintptr_t>(stream.offset + e.Offset));
        const auto index = static_cast<GLuint>(slot);
        _gl.BindBuffer(GL_ARRAY_BUFFER, stream.buffer);
        const auto stride = static_cast<GLsizei>(stream.stride);
        switch (e.Type) {
        case D3DDECLTYPE_D3DCOLOR:
            _gl.VertexAttribPointer(index, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, at);
            layout.components[slot] = 4;
            break;
        case D3DDECLTYPE_UBYTE4:
            _gl.VertexAttribPointer(index, 4, GL_UNSIGNED_BYTE, GL_FALSE, stride, at);
            layout.components[slot] = 4;
            break;
        default: {
            const GLint size = static_cast<GLint>(D3DDeclTypeSize(e.Type) / 4);
            if (size == 0) {
                continue;
            }
            _gl.VertexAttribPointer(index, size, GL_FLOAT, GL_FALSE, stride, at);
            layout.components[slot] = static_cast<u8>(size);
            break;
        }
        }
        _gl.EnableVertexAttribArray(index);
        layout.present |= 1u << slot;
    }
    for (u32 slot = 0; slot < gl_attr_count; ++slot) {
        if ((layout.present & (1u << slot)) == 0) {
            _gl.DisableVertexAttribArray(slot);
        }
    }
    return layout;
}
