#pragma once
// The constant-table comment of a shader token stream: a comment token
// (0xFFFE, its length in tokens in bits 16-30), the four characters "CTAB",
// then a 28-byte header {size, creator offset, version, constant count,
// constant list offset, flags, target offset}, 20-byte constant records
// {name offset, register set u16, register index u16, register count u16,
// reserved u16, type offset, default value offset} and 16-byte type
// records {class, type, rows, columns, elements, members (u16 each),
// member offset}. Offsets count bytes from the start of the header; texts
// are NUL-terminated. Our shader assembler writes the comment with
// BuildConstantTableComment and the queries of d3dx9_shader.h read it with
// ReadConstantTable, so the layout is decided here only.
#include "platform/d3d9/d3d9_types.h"

#include <optional>
#include <string>
#include <vector>

enum D3DXREGISTER_SET : u16 { D3DXRS_BOOL = 0, D3DXRS_INT4 = 1, D3DXRS_FLOAT4 = 2, D3DXRS_SAMPLER = 3 };
enum D3DXPARAMETER_CLASS : u16 { D3DXPC_SCALAR = 0, D3DXPC_VECTOR = 1, D3DXPC_MATRIX_ROWS = 2, D3DXPC_OBJECT = 4 };
enum D3DXPARAMETER_TYPE : u16 { D3DXPT_FLOAT = 3, D3DXPT_SAMPLER2D = 12 };

struct d3dx_constant_s {
    std::string name;
    D3DXREGISTER_SET registerSet = D3DXRS_FLOAT4;
    u16 registerIndex = 0;
    u16 registerCount = 1;
    D3DXPARAMETER_CLASS parameterClass = D3DXPC_VECTOR;
    D3DXPARAMETER_TYPE type = D3DXPT_FLOAT;
    u16 rows = 1;
    u16 columns = 4;
    bool operator==(const d3dx_constant_s&) const = default;
};

struct d3dx_constant_table_s {
    DWORD version = 0;
    std::string creator;
    std::string target;
    std::vector<d3dx_constant_s> constants;
    // Where each constant's name stands in the token stream, in bytes from
    // its start; filled by ReadConstantTable.
    std::vector<u64> nameOffsets;
};

constexpr DWORD d3dx_ctab_tag = MAKEFOURCC('C', 'T', 'A', 'B');

// The whole comment, its comment token first.
std::vector<DWORD> BuildConstantTableComment(const d3dx_constant_table_s& _table);

// The table of the first constant-table comment of a token stream of at
// most _token_count tokens; an empty table with the stream's version when
// there is none; nothing when the stream or the comment is damaged (no
// version token, no end token, an offset, count or text outside the
// comment).
std::optional<d3dx_constant_table_s> ReadConstantTable(const DWORD* _tokens, u64 _token_count);
