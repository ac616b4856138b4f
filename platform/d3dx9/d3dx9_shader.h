#pragma once
// The shader queries of D3DX the renderer uses: the constant table of a
// token stream (name to register), the sampler names by sampler register,
// and the version. They read the constant-table comment our assembler
// writes (constant_table_format.h).
//
// A stream without a constant-table comment gives an empty table that
// carries the stream's version; a damaged stream or comment fails.
// SetD3DXFaultHook lets tests make any of these queries (and the font
// creation) fail: the hook is asked with the function's name and its
// failed result is returned.
#include "platform/d3d9/d3d9.h"
#include "platform/d3dx9/constant_table_format.h"

#include <functional>

using D3DXHANDLE = const char*;

struct D3DXCONSTANT_DESC {
    const char* Name = nullptr;
    D3DXREGISTER_SET RegisterSet = D3DXRS_FLOAT4;
    UINT RegisterIndex = 0;
    UINT RegisterCount = 0;
    D3DXPARAMETER_CLASS Class = D3DXPC_VECTOR;
    D3DXPARAMETER_TYPE Type = D3DXPT_FLOAT;
    UINT Rows = 0;
    UINT Columns = 0;
};

class ID3DXConstantTable : public IUnknown {
public:
    virtual DWORD GetVersion() = 0;
    virtual UINT GetConstantCount() = 0;
    // A handle for a top-level constant of that exact name (the parent
    // must be null), or null.
    virtual D3DXHANDLE GetConstantByName(D3DXHANDLE _parent, const char* _name) = 0;
    virtual HRESULT GetConstantDesc(D3DXHANDLE _constant, D3DXCONSTANT_DESC* _desc, UINT* _count) = 0;
};

HRESULT D3DXGetShaderConstantTable(const DWORD* _function, ID3DXConstantTable** _table);
// Fills _samplers[register] with the name of the sampler bound to each
// register up to the highest used (gaps null) and _count with that many;
// the names live as long as the token stream. _samplers holds 16.
HRESULT D3DXGetShaderSamplers(const DWORD* _function, const char** _samplers, UINT* _count);
DWORD D3DXGetShaderVersion(const DWORD* _function);

using d3dx_fault_hook_t = std::function<HRESULT(const char* _function)>;
void SetD3DXFaultHook(d3dx_fault_hook_t _hook);
// The hook's answer, D3D_OK without one.
HRESULT D3DXFault(const char* _function);
