#include "render_d3d9/shader_programs.h"

extern const u32 shader_particles_vs11[];
extern const u32 shader_trails_vs11[];
extern const u32 shader_water_vs11[];
extern const u32 shader_water_vs20[];
extern const u32 shader_shadow_dir_depth_vs11[];
extern const u32 shader_shadow_point_depth_vs11[];
extern const u32 shader_shadow_dir_vs11[];
extern const u32 shader_shadow_point_vs11[];
extern const u32 shader_glow_ps20[];

const d3d_shader_set_s& GetShaderPrograms()
{
    static const d3d_shader_set_s set = [] {
        d3d_shader_set_s programs;
        programs.vertex[1][d3d_shader_vs_1_1] = shader_particles_vs11;
        programs.vertex[2][d3d_shader_vs_1_1] = shader_trails_vs11;
        programs.vertex[3][d3d_shader_vs_1_1] = shader_water_vs11;
        programs.vertex[3][d3d_shader_vs_2_0] = shader_water_vs20;
        programs.vertex[4][d3d_shader_vs_1_1] = shader_shadow_dir_depth_vs11;
        programs.vertex[5][d3d_shader_vs_1_1] = shader_shadow_point_depth_vs11;
        programs.vertex[6][d3d_shader_vs_1_1] = shader_shadow_dir_vs11;
        programs.vertex[7][d3d_shader_vs_1_1] = shader_shadow_point_vs11;
        programs.pixel[1] = shader_glow_ps20;
        return programs;
    }();
    return set;
}
