// Reads arbitrary bytes as a stored binding chunk, with a keyboard and a
// joystick attached so bindings find their devices. What is accepted must
// write back and read again to the same actions; what is refused must leave
// the actions as they were.
#include "input/controllers.h"
#include "level/chunk_saver.h"
#include "platform/dinput8/script_input.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const GUID stick = MakeGuid(0x51C4A001, 1, 2, 1, 2, 3, 4, 5, 6, 7, 8);

bool Read(controllers_c& _controllers, std::vector<u8>& _bytes)
{
    CChunkSaver saver;
    saver.OpenBuffer(CChunkSaver::mode_read, _bytes.data(), static_cast<u32>(_bytes.size()), "fuzz.accfg");
    return _controllers.SerializeActions(saver);
}

std::vector<u8> Write(controllers_c& _controllers)
{
    CChunkSaver saver;
    u8 unused = 0;
    saver.OpenBuffer(CChunkSaver::mode_write, &unused, 1);
    _controllers.SerializeActions(saver);
    return saver.GetWrittenBytes();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    if (size == 0 || size > 1u << 20)
        return 0;
    script_input_c input;
    script_input_scope_c scope(input);
    input.AddDevice(DI8DEVTYPE_KEYBOARD, GUID_SysKeyboard, "Keyboard").AddButton(0x1E, "A").AddButton(0x1F, "S");
    input.AddDevice(DI8DEVTYPE_JOYSTICK, stick, "Stick").AddAxis(0, "X").AddButton(48, "Trigger");

    controllers_c controllers(nullptr);
    std::vector<u8> before = Write(controllers);
    std::vector<u8> bytes(data, data + size);
    if (!Read(controllers, bytes)) {
        if (Write(controllers) != before)
            std::abort();
        return 0;
    }
    // Every accepted binding is usable every frame.
    controllers.Update(0.02f);
    std::vector<u8> written = Write(controllers);
    controllers_c again(nullptr);
    if (!Read(again, written) || again.GetActionCount() != controllers.GetActionCount())
        std::abort();
    for (u32 i = 0; i < controllers.GetActionCount(); ++i) {
        const action_c& a = controllers.GetAction(i);
        const action_c& b = again.GetAction(i);
        // Devices differ between the two holders; compare where each binds.
        if (!(a.name == b.name) || !(a.device_guid == b.device_guid) || a.object_number != b.object_number ||
            a.paired != b.paired || (a.device == nullptr) != (b.device == nullptr))
            std::abort();
        if (a.value < -1.0f || a.value > 1.0f)
            std::abort();
    }
    return 0;
}
