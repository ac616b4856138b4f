#include "platform/d3dx9/d3dx9_shader.h"
#include "platform/d3d9/ref_counted.h"
#include "platform/d3d9/shader_tokens.h"

#include <algorithm>
#include <utility>

namespace {

// Shader streams carry no length; this bounds the walk.
constexpr u64 token_limit = 1u << 16;

d3dx_fault_hook_t& FaultHook()
{
    static d3dx_fault_hook_t hook;
    return hook;
}

class constant_table_c : public ref_counted_c<ID3DXConstantTable> {
public:
    explicit constant_table_c(d3dx_constant_table_s _table) : table(std::move(_table)) {}

    DWORD GetVersion() override { return table.version; }
    UINT GetConstantCount() override { return static_cast<UINT>(table.constants.size()); }
    D3DXHANDLE GetConstantByName(D3DXHANDLE _parent, const char* _name) override
    {
        if (_parent != nullptr || _name == nullptr) {
            return nullptr;
        }
        for (const d3dx_constant_s& constant : table.constants) {
            if (constant.name == _name) {
                return constant.name.c_str();
            }
        }
        return nullptr;
    }
    HRESULT GetConstantDesc(D3DXHANDLE _constant, D3DXCONSTANT_DESC* _desc, UINT* _count) override
    {
        for (const d3dx_constant_s& constant : table.constants) {
            if (constant.name.c_str() != _constant) {
                continue;
            }
            if (_desc != nullptr) {
                _desc->Name = constant.name.c_str();
                _desc->RegisterSet = constant.registerSet;
                _desc->RegisterIndex = constant.registerIndex;
                _desc->RegisterCount = constant.registerCount;
                _desc->Class = constant.parameterClass;
                _desc->Type = constant.type;
                _desc->Rows = constant.rows;
                _desc->Columns = constant.columns;
            }
            if (_count != nullptr) {
                *_count = 1;
            }
            return D3D_OK;
        }
        return D3DERR_INVALIDCALL;
    }

private:
    d3dx_constant_table_s table;
};

}

void SetD3DXFaultHook(d3dx_fault_hook_t _hook)
{
    FaultHook() = std::move(_hook);
}

HRESULT D3DXFault(const char* _function)
{
    return FaultHook() ? FaultHook()(_function) : D3D_OK;
}

HRESULT D3DXGetShaderConstantTable(const DWORD* _function, ID3DXConstantTable** _table)
{
    const HRESULT fault = D3DXFault("D3DXGetShaderConstantTable");
    if (FAILED(fault)) {
        return fault;
    }
    if (_table == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    std::optional<d3dx_constant_table_s> table = ReadConstantTable(_function, token_limit);
    if (!table) {
        return D3DERR_INVALIDCALL;
    }
    *_table = new constant_table_c(std::move(*table));
    return D3D_OK;
}

HRESULT D3DXGetShaderSamplers(const DWORD* _function, const char** _samplers, UINT* _count)
{
    const HRESULT fault = D3DXFault("D3DXGetShaderSamplers");
    if (FAILED(fault)) {
        return fault;
    }
    const u64 count = ShaderTokenCount(_function, token_limit);
    std::optional<d3dx_constant_table_s> table = ReadConstantTable(_function, count);
    if (!table || _count == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    constexpr u32 sampler_limit = 16;
    const char* names[sampler_limit] = {};
    UINT used = 0;
    for (u64 i = 0; i < table->constants.size(); ++i) {
        const d3dx_constant_s& constant = table->constants[i];
        if (constant.registerSet != D3DXRS_SAMPLER || constant.registerIndex >= sampler_limit) {
            continue;
        }
        // The stream's own text, so that the name lives as long as it.
        names[constant.registerIndex] = reinterpret_cast<const char*>(_function) + table->nameOffsets[i];
        used = std::max<UINT>(used, constant.registerIndex + 1u);
    }
    if (_samplers != nullptr) {
        for (UINT i = 0; i < used; ++i) {
            _samplers[i] = names[i];
        }
    }
    *_count = used;
    return D3D_OK;
}

DWORD D3DXGetShaderVersion(const DWORD* _function)
{
    return _function == nullptr ? 0 : _function[0];
}
