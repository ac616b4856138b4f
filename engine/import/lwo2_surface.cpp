#include <cmath>

#include "engine/import/lwo2_reader.h"

namespace {

// Word indices of the animated material values in the material's envelope
// holder.
enum material_target_e : u32 {
    target_color = 3,
    target_luminosity = 6,
    target_diffuse = 7,
    target_transparency = 13,
};

// Longest clip reference chain followed; deeper chains are cycles.
constexpr u32 kClipDepthLimit = 64;

void Bind(lwo2_surface_values_c& _values, u32 _envelope, u32 _target)
{
    if (_envelope != 0)
        _values.envelopes.push_back({_envelope, _target});
}

// A value with an envelope the material cannot animate.
const char* ValueWithIgnoredEnvelope(iff_chunk_c& _chunk, f32& _value, const char* _message)
{
    _value = _chunk.ReadFloat();
    return _chunk.ReadIndex() != 0 ? _message : nullptr;
}

u32 BlendFromOpacity(u32 _type)
{
    switch (_type) {
    case 3: return 1;
    case 4: return 2;
    case 5: return 4;
    case 7: return 3;
    default: return 0;
    }
}

void ReadTextureMap(iff_chunk_c& _chunk, lwo2_texture_layer_c& _layer)
{
    for (iff_chunk_c sub = _chunk.ReadChunk(2); sub.remaining > 0; sub = _chunk.ReadChunk(2)) {
        if (sub.id == IffId("CNTR") || sub.id == IffId("SIZE") || sub.id == IffId("ROTA")) {
            const vec3_c v = sub.ReadVec3();
            f32* target = sub.id == IffId("CNTR")   ? _layer.block.centre
                          : sub.id == IffId("SIZE") ? _layer.block.size
                                                    : _layer.block.rotation;
            target[0] = v.x;
            target[1] = v.y;
            target[2] = v.z;
        } else if (sub.id == IffId("OREF")) {
            const string_c name = sub.ReadString();
            if (name != "(none)")
                _layer.referenceObject = name;
        }
    }
}

void ReadBlock(iff_chunk_c& _chunk, lwo2_layer_c& _layer, lwo2_texture_layer_c& _out)
{
    iff_chunk_c header = _chunk.ReadChunk(2);
    if (header.remaining == 0)
        return;
    _out.type = header.id;
    header.ReadString();
    for (iff_chunk_c sub = header.ReadChunk(2); sub.remaining > 0; sub = header.ReadChunk(2)) {
        if (sub.id == IffId("ENAB"))
            _out.enabled = sub.ReadU16() != 0;
        else if (sub.id == IffId("OPAC"))
            _out.blend = BlendFromOpacity(sub.ReadU16());
        else if (sub.id == IffId("CHAN"))
            _out.channel = sub.ReadId();
    }
    if (_out.type != IffId("IMAP") || !_out.enabled)
        return;
    u32 projection = 0;
    string_c uvMap;
    for (iff_chunk_c sub = _chunk.ReadChunk(2); sub.remaining > 0; sub = _chunk.ReadChunk(2)) {
        const char* message = nullptr;
        switch (sub.id) {
        case IffId("TMAP"): ReadTextureMap(sub, _out); break;
        case IffId("PROJ"): {
            static const u32 kCodes[] = {texture_projection_c::map_planar, texture_projection_c::map_cylindrical,
                                         texture_projection_c::map_spherical, texture_projection_c::map_cubic};
            projection = sub.ReadU16();
            if (projection < 4)
                _out.block.mapType = kCodes[projection];
            else if (projection == 5)
                _out.block.mapType = texture_projection_c::map_none;
            else
                message = "Unsupported projection mode!";
            break;
        }
        case IffId("AXIS"): {
            const u32 axis = sub.ReadU16();
            if (axis <= 2)
                _out.block.axis = axis;
            else
                message = "Invalid axis!";
            break;
        }
        case IffId("IMAG"): _out.clip = sub.ReadIndex(); break;
        case IffId("WRAP"): {
            const u32 width = sub.ReadU16();
            const u32 height = sub.ReadU16();
            _out.clamp = (width == 0 || width == 3) && (height == 0 || height == 3);
            break;
        }
        case IffId("WRPW"): _out.block.wrapWidth = sub.ReadFloat(); break;
        case IffId("WRPH"): _out.block.wrapHeight = sub.ReadFloat(); break;
        case IffId("VMAP"): uvMap = sub.ReadString(); break;
        case IffId("AAST"):
        case IffId("PIXB"):
            if (sub.ReadU16() != 0)
                _out.filtering = 1;
            break;
        case IffId("TAMP"):
            message = ValueWithIgnoredEnvelope(sub, _out.amplitude, "Texture amplitude envelope ignored!");
            break;
        default: break;
        }
        _layer.Warn(message);
    }
    if (projection == 5)
        _out.uvMap = uvMap;
}

// The clip a layer shows, with the timing of the clips that reference it
// (the nearest reference decides). Null when missing or part of a cycle.
bool ResolveClip(const lwo2_layer_c& _layer, u32 _index, lwo2_clip_c& _out, u32 _depth)
{
    const lwo2_clip_c* clip = _layer.FindClip(_index);
    if (clip == nullptr || _depth > kClipDepthLimit)
        return false;
    if (clip->reference == 0) {
        _out = *clip;
        return true;
    }
    if (!ResolveClip(_layer, clip->reference, _out, _depth + 1))
        return false;
    _out.startTime = clip->startTime;
    _out.duration = clip->duration;
    _out.frameRate = clip->frameRate;
    return true;
}

string_c BaseName(const string_c& _path)
{
    const int slash = _path.Find('\\', -1);
    return slash < 0 ? _path : _path.Mid(slash + 1, _path.GetLength());
}

i64 RoundFrame(double _value)
{
    // Durations run up to FLT_MAX; frames beyond the i16 range are the same as
    // the range's end.
    const double limited = std::fmin(std::fmax(_value + 0.5, -1e6), 1e6);
    return static_cast<i64>(limited);
}

lwo2_image_c ImageOfClip(const lwo2_clip_c& _clip)
{
    lwo2_image_c image;
    if (!_clip.IsSequence()) {
        image.still = BaseName(_clip.still);
        return image;
    }
    const i64 first = std::max<i64>(_clip.firstFrame, RoundFrame(double(_clip.startTime) * _clip.frameRate));
    const i64 last =
        std::min<i64>(_clip.lastFrame, RoundFrame((double(_clip.startTime) + _clip.duration) * _clip.frameRate) - 1);
    const string_c prefix = BaseName(_clip.prefix);
    for (i64 frame = first; frame <= last; ++frame)
        image.sequence.push_back(string_c("%s%0*d%s", prefix.GetData(),
                                          static_cast<int>(std::min<u32>(_clip.digits, 32)), static_cast<int>(frame),
                                          _clip.suffix.GetData()));
    image.frameOffset = _clip.frameOffset;
    image.frameRate = _clip.frameRate;
    image.loop = _clip.loop != 0;
    return image;
}

} // namespace

void lwo2_reader_c::ReadSurface(iff_chunk_c& _chunk, lwo2_layer_c& _layer)
{
    const string_c name = _chunk.ReadString();
    const string_c source = _chunk.ReadString();
    lwo2_surface_c* surface = nullptr;
    for (lwo2_surface_c& s : _layer.surfaces)
        if (s.name == name)
            surface = &s;
    if (surface == nullptr || (surface->counts[0] == 0 && surface->counts[1] == 0 && surface->counts[2] == 0))
        return;
    if (!source.IsEmpty())
        _layer.Warn("Source surface ignored!");

    lwo2_surface_c fresh;
    fresh.name = surface->name;
    for (u32 k = 0; k < 3; ++k)
        fresh.counts[k] = surface->counts[k];
    fresh.read = true;
    *surface = fresh;
    lwo2_surface_values_c& values = surface->values;

    for (iff_chunk_c sub = _chunk.ReadChunk(2); sub.remaining > 0; sub = _chunk.ReadChunk(2)) {
        const char* message = nullptr;
        f32 value = 0.0f;
        switch (sub.id) {
        case IffId("COLR"): {
            values.color = sub.ReadVec3();
            const u32 envelope = sub.ReadIndex();
            for (u32 k = 0; k < 3; ++k)
                Bind(values, envelope == 0 ? 0 : envelope + k, target_color + k);
            break;
        }
        case IffId("DIFF"):
            values.diffuse = sub.ReadFloat();
            Bind(values, sub.ReadIndex(), target_diffuse);
            break;
        case IffId("LUMI"):
            values.luminosity = sub.ReadFloat();
            Bind(values, sub.ReadIndex(), target_luminosity);
            break;
        case IffId("TRAN"):
            values.transparency = sub.ReadFloat();
            Bind(values, sub.ReadIndex(), target_transparency);
            break;
        case IffId("SPEC"):
            message = ValueWithIgnoredEnvelope(sub, values.specular, "Specularity envelope ignored!");
            break;
        case IffId("GLOS"):
            message = ValueWithIgnoredEnvelope(sub, value, "Glossiness envelope ignored!");
            values.glossiness = std::pow(2.0f, 10.0f * value + 2.0f);
            break;
        case IffId("REFL"):
            message = ValueWithIgnoredEnvelope(sub, values.reflectivity, "Reflection envelope ignored!");
            break;
        case IffId("BUMP"): message = ValueWithIgnoredEnvelope(sub, values.bump, "Bump envelope ignored!"); break;
        case IffId("ADTR"):
            message = ValueWithIgnoredEnvelope(sub, value, "Additive transparency envelope ignored!");
            if (value >= 0.5f)
                values.flags |= surface_additive;
            break;
        case IffId("GLOW"): sub.ReadU16(); [[fallthrough]];
        case IffId("GVAL"):
            message = ValueWithIgnoredEnvelope(sub, value, "Glow intensity envelope ignored!");
            if (value >= 0.5f)
                values.flags |= surface_glow;
            break;
        case IffId("CLRH"): message = ValueWithIgnoredEnvelope(sub, value, "Color highlights envelope ignored!"); break;
        case IffId("VCOL"): {
            message = ValueWithIgnoredEnvelope(sub, value, "Vertex coloring envelope ignored!");
            const u32 type = sub.ReadId();
            const string_c map = sub.ReadString();
            if (type != IffId("RGB ") && type != IffId("RGBA"))
                message = "Unsupported vertex color map type!";
            if (value >= 0.5f) {
                values.flags |= surface_vertex_colors;
                surface->colorMapName = map;
            }
            break;
        }
        case IffId("SIDE"):
            if (sub.ReadU16() == 3)
                values.flags |= surface_double_sided;
            break;
        case IffId("SMAN"): {
            const f32 angle = sub.ReadFloat();
            if (angle > 0.0f) {
                values.flags |= surface_smooth;
                surface->threshold = std::cos(angle);
            }
            break;
        }
        case IffId("RFOP"): surface->reflectionOptions = sub.ReadU16(); break;
        case IffId("RIMG"): surface->reflectionClip = sub.ReadIndex(); break;
        case IffId("CMNT"): values.comments.push_back(sub.ReadString()); break;
        case IffId("BLOK"): {
            lwo2_texture_layer_c block;
            ReadBlock(sub, _layer, block);
            if (block.type != IffId("IMAP") || !block.enabled)
                break;
            if (block.channel == IffId("BUMP")) {
                if (!surface->hasBumpLayer || surface->bumpLayer.clip == 0) {
                    surface->bumpLayer = block;
                    surface->hasBumpLayer = true;
                }
            } else if (block.channel == IffId("COLR")) {
                if (!surface->hasColorLayer[0] || surface->colorLayer[0].clip == 0) {
                    surface->colorLayer[0] = block;
                    surface->hasColorLayer[0] = true;
                } else if ((!surface->hasColorLayer[1] || surface->colorLayer[1].clip == 0) && block.blend != 0) {
                    surface->colorLayer[1] = block;
                    surface->hasColorLayer[1] = true;
                }
            }
            break;
        }
        default: break;
        }
        _layer.Warn(message);
    }

    // Maps of the surface, each taking the next texture-coordinate set.
    lwo2_clip_c clip;
    auto takeSlot = [&](const lwo2_texture_layer_c& _from) {
        const u32 slot = surface->uvLayers++;
        surface->uvBlock[slot] = _from.block;
        surface->uvMapName[slot] = _from.uvMap;
        surface->uvClamp[slot] = _from.clamp;
        surface->uvFiltering[slot] = _from.filtering;
        surface->uvBlend[slot] = _from.blend;
    };
    if (surface->hasColorLayer[0] && ResolveClip(_layer, surface->colorLayer[0].clip, clip, 0)) {
        values.colorMap[0] = ImageOfClip(clip);
        if (!values.colorMap[0].IsEmpty())
            takeSlot(surface->colorLayer[0]);
    }
    if (surface->hasColorLayer[1] && ResolveClip(_layer, surface->colorLayer[1].clip, clip, 0) && !clip.IsSequence() &&
        !clip.still.IsEmpty()) {
        values.colorMap[1].still = BaseName(clip.still);
        takeSlot(surface->colorLayer[1]);
    }
    if (ResolveClip(_layer, surface->reflectionClip, clip, 0) && !clip.IsSequence() && !clip.still.IsEmpty() &&
        (surface->reflectionOptions == 2 || surface->reflectionOptions == 3))
        values.reflectionMap = BaseName(clip.still);
    values.bump *= surface->hasBumpLayer ? surface->bumpLayer.amplitude : 0.0f;
    if (surface->hasBumpLayer && ResolveClip(_layer, surface->bumpLayer.clip, clip, 0) && !clip.IsSequence() &&
        !clip.still.IsEmpty()) {
        values.bumpMap = BaseName(clip.still);
        takeSlot(surface->bumpLayer);
    }
}
