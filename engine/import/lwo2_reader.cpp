#include "engine/import/lwo2_reader.h"

#include <cstring>

#include "engine/renderer.h"
#include "foundation/file_error.h"

namespace {

// Per-point and per-polygon vertex map types and their dimensions.
struct vmap_kind_c {
    u32 type;
    u32 dimension;
    const char* message;
};

const vmap_kind_c kVmapKinds[] = {
    {IffId("TXUV"), 2, "Invalid UV mapping dimension!"},
    {IffId("WGHT"), 1, "Invalid weight mapping dimension!"},
    {IffId("RGB "), 3, "Invalid RGB mapping dimension!"},
    {IffId("RGBA"), 4, "Invalid RGBA mapping dimension!"},
    {IffId("MORF"), 3, "Invalid vertex displacement mapping dimension!"},
    {IffId("SPOT"), 3, "Invalid vertex displacement mapping dimension!"},
};

void ReadLayerHeader(iff_chunk_c& _chunk, u32& _number, vec3_c& _pivot, string_c& _name)
{
    _number = _chunk.ReadU16();
    _chunk.ReadU16();
    _pivot = _chunk.ReadVec3();
    _name = _chunk.ReadString();
    if (_name.IsEmpty())
        _name.Format("Layer%u", _number + 1);
}

const char* ReadPoints(iff_chunk_c& _chunk, lwo2_layer_c& _layer)
{
    const u32 count = _chunk.remaining / 12;
    _layer.points.reserve(_layer.points.size() + count);
    for (u32 i = 0; i < count; ++i)
        _layer.points.push_back(_chunk.ReadVec3());
    return nullptr;
}

const char* ReadPolygons(iff_chunk_c& _chunk, lwo2_layer_c& _layer)
{
    const char* message = nullptr;
    // Polygon records are large: count them first rather than guess.
    {
        iff_chunk_c counting = _chunk;
        size_t count = 0;
        try {
            for (; counting.remaining > 0; ++count)
                for (u32 n = counting.ReadU16() & 0x3FF; n > 0; --n)
                    counting.ReadIndex();
        } catch (const file_error_c&) {}
        _layer.polygons.reserve(_layer.polygons.size() + count);
    }
    while (_chunk.remaining > 0) {
        const u32 count = _chunk.ReadU16() & 0x3FF;
        lwo2_polygon_c polygon;
        if (count >= 1 && count <= 3) {
            polygon.count = count;
            for (u32 i = 0; i < count; ++i)
                polygon.point[i] = _chunk.ReadIndex();
        } else {
            for (u32 i = 0; i < count; ++i)
                _chunk.ReadIndex();
            message = "All polygons passed over!";
        }
        _layer.polygons.push_back(polygon);
    }
    return message;
}

i32 SurfaceForTag(lwo2_layer_c& _layer, u32 _tag)
{
    lwo2_tag_c& tag = _layer.tags[_tag];
    if (tag.surface >= 0)
        return tag.surface;
    for (size_t i = 0; i < _layer.surfaces.size(); ++i)
        if (_layer.surfaces[i].name == tag.text)
            return tag.surface = static_cast<i32>(i);
    lwo2_surface_c surface;
    surface.name = tag.text;
    _layer.surfaces.push_back(surface);
    return tag.surface = static_cast<i32>(_layer.surfaces.size() - 1);
}

const char* ReadPolygonTags(iff_chunk_c& _chunk, lwo2_layer_c& _layer)
{
    const u32 type = _chunk.ReadId();
    if (type != IffId("SURF") && type != IffId("SMGP"))
        return nullptr;
    const char* message = nullptr;
    while (_chunk.remaining > 0) {
        const u32 polygonIndex = _chunk.ReadIndex();
        const u32 tagIndex = _chunk.ReadU16();
        if (polygonIndex >= _layer.polygons.size()) {
            message = "Polygon not found!";
            continue;
        }
        if (tagIndex >= _layer.tags.size()) {
            message = "Tag not found!";
            continue;
        }
        lwo2_polygon_c& polygon = _layer.polygons[polygonIndex];
        if (type == IffId("SMGP")) {
            polygon.smoothingGroup = static_cast<i32>(tagIndex);
            continue;
        }
        const i32 surfaceIndex = SurfaceForTag(_layer, tagIndex);
        lwo2_surface_c& surface = _layer.surfaces[surfaceIndex];
        if (polygon.surface >= 0 && polygon.count > 0)
            --_layer.surfaces[polygon.surface].counts[polygon.count - 1];
        polygon.surface = surfaceIndex;
        if (polygon.count > 0)
            ++surface.counts[polygon.count - 1];
    }
    return message;
}

lwo2_vmap_c& MapNamed(std::vector<lwo2_vmap_c>& _maps, const char* _name, u32 _dimension)
{
    for (lwo2_vmap_c& map : _maps)
        if (map.name == _name)
            return map;
    _maps.emplace_back();
    _maps.back().name = _name;
    _maps.back().dimension = _dimension;
    return _maps.back();
}

const char* ReadVertexMap(iff_chunk_c& _chunk, lwo2_layer_c& _layer, bool _discontinuous)
{
    const u32 type = _chunk.ReadId();
    const u32 dimension = _chunk.ReadU16();
    const char* name = _chunk.ReadString();
    const vmap_kind_c* kind = nullptr;
    for (const vmap_kind_c& k : kVmapKinds)
        if (k.type == type)
            kind = &k;
    if (kind == nullptr)
        return nullptr;
    const bool morph = type == IffId("MORF") || type == IffId("SPOT");
    if (_discontinuous && morph)
        return "Invalid discontinuous vertex mapping type!";
    if (dimension != kind->dimension)
        return kind->message;
    std::vector<lwo2_vmap_c>* list = &_layer.uvMaps;
    if (type == IffId("WGHT"))
        list = &_layer.weightMaps;
    else if (type == IffId("RGB ") || type == IffId("RGBA"))
        list = &_layer.colorMaps;
    else if (morph)
        list = &_layer.morphMaps;
    const u32 stored = list == &_layer.colorMaps ? 4 : dimension;
    lwo2_vmap_c& map = MapNamed(*list, name, stored);
    map.absolute = type == IffId("SPOT");
    std::vector<f32>& values = _discontinuous ? map.discontinuousValues : map.values;
    while (_chunk.remaining > 0) {
        const u32 point = _chunk.ReadIndex();
        const u32 polygon = _discontinuous ? _chunk.ReadIndex() : 0;
        f32 v[4] = {0.0f, 0.0f, 0.0f, 0.0f};
        for (u32 i = 0; i < dimension; ++i)
            v[i] = _chunk.ReadFloat();
        if (type == IffId("TXUV"))
            v[1] = 1.0f - v[1];
        values.insert(values.end(), v, v + stored);
        if (_discontinuous) {
            map.discontinuousPoints.push_back(point);
            map.discontinuousPolygons.push_back(polygon);
        } else {
            map.points.push_back(point);
        }
    }
    return nullptr;
}

const char* ReadTags(iff_chunk_c& _chunk, lwo2_layer_c& _layer)
{
    while (_chunk.remaining > 0) {
        lwo2_tag_c tag;
        tag.text = _chunk.ReadString();
        _layer.tags.push_back(tag);
    }
    return nullptr;
}

const char* ReadEnvelope(iff_chunk_c& _chunk, lwo2_layer_c& _layer)
{
    lwo2_envelope_c entry;
    entry.index = _chunk.ReadIndex();
    envelope_c& envelope = entry.envelope;
    for (iff_chunk_c sub = _chunk.ReadChunk(2); sub.remaining > 0; sub = _chunk.ReadChunk(2)) {
        if (sub.id == IffId("PRE ") || sub.id == IffId("POST")) {
            u32 code = sub.ReadU16();
            if (code > 5) {
                code = 1;
                _layer.Warn("Unsupported behavior!");
            }
            (sub.id == IffId("PRE ") ? envelope.pre : envelope.post) = static_cast<envelope_behaviour_e>(code);
        } else if (sub.id == IffId("KEY ")) {
            envelope_key_c key;
            key.time = sub.ReadFloat();
            key.value = sub.ReadFloat();
            envelope.keys.push_back(key);
        } else if (sub.id == IffId("SPAN")) {
            const u32 type = sub.ReadId();
            f32 p[4] = {0.0f, 0.0f, 0.0f, 0.0f};
            for (u32 i = 0; i < 4 && sub.remaining >= 4; ++i)
                p[i] = sub.ReadFloat();
            if (envelope.keys.empty()) {
                _layer.Warn("Key not found!");
                continue;
            }
            envelope_key_c& key = envelope.keys.back();
            key.tension = key.continuity = key.bias = 0.0f;
            key.param0 = key.param1 = key.param2 = key.param3 = 0.0f;
            if (type == IffId("TCB ")) {
                key.shape = shape_tcb;
                key.tension = p[0];
                key.continuity = p[1];
                key.bias = p[2];
            } else if (type == IffId("HERM") || type == IffId("BEZI") || type == IffId("BEZ2")) {
                key.shape = type == IffId("BEZ2") ? shape_bezier : shape_hermite;
                key.param0 = p[0];
                key.param1 = p[1];
                key.param2 = p[2];
                key.param3 = p[3];
            } else if (type == IffId("LINE")) {
                key.shape = shape_linear;
            } else if (type == IffId("STEP")) {
                key.shape = shape_stepped;
            } else {
                _layer.Warn("Unsupported interpolation algorithm!");
            }
        }
    }
    _layer.envelopes.push_back(std::move(entry));
    return nullptr;
}

const char* ReadClip(iff_chunk_c& _chunk, lwo2_layer_c& _layer)
{
    lwo2_clip_c clip;
    clip.index = _chunk.ReadU32();
    for (iff_chunk_c sub = _chunk.ReadChunk(2); sub.remaining > 0; sub = _chunk.ReadChunk(2)) {
        if (sub.id == IffId("STIL")) {
            sub.ReadFileName(clip.still);
        } else if (sub.id == IffId("ISEQ")) {
            clip.digits = *sub.Read(1);
            clip.loop = *sub.Read(1);
            clip.frameOffset = static_cast<i16>(sub.ReadU16());
            sub.ReadU16();
            clip.firstFrame = static_cast<i16>(sub.ReadU16());
            clip.lastFrame = static_cast<i16>(sub.ReadU16());
            sub.ReadFileName(clip.prefix);
            clip.suffix = sub.ReadString();
        } else if (sub.id == IffId("TIME")) {
            clip.startTime = sub.ReadFloat();
            clip.duration = sub.ReadFloat();
            clip.frameRate = sub.ReadFloat();
        } else if (sub.id == IffId("XREF")) {
            clip.reference = sub.ReadU32();
        }
    }
    if (clip.still.IsEmpty() && !clip.IsSequence() && clip.reference == 0)
        return "Unsupported image definition!";
    _layer.clips.push_back(clip);
    return nullptr;
}

} // namespace

void lwo2_layer_c::Warn(const char* _message)
{
    if (!_message || !*_message)
        return;
    warnings.push_back(string_c("[%s] %s", fileName.GetData(), _message));
    if (renderer)
        renderer->LogWarning(warnings.back());
}

const lwo2_clip_c* lwo2_layer_c::FindClip(u32 _index) const
{
    for (const lwo2_clip_c& clip : clips)
        if (clip.index == _index)
            return &clip;
    return nullptr;
}

const lwo2_vmap_c* lwo2_layer_c::FindMap(const std::vector<lwo2_vmap_c>& _maps, const string_c& _name) const
{
    for (const lwo2_vmap_c& map : _maps)
        if (map.name == _name)
            return &map;
    return nullptr;
}

lwo2_reader_c::lwo2_reader_c(input_file_c& _file)
    : fileName(_file.GetName()),
      form(fileName, _file.GetPointer(), _file.GetPointer() ? _file.GetSize() - _file.GetPosition() : 0),
      folder(fileName)
{
    // A form cut short has no view, but its header still says what it is.
    const u8* bytes = _file.GetPointer();
    const u64 size = bytes ? _file.GetSize() - _file.GetPosition() : 0;
    truncated =
        form.IsEmpty() && size >= 12 && std::memcmp(bytes, "FORM", 4) == 0 && std::memcmp(bytes + 8, "LWO2", 4) == 0;
}

bool lwo2_reader_c::IsLwo2()
{
    if (truncated)
        return true;
    form.Rewind();
    return form.id == IffId("FORM") && form.remaining >= 4 && form.ReadId() == IffId("LWO2");
}

void lwo2_reader_c::CheckWhole() const
{
    if (truncated)
        throw file_error_c(fileName, "Unexpected end of file!");
}

bool lwo2_reader_c::GetLayerName(unsigned _n, string_c& _name)
{
    _name.Clear();
    if (!IsLwo2())
        return false;
    CheckWhole();
    bool any = false;
    u32 highest = 0;
    for (iff_chunk_c chunk = form.ReadChunk(4); chunk.remaining > 0; chunk = form.ReadChunk(4)) {
        if (chunk.id != IffId("LAYR"))
            continue;
        u32 number;
        vec3_c pivot;
        string_c name;
        ReadLayerHeader(chunk, number, pivot, name);
        if (number == _n)
            _name = name;
        highest = any && highest > number ? highest : number;
        any = true;
    }
    return any && _n <= highest;
}

bool lwo2_reader_c::ReadLayerRecords(unsigned _layer, lwo2_layer_c& _out)
{
    _out.fileName = fileName;
    if (!IsLwo2())
        throw file_error_c(fileName, "Unknown file format!");
    CheckWhole();
    u32 current = 0;
    u32 lastPolygonType = 0;
    for (iff_chunk_c chunk = form.ReadChunk(4); chunk.remaining > 0; chunk = form.ReadChunk(4)) {
        const bool inLayer = current == _layer;
        const char* message = nullptr;
        switch (chunk.id) {
        case IffId("LAYR"): {
            vec3_c pivot;
            string_c name;
            ReadLayerHeader(chunk, current, pivot, name);
            lastPolygonType = 0;
            if (current == _layer) {
                _out.pivot = pivot;
                _out.layerName = name;
            }
            break;
        }
        case IffId("PNTS"):
            if (inLayer)
                message = ReadPoints(chunk, _out);
            break;
        case IffId("POLS"):
            if (inLayer) {
                lastPolygonType = chunk.ReadId();
                if (lastPolygonType == IffId("FACE"))
                    message = ReadPolygons(chunk, _out);
            }
            break;
        case IffId("VMAP"):
            if (inLayer)
                message = ReadVertexMap(chunk, _out, false);
            break;
        case IffId("PTAG"):
            if (inLayer && lastPolygonType == IffId("FACE"))
                message = ReadPolygonTags(chunk, _out);
            break;
        case IffId("VMAD"):
            if (inLayer && lastPolygonType == IffId("FACE"))
                message = ReadVertexMap(chunk, _out, true);
            break;
        case IffId("TAGS"): message = ReadTags(chunk, _out); break;
        case IffId("CLIP"): message = ReadClip(chunk, _out); break;
        case IffId("ENVL"): message = ReadEnvelope(chunk, _out); break;
        case IffId("SURF"): ReadSurface(chunk, _out); break;
        default: break;
        }
        _out.Warn(message);
    }
    // An empty layer is not worth failing a whole scene for.
    if (_out.points.empty()) {
        _out.Warn("List of points not found!");
        return false;
    }
    if (_out.polygons.empty()) {
        _out.Warn("List of polygons not found!");
        return false;
    }
    _out.MakeMorphFrames();
    _out.ComputeNormals();
    _out.ComputeTexCoords();
    _out.ComputeColors();
    _out.ComputeWeights();
    return true;
}
