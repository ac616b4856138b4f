#include "engine/import/ase_keyword.h"

#include <array>
#include <bit>
#include <cstring>
#include <type_traits>

namespace {

struct keyword_text_c {
    std::string_view text;
    ase_keyword_e keyword;
};

constexpr keyword_text_c kKeywords[] = {
    {"*SCENE", ase_scene},
    {"*SCENE_BACKGROUND_STATIC", ase_scene_background_static},
    {"*SCENE_AMBIENT_STATIC", ase_scene_ambient_static},
    {"*SCENE_ENVMAP", ase_scene_envmap},
    {"*MATERIAL_LIST", ase_material_list},
    {"*MATERIAL_COUNT", ase_material_count},
    {"*MATERIAL", ase_material},
    {"*GEOMOBJECT", ase_geomobject},
    {"*CAMERAOBJECT", ase_cameraobject},
    {"*LIGHTOBJECT", ase_lightobject},
    {"*MAP_CLASS", ase_map_class},
    {"*MAP_AMOUNT", ase_map_amount},
    {"*BITMAP", ase_bitmap},
    {"*UVW_U_OFFSET", ase_uvw_u_offset},
    {"*UVW_V_OFFSET", ase_uvw_v_offset},
    {"*UVW_U_TILING", ase_uvw_u_tiling},
    {"*UVW_V_TILING", ase_uvw_v_tiling},
    {"*UVW_ANGLE", ase_uvw_angle},
    {"*BITMAP_FILTER", ase_bitmap_filter},
    {"*MAP_GENERIC", ase_map_generic},
    {"*MATERIAL_NAME", ase_material_name},
    {"*MATERIAL_DIFFUSE", ase_material_diffuse},
    {"*MATERIAL_SPECULAR", ase_material_specular},
    {"*MATERIAL_SHINE", ase_material_shine},
    {"*MATERIAL_SHINESTRENGTH", ase_material_shinestrength},
    {"*MATERIAL_TRANSPARENCY", ase_material_transparency},
    {"*MATERIAL_SHADING", ase_material_shading},
    {"*MATERIAL_SELFILLUM", ase_material_selfillum},
    {"*MATERIAL_TWOSIDED", ase_material_twosided},
    {"*MATERIAL_XP_TYPE", ase_material_xp_type},
    {"*MAP_DIFFUSE", ase_map_diffuse},
    {"*MAP_BUMP", ase_map_bump},
    {"*MAP_REFLECT", ase_map_reflect},
    {"*NUMSUBMTLS", ase_numsubmtls},
    {"*SUBMATERIAL", ase_submaterial},
    {"*NODE_NAME", ase_node_name},
    {"*NODE_TM", ase_node_tm},
    {"*TM_ROW0", ase_tm_row0},
    {"*TM_ROW1", ase_tm_row1},
    {"*TM_ROW2", ase_tm_row2},
    {"*TM_ROW3", ase_tm_row3},
    {"*TM_POS", ase_tm_pos},
    {"*TM_ROTAXIS", ase_tm_rotaxis},
    {"*TM_SCALE", ase_tm_scale},
    {"*TM_SCALEAXIS", ase_tm_scaleaxis},
    {"*TM_ROTANGLE", ase_tm_rotangle},
    {"*TM_SCALEAXISANG", ase_tm_scaleaxisang},
    {"*MESH", ase_mesh},
    {"*MESH_NUMVERTEX", ase_mesh_numvertex},
    {"*MESH_NUMFACES", ase_mesh_numfaces},
    {"*MESH_NUMTVERTEX", ase_mesh_numtvertex},
    {"*MESH_NUMCVERTEX", ase_mesh_numcvertex},
    {"*MESH_NUMTVFACES", ase_mesh_numtvfaces},
    {"*MESH_NUMCVFACES", ase_mesh_numcvfaces},
    {"*MESH_VERTEX_LIST", ase_mesh_vertex_list},
    {"*MESH_VERTEX", ase_mesh_vertex},
    {"*MESH_FACE_LIST", ase_mesh_face_list},
    {"*MESH_FACE", ase_mesh_face},
    {"*MESH_SMOOTHING", ase_mesh_smoothing},
    {"*MESH_MTLID", ase_mesh_mtlid},
    {"*MESH_TVERTLIST", ase_mesh_tvertlist},
    {"*MESH_TVERT", ase_mesh_tvert},
    {"*MESH_CVERTLIST", ase_mesh_cvertlist},
    {"*MESH_VERTCOL", ase_mesh_vertcol},
    {"*MESH_TFACELIST", ase_mesh_tfacelist},
    {"*MESH_TFACE", ase_mesh_tface},
    {"*MESH_CFACELIST", ase_mesh_cfacelist},
    {"*MESH_CFACE", ase_mesh_cface},
    {"*MESH_NORMALS", ase_mesh_normals},
    {"*MESH_FACENORMAL", ase_mesh_facenormal},
    {"*MESH_VERTEXNORMAL", ase_mesh_vertexnormal},
    {"*PROP_CASTSHADOW", ase_prop_castshadow},
    {"*PROP_RECVSHADOW", ase_prop_recvshadow},
    {"*WIREFRAME_COLOR", ase_wireframe_color},
    {"*MATERIAL_REF", ase_material_ref},
    {"*CAMERA_TYPE", ase_camera_type},
    {"*CAMERA_SETTINGS", ase_camera_settings},
    {"*CAMERA_FOV", ase_camera_fov},
    {"*LIGHT_TYPE", ase_light_type},
    {"*LIGHT_SHADOWS", ase_light_shadows},
    {"*LIGHT_USELIGHT", ase_light_uselight},
    {"*LIGHT_SETTINGS", ase_light_settings},
    {"*LIGHT_COLOR", ase_light_color},
    {"*LIGHT_INTENS", ase_light_intens},
    {"*LIGHT_HOTSPOT", ase_light_hotspot},
    {"*LIGHT_FALLOFF", ase_light_falloff},
};

constexpr u32 kSlotBits = 9;

// Four bytes from _at as a little-endian word, the way a load reads them.
constexpr u32 Bytes(std::string_view _word, size_t _at)
{
    if (!std::is_constant_evaluated()) {
        u32 value;
        std::memcpy(&value, _word.data() + _at, 4);
        return std::endian::native == std::endian::little ? value : __builtin_bswap32(value);
    }
    u32 value = 0;
    for (size_t i = 0; i < 4; ++i)
        value |= static_cast<u32>(static_cast<u8>(_word[_at + i])) << (8 * i);
    return value;
}

// Three overlapping spans of four bytes (after the star, at the end and in
// the middle) tell every keyword apart; the multipliers were searched for so
// that no two keywords share a slot, which MakeTable checks. Every keyword is
// at least five bytes long ("*MESH"); shorter words are never looked up.
constexpr u32 Slot(std::string_view _word)
{
    const size_t n = _word.size();
    return ((Bytes(_word, 1) * 0xca14615du) ^ (Bytes(_word, n - 4) * 0xce63b85bu) ^
            (Bytes(_word, n / 2 - 2) * 0xf3cdfc91u)) >>
           (32 - kSlotBits);
}

// Keyword positions in kKeywords plus one by slot, 0 for an empty slot.
constexpr std::array<u8, 1u << kSlotBits> MakeTable()
{
    std::array<u8, 1u << kSlotBits> table{};
    for (u32 k = 0; k < std::size(kKeywords); ++k) {
        const u32 slot = Slot(kKeywords[k].text);
        if (table[slot] != 0)
            throw "two keywords share a slot: search the multipliers again";
        table[slot] = static_cast<u8>(k + 1);
    }
    return table;
}

constexpr auto kTable = MakeTable();

template <typename Word>
Word Load(const char* _at)
{
    Word value;
    std::memcpy(&value, _at, sizeof value);
    return value;
}

// _a and _b hold the same _size bytes, 5 to 24 (the keywords' lengths),
// compared in a few overlapping loads instead of a call to memcmp.
bool SameBytes(const char* _a, const char* _b, size_t _size)
{
    if (_size < 8)
        return Load<u32>(_a) == Load<u32>(_b) && Load<u32>(_a + _size - 4) == Load<u32>(_b + _size - 4);
    const u64 middle = _size > 16 ? Load<u64>(_a + 8) ^ Load<u64>(_b + 8) : 0;
    return ((Load<u64>(_a) ^ Load<u64>(_b)) | (Load<u64>(_a + _size - 8) ^ Load<u64>(_b + _size - 8)) | middle) == 0;
}

constexpr size_t kLongest = [] {
    size_t longest = 0;
    for (const keyword_text_c& k : kKeywords)
        longest = k.text.size() > longest ? k.text.size() : longest;
    return longest;
}();
static_assert(kLongest <= 24, "SameBytes compares at most 24 bytes");

} // namespace

ase_keyword_e AseKeyword(std::string_view _word)
{
    if (_word.size() < 5)
        return ase_unknown;
    const u8 entry = kTable[Slot(_word)];
    if (entry == 0)
        return ase_unknown;
    const keyword_text_c& k = kKeywords[entry - 1];
    return k.text.size() == _word.size() && SameBytes(k.text.data(), _word.data(), _word.size()) ? k.keyword
                                                                                                 : ase_unknown;
}

std::string_view AseKeywordText(ase_keyword_e _keyword)
{
    static constexpr auto kTexts = [] {
        std::array<std::string_view, std::size(kKeywords) + 1> texts{};
        for (const keyword_text_c& k : kKeywords)
            texts[k.keyword] = k.text;
        return texts;
    }();
    return _keyword < kTexts.size() ? kTexts[_keyword] : std::string_view();
}
