#include "render_d3d9/draw_sprites.h"
#include "engine/anim_sprite.h"
#include "engine/color.h"
#include "render_d3d9/draw_common.h"
#include "render_d3d9/renderer.h"

#include <cmath>

namespace {

constexpr u32 frame_blending = anim_sprite_filtering;

const d3d_stage_op_s select_texture = StageOp(D3DTOP_SELECTARG1, D3DTA_TEXTURE);

}

d3d_sprite_quad_s SpriteQuad(f32 _dissolve, f32 _scene_opacity)
{
    f32 opacity = (1.0f - _dissolve) * _scene_opacity;
    if (!(opacity > 0.0f)) {
        opacity = 0.0f;
    }
    if (opacity >= 1.0f) {
        return {1.0f, 255, false};
    }
    return {opacity, static_cast<u32>(opacity * 255.0f), true};
}

d3d_sprite_quad_s d3d_renderer_c::SetupSprite(sprite_c* _sprite, bool _clip, const d3d_texture_c& _texture)
{
    const d3d_sprite_quad_s quad = SpriteQuad(_sprite->dissolve, sceneOpacity);
    const u32 sprite_flags = _sprite->GetFlags();
    const bool additive = (sprite_flags & sprite_additive) != 0;
    const bool alpha_texture = _texture.HasAlpha();
    const bool blend_by_texture = alpha_texture && (sprite_flags & sprite_alpha_blending) != 0;
    const bool alpha_test = alpha_texture && _sprite->GetAlphaThreshold() > 0.0f;
    const bool blend = quad.opacity < 1.0f || blend_by_texture;
    const bool no_depth_write = additive || blend;

    UseBackBufferOnly(cache);
    cache.SetWorldMatrix(0, _sprite->GetWorldMatrix());
    SetPlainStates(cache, _clip, quad.vertexColors);
    cache.SetDepth(sceneDepthTest && (sprite_flags & object_depth_test) != 0, !no_depth_write, D3DCMP_LESS);
    cache.SetStencil(d3d_stencil_s{});
    cache.SetAlphaTest(alpha_test, _sprite->GetAlphaThreshold());
    cache.SetAlphaBlend(no_depth_write, blend ? D3DBLEND_SRCALPHA : D3DBLEND_ONE,
                        additive ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA);
    cache.SetFog((sprite_flags & object_fog) != 0 ? GetFog() : nullptr, additive);
    cache.SetStreams(spriteGeometry->GetVertexBuffer(), spriteGeometry->GetStride(), nullptr, 0,
                     spriteGeometry->GetIndexBuffer());
    cache.SetupPass(0, spriteGeometry->GetFormat(), {}, false, 0);
    cache.SetPixelShader(0);
    return quad;
}

bool d3d_renderer_c::SpriteDrawable(const sprite_c* _sprite) const
{
    return _sprite != nullptr && sceneSet && !inGeometry && spriteGeometry != nullptr && _sprite->GetMap() != nullptr;
}

void d3d_renderer_c::DrawSpriteQuad(const d3d_sprite_quad_s& _quad)
{
    spriteGeometry->DrawGroup(0, 2 * _quad.index, 2);
}

void d3d_renderer_c::DrawSprite(sprite_c* _sprite, bool _clip)
{
    if (!SpriteDrawable(_sprite)) {
        return;
    }
    const map_c* map = _sprite->GetMap();
    const d3d_texture_c* texture = MapTexture(map, 0.0f);
    if (texture == nullptr) {
        return;
    }
    DrawSingleFrame(_sprite, *map, *texture, StageOp(D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT), _clip);
}

void d3d_renderer_c::DrawSingleFrame(sprite_c* _sprite, const map_c& _map, const d3d_texture_c& _texture,
                                     const d3d_stage_op_s& _fading_alpha, bool _clip)
{
    const d3d_sprite_quad_s quad = SetupSprite(_sprite, _clip, _texture);
    SetEffectStage(cache, 0, select_texture, quad.opacity < 1.0f ? _fading_alpha : select_texture, _map, _texture);
    DisableStages(cache, 1);
    DrawSpriteQuad(quad);
}

void d3d_renderer_c::DrawAnimSprite(anim_sprite_c* _sprite, f32 _frame, bool _clip)
{
    if (!SpriteDrawable(_sprite)) {
        return;
    }
    const map_c* map = _sprite->GetMap();
    const d3d_texture_c* first = MapTexture(map, _frame);
    if (first == nullptr) {
        return;
    }
    const D3DCAPS9& caps = cache.GetCaps();
    const d3d_texture_c* second = MapTexture(map, _frame + 1.0f);
    const bool blend_frames = (_sprite->GetFlags() & frame_blending) != 0 &&
                              (caps.TextureOpCaps & D3DTEXOPCAPS_MULTIPLYADD) != 0 && caps.MaxTextureBlendStages >= 2 &&
                              caps.MaxSimultaneousTextures >= 2 && cache.GetStageCount() >= 2 && second != nullptr &&
                              std::isfinite(_frame);
    if (!blend_frames) {
        DrawSingleFrame(_sprite, *map, *first, StageOp(D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE), _clip);
        return;
    }

    const d3d_sprite_quad_s quad = SetupSprite(_sprite, _clip, *first);
    // The frame's share falls as the next frame's rises; TFACTOR carries the
    // next frame's share, its complement this frame's.
    const f32 f = _frame - std::trunc(_frame);
    const DWORD keep = D3DTA_TFACTOR | D3DTA_COMPLEMENT;
    const d3d_stage_op_s fade_in = StageOp(D3DTOP_MULTIPLYADD, D3DTA_TEXTURE, D3DTA_TFACTOR, D3DTA_CURRENT);
    if (quad.opacity >= 1.0f) {
        cache.SetTextureFactor(ColorAlphaToBgra(f, f, f, f));
        const d3d_stage_op_s fade_out = StageOp(D3DTOP_MODULATE, D3DTA_TEXTURE, keep);
        SetEffectStage(cache, 0, fade_out, fade_out, *map, *first);
        SetEffectStage(cache, 1, fade_in, fade_in, *map, *second);
    } else {
        cache.SetTextureFactor(ColorAlphaToBgra(f, f, f, (1.0f - f) * quad.opacity));
        SetEffectStage(cache, 0, StageOp(D3DTOP_MODULATE, D3DTA_TEXTURE, keep),
                       StageOp(D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR), *map, *first);
        SetEffectStage(cache, 1, fade_in, StageOp(D3DTOP_MULTIPLYADD, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTA_CURRENT),
                       *map, *second);
    }
    DisableStages(cache, 2);
    DrawSpriteQuad(quad);
}
