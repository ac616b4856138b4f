#include "engine/import/ase_keyword.h"

#include <gtest/gtest.h>

#include <string>

TEST(AseKeyword, KeywordsAreFoundAndNearMissesAreNot)
{
    const std::pair<std::string, ase_keyword_e> cases[] = {
        {"*MESH", ase_mesh},
        {"*MESH_FACE", ase_mesh_face},
        {"*MESH_TFACE", ase_mesh_tface},
        {"*MESH_CFACE", ase_mesh_cface},
        {"*MESH_VERTEXNORMAL", ase_mesh_vertexnormal},
        {"*SCENE_BACKGROUND_STATIC", ase_scene_background_static},
        {"*TM_ROW0", ase_tm_row0},
        {"*TM_ROW3", ase_tm_row3},
        {"*MATERIAL", ase_material},
        {"*MATERIAL_REF", ase_material_ref},
        {"*LIGHT_FALLOFF", ase_light_falloff},
        // Case, a missing or extra byte, the star or a byte outside the
        // hashed spans changed: no keyword.
        {"*mesh_face", ase_unknown},
        {"*MESH_FAC", ase_unknown},
        {"*MESH_FACES", ase_unknown},
        {"MESH_FACE", ase_unknown},
        {"#MESH_FACE", ase_unknown},
        {"*SCENE_BACKGROUND_STATIX", ase_unknown},
        {"*SCENE_BACKGRAUND_STATIC", ase_unknown},
        {"*MESH_VERTEXNORMAL_LIST", ase_unknown},
        {"*MES", ase_unknown},
        {"*", ase_unknown},
        {"", ase_unknown},
        {"{", ase_unknown},
        {std::string("*MESH\0FACE", 10), ase_unknown},
    };
    for (const auto& [word, keyword] : cases)
        EXPECT_EQ(AseKeyword(word), keyword) << word;
}
