#include "level/level_scene.h"

#include "engine/renderer.h"
#include "level/chunk_saver.h"

#include <stdexcept>

namespace {

std::unique_ptr<object_template_c> LoadTemplate(const std::string& _file, renderer_c* _renderer)
{
    auto tmpl = std::make_unique<object_template_c>();
    if (tmpl->Load(_file.c_str(), _renderer) == nullptr)
        throw std::runtime_error(string_c("File \"%s\" not loaded.", _file.c_str()).ToStdString());
    return tmpl;
}

// Reads or writes a list of records under "objN".
template <class T, class F>
void SerializeRecords(CChunkSaver& _saver, const char* _tag, std::vector<std::unique_ptr<T>>& _records, F _serialize)
{
    if (_saver.Begin(_tag)) {
        const u32 count = ExchangeCount(_saver, "objN", static_cast<u32>(_records.size()), "prms");
        for (u32 i = 0; i < count; ++i) {
            if (_saver.IsReading())
                _records.push_back(std::make_unique<T>());
            _serialize(*_records[i]);
        }
    }
    _saver.End();
}

void ExchangePlacedLeaves(CChunkSaver& _saver, placed_object_c& _object)
{
    _saver.LeafU32("tplN", _object.templateIndex);
    _saver.LeafString("name", _object.name);
    _saver.LeafVector("objP", _object.position);
    _saver.LeafVector("objR", _object.rotation);
    _saver.LeafVector("objS", _object.scale);
}

} // namespace

level_scene_c::level_scene_c() = default;

level_scene_c::~level_scene_c()
{
    Detach();
}

void level_scene_c::Detach()
{
    if (attached)
        for (null_object_c* node : attachedNodes)
            attached->RemoveObject(node);
    attachedNodes.clear();
    attached = nullptr;
}

void level_scene_c::Warn(const std::string& _text, renderer_c* _renderer)
{
    warnings.push_back(_text);
    if (_renderer)
        _renderer->LogWarning(string_c(_text));
}

void level_scene_c::Load(const char* _file_name, renderer_c* _renderer, bool _separate_templates)
{
    CChunkSaver saver;
    if (!saver.Open(CChunkSaver::mode_read, _file_name))
        throw file_error_c(_file_name, "Not found");
    Serialize(saver, _renderer, _separate_templates);
    saver.Close();
}

void level_scene_c::Serialize(CChunkSaver& _saver, renderer_c* _renderer, bool _separate_templates)
{
    if (_saver.IsReading()) {
        Detach();
        levelObjects.clear();
        areas.clear();
        waters.clear();
        forests.clear();
        placedObjects.clear();
        templates.clear();
    }
    if (_saver.Begin("scne")) {
        _saver.LeafString("name", name);
        SerializeTemplates(_saver, _renderer, _separate_templates);
        SerializePlacedObjects(_saver, _renderer, _separate_templates);
        SerializeRecords(_saver, "forO", forests,
                         [&](forest_record_c& _record) { _record.Serialize(_saver, _renderer); });
        SerializeRecords(_saver, "watO", waters,
                         [&](water_record_c& _record) { _record.Serialize(_saver, _renderer); });
        SerializeRecords(_saver, "simO", areas, [&](area_record_c& _record) { _record.Serialize(_saver); });
        SerializeLevelObjects(_saver, _renderer);
    }
    _saver.End();
}

void level_scene_c::SerializeTemplates(CChunkSaver& _saver, renderer_c* _renderer, bool _separate_templates)
{
    if (_saver.Begin("tpls")) {
        const u32 count = ExchangeCount(_saver, "nOft", static_cast<u32>(templates.size()), "fnam");
        for (u32 i = 0; i < count; ++i) {
            if (_saver.IsWriting()) {
                std::string file = templates[i]->GetFileName();
                _saver.LeafStdString("fnam", file);
                continue;
            }
            std::string file;
            _saver.LeafStdString("fnam", file);
            if (_separate_templates) {
                templates.push_back(std::make_unique<object_template_c>());
                templates.back()->SetFileName(file.c_str());
            } else {
                templates.push_back(LoadTemplate(file, _renderer));
            }
        }
    }
    _saver.End();
}

void level_scene_c::SerializePlacedObjects(CChunkSaver& _saver, renderer_c* _renderer, bool _separate_templates)
{
    if (_saver.Begin("objs")) {
        const u32 count = ExchangeCount(_saver, "objN", static_cast<u32>(placedObjects.size()), "objt");
        for (u32 i = 0; i < count; ++i) {
            if (_saver.IsWriting()) {
                WritePlacedObject(_saver, *placedObjects[i]);
                continue;
            }
            auto object = std::make_unique<placed_object_c>();
            if (ReadPlacedObject(_saver, *object, _renderer, _separate_templates))
                placedObjects.push_back(std::move(object));
        }
    }
    _saver.End();
}

bool level_scene_c::ReadPlacedObject(CChunkSaver& _saver, placed_object_c& _object, renderer_c* _renderer,
                                     bool _separate_templates)
{
    bool keep = true;
    if (_saver.Begin("objt")) {
        ExchangePlacedLeaves(_saver, _object);
        if (_object.templateIndex >= templates.size()) {
            Warn(std::string("Placed object \"") + _object.name.GetData() + "\" names template " +
                     std::to_string(_object.templateIndex) + " of " + std::to_string(templates.size()) + "; skipped.",
                 _renderer);
            keep = false;
        } else {
            if (_separate_templates) {
                _object.ownTemplate = LoadTemplate(templates[_object.templateIndex]->GetFileName(), _renderer);
                _object.tmpl = _object.ownTemplate.get();
                _object.node = _object.tmpl->GetNode();
            } else {
                _object.tmpl = templates[_object.templateIndex].get();
                _object.ownedNode.reset(_object.tmpl->GetNode()->Clone());
                _object.node = _object.ownedNode.get();
            }
            _object.node->SetName(_object.name);
            _object.node->position = _object.position;
            _object.node->rotation = _object.rotation;
            _object.node->scale = _object.scale;
            _object.parameters.SerializeChunk(_saver);
        }
    }
    _saver.End();
    return keep;
}

void level_scene_c::WritePlacedObject(CChunkSaver& _saver, placed_object_c& _object)
{
    if (_object.node) {
        _object.name = _object.node->GetName();
        _object.position = _object.node->position;
        _object.rotation = _object.node->rotation;
        _object.scale = _object.node->scale;
    }
    if (_saver.Begin("objt")) {
        ExchangePlacedLeaves(_saver, _object);
        _object.parameters.SerializeChunk(_saver);
    }
    _saver.End();
}

void level_scene_c::SerializeLevelObjects(CChunkSaver& _saver, renderer_c* _renderer)
{
    if (_saver.Begin("parO")) {
        const u32 count = ExchangeCount(_saver, "objN", static_cast<u32>(levelObjects.size()), "obj");
        for (u32 i = 0; i < count; ++i) {
            if (_saver.Begin("obj")) {
                if (_saver.IsWriting()) {
                    u32 type = static_cast<u32>(levelObjects[i]->GetType());
                    _saver.LeafU32("type", type);
                    levelObjects[i]->Serialize(_saver, 0, _renderer);
                } else {
                    u32 type = 0;
                    _saver.LeafU32("type", type);
                    std::unique_ptr<parameter_object_c> object = CreateParameterObject(static_cast<int>(type));
                    if (object) {
                        object->Serialize(_saver, 0, _renderer);
                        levelObjects.push_back(std::move(object));
                    } else {
                        Warn("Level object of unknown class " + std::to_string(type) + " skipped.", _renderer);
                    }
                }
            }
            _saver.End();
        }
    }
    _saver.End();
}

void level_scene_c::AddToScene(aggregate_c* _aggregate)
{
    if (_aggregate == nullptr)
        return;
    Detach();
    attached = _aggregate;
    auto add = [&](null_object_c* _node, bool _ray_testable) {
        if (_node == nullptr || _aggregate->GetObjects().Contains(_node))
            return;
        _node->SetVisibility(true, _ray_testable);
        _aggregate->AddObject(_node);
        attachedNodes.push_back(_node);
    };
    for (const auto& object : placedObjects)
        add(object->node, true);
    for (const auto& forest : forests)
        add(forest->entity.get(), true);
    for (const auto& water : waters)
        add(water->entity.get(), true);
    for (const auto& area : areas)
        add(area->node, true);
    for (const auto& object : levelObjects)
        add(object->GetEntity(), false);
}

parameter_object_c* level_scene_c::FindParameterObject(const char* _name) const
{
    for (const auto& object : levelObjects)
        if (object->name == _name)
            return object.get();
    return nullptr;
}
