#include "input/controllers.h"

#include <vector>

#include "foundation/file_error.h"
#include "foundation/registry.h"
#include "level/chunk_saver.h"

namespace {

void SerializeAction(CChunkSaver& _saver, action_c& _action)
{
    _saver.LeafString("name", _action.name);
    _saver.LeafData("devg", &_action.device_guid, sizeof(GUID));
    _saver.LeafU32("objn", _action.object_number);
}

void SerializeTimes(CChunkSaver& _saver, action_c& _action)
{
    _saver.LeafByte("conn", _action.paired);
    _saver.LeafFloat("cent", _action.fall_back_time);
    _saver.LeafFloat("mmxt", _action.ramp_time);
}

} // namespace

void controllers_c::BindToDevice(action_c& _action) const
{
    input_device_c* device = _devices->FindDevice(_action.device_guid);
    _action.device = device;
    if (device == nullptr)
        return;
    const i32 index = device->FindObject(_action.object_number);
    if (index >= 0)
        _action.object_name = device->GetObjectName(static_cast<u32>(index));
    else if (device->GetObjectCount() > 0)
        _action.object_name = device->GetObjectName(0);
    else
        _action.object_name.Clear();
}

bool controllers_c::SerializeActions(CChunkSaver& _saver)
{
    if (_saver.IsWriting()) {
        _saver.Begin("acac");
        _saver.LeafFloat("musS", _mouseDivisor);
        i32 count = static_cast<i32>(_actions.size());
        _saver.LeafInt("nuac", count);
        for (action_c& action : _actions) {
            SerializeAction(_saver, action);
            SerializeTimes(_saver, action);
        }
        _saver.End();
        return true;
    }
    return _saver.IsReading() && ReadActions(_saver) == read_done;
}

controllers_c::read_e controllers_c::ReadActions(CChunkSaver& _saver)
{
    // Read into copies, so a damaged chunk changes nothing.
    try {
        if (!_saver.Begin("acac")) {
            _saver.End();
            return read_absent;
        }
        f32 divisor = _mouseDivisor;
        _saver.LeafFloat("musS", divisor);
        i32 count = static_cast<i32>(_actions.size());
        _saver.LeafInt("nuac", count);
        if (count < 0 || count > max_actions || (count > 0 && static_cast<u32>(count) > _saver.CountItems("name"))) {
            _saver.End();
            return read_refused;
        }
        std::vector<action_c> actions(_actions);
        actions.resize(static_cast<std::size_t>(count));
        for (action_c& action : actions) {
            SerializeAction(_saver, action);
            BindToDevice(action);
            SerializeTimes(_saver, action);
        }
        _saver.End();
        _mouseDivisor = divisor;
        _actions.swap(actions);
        return read_done;
    } catch (const file_error_c&) {
        return read_refused;
    }
}

bool controllers_c::LoadFromRegistry(const char* _company, const char* _product, const char* _valueName,
                                     u32 _minVersion)
{
    registry_reader_c reader(HKEY_CURRENT_USER, RegistryKeyPath(_company, _product).c_str());
    const string_c sizeName("%s_size", _valueName);
    const string_c versionName("%s_version", _valueName);
    u32 size = 0, version = 0;
    if (!reader.GetDword(sizeName, &size) || !reader.GetDword(versionName, &version) || version < _minVersion)
        return false;
    // The size comes from the store, so it is bounded before it allocates.
    if (size == 0 || size > kRegistryMaxValueSize)
        return false;
    std::vector<u8> buffer(size);
    if (!reader.GetBinary(_valueName, buffer.data(), size))
        return false;
    CChunkSaver saver;
    const bool opened = saver.OpenBuffer(CChunkSaver::mode_read, buffer.data(), size, _valueName);
    // A damaged store counts as none, so the defaults replace it.
    const bool usable = !opened || ReadActions(saver) != read_refused;
    saver.Close();
    return usable;
}

void controllers_c::SaveToRegistry(const char* _company, const char* _product, const char* _valueName, u32 _version)
{
    CChunkSaver saver;
    u8 unused = 0;
    saver.OpenBuffer(CChunkSaver::mode_write, &unused, 1);
    SerializeActions(saver);
    const std::vector<u8> bytes = saver.GetWrittenBytes();
    saver.Close();
    registry_writer_c writer(HKEY_CURRENT_USER, RegistryKeyPath(_company, _product).c_str());
    if (bytes.empty())
        return;
    const string_c sizeName("%s_size", _valueName);
    const string_c versionName("%s_version", _valueName);
    if (writer.SetDword(sizeName, static_cast<u32>(bytes.size())) && writer.SetDword(versionName, _version))
        writer.SetBinary(_valueName, bytes.data(), static_cast<u32>(bytes.size()));
}

void controllers_c::LoadFromFile(const char* _fileName)
{
    CChunkSaver saver;
    if (saver.Open(CChunkSaver::mode_read, _fileName))
        SerializeActions(saver);
    saver.Close();
}
