#include "level/scene_records.h"

#include "image/image.h"
#include "level/chunk_saver.h"
#include "level/engine_stream.h"

namespace {

// The "obje" chunk: writes the entity, or reads it; a record read with a
// renderer whose entity is missing or unreadable makes a new one from its
// values.
template <class T, class R>
void ExchangeEntity(CChunkSaver& _saver, std::unique_ptr<T>& _entity, const R& _record, renderer_c* _renderer)
{
    std::unique_ptr<T> read;
    if (_saver.Begin("obje"))
        ExchangeEngineStream(
            _saver,
            [&](output_file_c& _out) {
                if (_entity)
                    _entity->Write(_out);
            },
            [&](input_file_c& _in) {
                if (_renderer)
                    read.reset(T::Read(_in, _renderer));
            });
    _saver.End();
    if (!_saver.IsReading() || _renderer == nullptr)
        return;
    _entity = std::move(read);
    if (!_entity) {
        _entity = std::make_unique<T>(_record.name, _renderer);
        _record.Apply(*_entity);
    }
}

} // namespace

void forest_record_c::Serialize(CChunkSaver& _saver, renderer_c* _renderer)
{
    if (_saver.IsWriting() && entity)
        position = entity->position;
    if (_saver.Begin("prms")) {
        _saver.LeafString("name", name);
        _saver.LeafVector("posi", position);
        _saver.LeafFloat("exte", extent);
        _saver.LeafFloat("visr", visibilityRange);
        _saver.LeafFloat("tden", treeDensity);
        _saver.LeafString("denm", densityMap);
        _saver.LeafFloat("wimi", treeWidthMin);
        _saver.LeafFloat("wima", treeWidthMax);
        _saver.LeafFloat("hemi", treeHeightMin);
        _saver.LeafFloat("hema", treeHeightMax);
        _saver.LeafVector("coli", colorMin);
        _saver.LeafVector("colx", colorMax);
        _saver.LeafString("colm", colorMap);
        _saver.LeafInt("spCo", speciesCount);
        _saver.LeafByte("stFo", fixed);
        ExchangeEntity(_saver, entity, *this, _renderer);
    }
    _saver.End();
}

void forest_record_c::Apply(forest_c& _forest) const
{
    _forest.position = position;
    _forest.SetExtent(extent);
    if (!colorMap.IsEmpty())
        _forest.SetColorMap(colorMap);
    _forest.SetFlag(forest_fixed, fixed != 0);
    _forest.SetVisibilityRange(visibilityRange);
    _forest.SetTreeDensity(treeDensity);
    if (!densityMap.IsEmpty())
        _forest.SetDensityMap(image_c(densityMap));
    _forest.SetTreeWidth(treeWidthMin, treeWidthMax);
    _forest.SetTreeHeight(treeHeightMin, treeHeightMax);
    _forest.SetTreeColor(colorMin, colorMax);
    _forest.SetSpeciesCount(speciesCount);
}

void water_record_c::Serialize(CChunkSaver& _saver, renderer_c* _renderer)
{
    if (_saver.IsWriting() && entity)
        position = entity->position;
    if (_saver.Begin("prms")) {
        _saver.LeafString("name", name);
        _saver.LeafVector("posi", position);
        _saver.LeafFloat("exte", extent);
        _saver.LeafFloat("wam1", waves[0].amplitude);
        _saver.LeafFloat("wam2", waves[1].amplitude);
        _saver.LeafFloat("wal1", waves[0].length);
        _saver.LeafFloat("wal2", waves[1].length);
        _saver.LeafVector("wa1V", waves[0].velocity);
        _saver.LeafVector("wa2V", waves[1].velocity);
        _saver.LeafString("geoM", geographyMap);
        _saver.LeafString("refM", reflectionMap);
        _saver.LeafString("cauM", causticMap);
        _saver.LeafByte("hiQU", highQuality);
        _saver.LeafByte("biDI", bidirectionalCaustics);
        _saver.LeafFloat("mfps", causticFramesPerSecond);
        _saver.LeafFloat("bord", border);
        _saver.LeafFloat("intE", causticIntensity);
        _saver.LeafFloat("caMS", causticScale);
        ExchangeEntity(_saver, entity, *this, _renderer);
        parameters.SerializeChunk(_saver);
    }
    _saver.End();
}

void water_record_c::Apply(water_c& _water) const
{
    _water.position = position;
    _water.SetExtent(extent);
    for (u32 i = 0; i < 3; ++i) {
        _water.SetWaveAmplitude(i, waves[i].amplitude);
        _water.SetWaveLength(i, waves[i].length);
        _water.SetWaveVelocity(i, waves[i].velocity);
    }
    _water.SetBorder(border);
    _water.SetCausticIntensity(causticIntensity);
    _water.SetCausticScale(causticScale);
    if (!geographyMap.IsEmpty())
        _water.SetGeographyMap(image_c(geographyMap));
    if (!reflectionMap.IsEmpty())
        _water.SetReflectionMap(reflectionMap);
    if (!causticMap.IsEmpty())
        _water.SetCausticMapSequence(SplitFileList(causticMap), causticFramesPerSecond, bidirectionalCaustics != 0);
}

void area_record_c::Serialize(CChunkSaver& _saver)
{
    if (_saver.IsWriting() && node) {
        position = node->position;
        rotation = node->rotation;
        scale = node->scale;
    }
    if (_saver.Begin("prms")) {
        _saver.LeafString("name", name);
        _saver.LeafVector("posi", position);
        _saver.LeafVector("rota", rotation);
        _saver.LeafVector("scal", scale);
        _saver.LeafString("scma", scma);
        _saver.LeafU32("areW", width);
        _saver.LeafU32("areH", height);
        const u64 bytes = u64{width} * height * 4;
        if (bytes != 0) {
            if (_saver.IsReading()) {
                // A grid cannot be larger than the file that holds it.
                const input_file_c* reader = _saver.GetReader();
                if (reader == nullptr || bytes > reader->GetSize())
                    _saver.Error("Area grid larger than the file!");
                grid.assign(static_cast<size_t>(bytes), 0);
            } else if (grid.size() != bytes) {
                grid.resize(static_cast<size_t>(bytes), 0);
            }
            _saver.LeafData("area", grid.data(), static_cast<u32>(bytes));
        } else if (_saver.IsReading()) {
            grid.clear();
        }
        parameters.SerializeChunk(_saver);
    }
    _saver.End();
}
