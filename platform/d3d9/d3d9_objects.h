#pragma once
// The objects every backend makes alike: a vertex declaration keeps its
// elements, a shader keeps its tokens up to and including the end token,
// a vertex or index buffer keeps its bytes in memory with one lock at a
// time (a backend hears of each unlocked range through Unlocked).
#include "platform/d3d9/ref_counted.h"

#include <vector>

class d3d9_declaration_c : public ref_counted_c<IDirect3DVertexDeclaration9> {
public:
    explicit d3d9_declaration_c(std::vector<D3DVERTEXELEMENT9> _elements) : elements(std::move(_elements)) {}
    const D3DVERTEXELEMENT9* GetElements() override { return elements.data(); }

private:
    std::vector<D3DVERTEXELEMENT9> elements;
};

// A shader keeps its tokens up to and including the end token.
template <class Interface>
class d3d9_shader_c : public ref_counted_c<Interface> {
public:
    explicit d3d9_shader_c(std::vector<DWORD> _tokens) : tokens(std::move(_tokens)) {}
    const DWORD* GetFunction(UINT* _token_count) override
    {
        if (_token_count != nullptr) {
            *_token_count = static_cast<UINT>(tokens.size());
        }
        return tokens.data();
    }

private:
    std::vector<DWORD> tokens;
};

template <class Interface>
class d3d9_buffer_c : public ref_counted_c<Interface> {
public:
    explicit d3d9_buffer_c(UINT _length) : bytes(_length) {}

    // _size 0 maps from _offset to the end.
    HRESULT Lock(UINT _offset, UINT _size, void** _data, DWORD) override
    {
        const u64 end = _size == 0 ? bytes.size() : u64{_offset} + _size;
        if (locked || _data == nullptr || end > bytes.size() || _offset > bytes.size()) {
            return D3DERR_INVALIDCALL;
        }
        locked = true;
        lockStart = _offset;
        lockEnd = end;
        *_data = bytes.data() + _offset;
        return D3D_OK;
    }
    HRESULT Unlock() override
    {
        if (!locked) {
            return D3DERR_INVALIDCALL;
        }
        locked = false;
        Unlocked(lockStart, lockEnd);
        return D3D_OK;
    }
    UINT GetLength() override { return static_cast<UINT>(bytes.size()); }

    const std::vector<u8>& GetBytes() const { return bytes; }

protected:
    virtual void Unlocked(u64, u64) {}

    bool locked = false;
    u64 lockStart = 0;
    u64 lockEnd = 0;
    std::vector<u8> bytes;
};
