#include "engine/import/lws_reader.h"

#include <cstring>

#include "engine/bone.h"
#include "engine/camera.h"
#include "engine/geom_object.h"
#include "engine/light.h"
#include "engine/scene.h"
#include "foundation/file_error.h"

bool IsLwsFile(const input_file_c& _file, char _version)
{
  const u8* at = _file.GetPointer();
  if (at == nullptr)
    return false;
  const u32 left = _file.GetSize() - _file.GetPosition();
  const char unix[6] = {'L', 'W', 'S', 'C', '\n', _version};
  const char dos[7] = {'L', 'W', 'S', 'C', '\r', '\n', _version};
  return (left >= 6 && std::memcmp(at, unix, 6) == 0) || (left >= 7 && std::memcmp(at, dos, 7) == 0);
}

lws_reader_c::lws_reader_c(input_file_c& _file) : tokens(_file), fileName(_file.GetName()), folder(fileName) {}

lws_reader_c::~lws_reader_c() = default;
lws_reader_c::object_c::object_c() = default;
lws_reader_c::object_c::~object_c() = default;

void lws_reader_c::AddBone(const string_c& _name)
{
  if (objects.empty() || currentObject == nullptr)
    return;
  auto record = std::make_unique<bone_record_c>();
  record->bone = std::make_unique<bone_c>(_name);
  record->raw = record->bone.get();
  record->link.item = record->raw;
  currentLink = &record->link;
  currentBone = record.get();
  currentKind = 4;
  for (auto& object : objects)
    if (object->raw == currentObject)
      object->bones.push_back(std::move(record));
}

bool lws_reader_c::ReadBoneKeyword(const string_c& _word)
{
  auto is = [&](const char* _keyword) { return std::strcmp(_word, _keyword) == 0; };
  if (is("AddBone")) {
    currentBone = nullptr;
    currentLink = nullptr;
    currentKind = 0;
    return true;
  }
  if (is("BoneName")) {
    const string_c name = ReadName();
    AddBone(name);
    return true;
  }
  bone_c* bone = currentBone ? currentBone->raw : nullptr;
  if (is("BoneRestPosition")) {
    if (bone) {
      const f32 x = tokens.ReadFloat();
      const f32 y = tokens.ReadFloat();
      bone->restPosition = vec3_c(x, y, tokens.ReadFloat());
    }
  } else if (is("BoneRestDirection")) {
    if (bone)
      tokens.ReadAngles(bone->restDirection);
  } else if (is("BoneRestLength")) {
    if (bone) {
      const f32 length = tokens.ReadFloat();
      bone->restLength = length > 0.0f ? length : 0.0f;
    }
  } else if (is("BoneWeightMapName")) {
    if (currentBone)
      currentBone->weightMapName = ReadName();
  } else {
    return false;
  }
  return true;
}

void lws_reader_c::Fail(const char* _message) const { throw file_error_c(fileName, _message); }

string_c lws_reader_c::ReadName()
{
  const string_c line = tokens.ReadLine();
  u32 n = line.GetLength();
  while (n > 0 && (line[n - 1] == '\r' || line[n - 1] == ' ' || line[n - 1] == '\t'))
    --n;
  return line.Left(n);
}

string_c lws_reader_c::Backslashed(const string_c& _path)
{
  string_c out = _path;
  for (u32 i = 0; i < out.GetLength(); ++i)
    if (out[i] == '/')
      out.SetChar(i, '\\');
  return out;
}

void lws_reader_c::LoadObjectLayer(const string_c& _path, u32 _layer)
{
  const string_c path = Backslashed(_path);
  const int slash = path.Find('\\', -1);
  const string_c name = slash < 0 ? path : path.Mid(slash + 1, path.GetLength());
  const string_c layerName = ReadObjectLayerName(name, _layer);
  std::unique_ptr<null_object_c> object(LoadGeomObject(name, renderer, _layer));
  AddObject(std::move(object), static_cast<i32>(_layer), layerName);
}

void lws_reader_c::AddObject(std::unique_ptr<null_object_c> _object, i32 _layer, const string_c& _layerName)
{
  auto record = std::make_unique<object_c>();
  record->layer = _layer;
  record->layerName = _layerName;
  record->raw = _object.get();
  record->object = std::move(_object);
  record->link.item = record->raw;
  links.push_back(&record->link);
  currentLink = &record->link;
  currentObject = record->raw;
  currentKind = 1;
  objects.push_back(std::move(record));
}

void lws_reader_c::AddLight(const string_c& _name)
{
  auto record = std::make_unique<light_record_c>();
  record->light = std::make_unique<light_c>(_name);
  record->raw = record->light.get();
  record->link.item = record->raw;
  links.push_back(&record->link);
  currentLink = &record->link;
  currentLight = record->raw;
  currentKind = 2;
  lights.push_back(std::move(record));
}

void lws_reader_c::AddCamera(const string_c& _name)
{
  auto record = std::make_unique<camera_record_c>();
  record->camera = std::make_unique<camera_c>(_name);
  record->raw = record->camera.get();
  record->link.item = record->raw;
  links.push_back(&record->link);
  currentLink = &record->link;
  currentCamera = record->raw;
  currentKind = 3;
  cameras.push_back(std::move(record));
}

bool lws_reader_c::ReadFrameKeyword(const string_c& _word)
{
  // Keywords compare with their case.
  auto is = [&](const char* _keyword) { return std::strcmp(_word, _keyword) == 0; };
  if (is("FirstFrame") || is("PreviewFirstFrame"))
    firstFrame = static_cast<f32>(tokens.ReadInt());
  else if (is("LastFrame") || is("PreviewLastFrame"))
    lastFrame = static_cast<f32>(tokens.ReadInt());
  else if (is("FrameStep") || is("PreviewFrameStep"))
    frameStep = static_cast<f32>(tokens.ReadInt());
  else if (is("FramesPerSecond"))
    frameRate = tokens.ReadFloat() * frameStep;
  else
    return false;
  return true;
}

void lws_reader_c::NameDuplicates()
{
  auto number = [](auto& _records) {
    std::vector<string_c> names;
    for (auto& record : _records)
      names.push_back(record->raw->GetName());
    for (size_t i = 0; i < names.size(); ++i) {
      u32 seen = 0;
      u32 total = 0;
      for (size_t j = 0; j < names.size(); ++j) {
        if (names[j] == names[i]) {
          ++total;
          if (j <= i)
            ++seen;
        }
      }
      if (total > 1)
        _records[i]->raw->SetName(string_c("%s (%u)", names[i].GetData(), seen));
    }
  };
  // Layers of one file: the layer name tells them apart.
  std::vector<bool> suffixed(objects.size(), false);
  for (size_t i = 0; i < objects.size(); ++i)
    for (size_t j = 0; j < objects.size(); ++j)
      if (objects[i]->layer >= 0 && objects[j]->layer >= 0 && objects[i]->layer != objects[j]->layer &&
          string_c(objects[i]->raw->GetName()) == objects[j]->raw->GetName())
        suffixed[i] = true;
  for (size_t i = 0; i < objects.size(); ++i)
    if (suffixed[i])
      objects[i]->raw->SetName(string_c("%s:%s", objects[i]->raw->GetName().GetData(), objects[i]->layerName.GetData()));
  number(cameras);
  number(lights);
  number(objects);
}

void lws_reader_c::AddItemsToScene(u32 _activeCamera)
{
  for (size_t i = 0; i < cameras.size(); ++i) {
    scene->AddCamera(cameras[i]->camera.release());
    if (i == _activeCamera)
      scene->SetActiveCamera(cameras[i]->raw);
  }
  for (auto& record : lights)
    scene->AddLight(record->light.release());
  for (auto& record : objects)
    scene->AddObject(record->object.release());
}

void lws_reader_c::Finish(u32 _activeCamera, const std::function<entity_c*(u32)>& _resolve, const char* _notFound,
                          const std::function<entity_c*(const object_c&, u32)>& _resolveBone,
                          const char* _boneNotFound)
{
  scene->Play(scene->timeOffset, firstFrame / frameRate, lastFrame / frameRate,
              (scene->GetFlags() & scene_looping) != 0);
  NameDuplicates();
  AddItemsToScene(_activeCamera);
  // Bones go to their mesh object; a null object has no skeleton to hold them.
  for (auto& object : objects) {
    auto* geom = dynamic_cast<geom_object_c*>(object->raw);
    for (auto& record : object->bones) {
      record->raw->weightMapName = record->weightMapName;
      if (geom)
        geom->AddBone(record->bone.release());
    }
  }
  for (auto& object : objects) {
    auto* geom = dynamic_cast<geom_object_c*>(object->raw);
    for (auto& record : object->bones) {
      if (!geom || record->link.parent == 0)
        continue;
      entity_c* parent = _resolveBone(*object, record->link.parent);
      if (parent == nullptr)
        Fail(_boneNotFound);
      if (auto* parentBone = dynamic_cast<bone_c*>(parent))
        geom->SetBoneParent(record->raw, parentBone);
    }
  }
  for (const link_c* link : links) {
    if (link->parent != 0) {
      entity_c* parent = _resolve(link->parent);
      if (parent == nullptr)
        Fail(_notFound);
      scene->SetParent(link->item, parent);
    }
    if (link->target != 0) {
      entity_c* target = _resolve(link->target);
      if (target == nullptr)
        Fail(_notFound);
      scene->SetTarget(link->item, target);
    }
  }
}
