// Reads arbitrary bytes as a force-feedback effect file. The records read
// must write back and read again to the same records, and each must
// translate for SDL's haptic devices, or be refused, without reading past
// its own storage.
#include "platform/dinput8/effect_file.h"
#include "platform/dinput8/sdl_haptic.h"

#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    if (size > 1u << 20)
        return 0;
    std::vector<effect_record_c> records;
    effect_file_c::Read(data, size, records);
    for (effect_record_c& record : records) {
        const DIFILEEFFECT file = record.GetFileEffect();
        SDL_HapticEffect haptic;
        TranslateEffect(file.GuidEffect, *file.lpDiEffect, haptic);
    }
    const std::vector<u8> written = effect_file_c::Write(records);
    std::vector<effect_record_c> again;
    if (effect_file_c::Read(written.data(), written.size(), again) != DI_OK || again.size() != records.size())
        std::abort();
    for (size_t i = 0; i < records.size(); ++i) {
        const effect_record_c& a = records[i];
        const effect_record_c& b = again[i];
        if (!(a.type == b.type) || a.name != b.name || a.axes != b.axes || a.directions != b.directions ||
            a.typeSpecific != b.typeSpecific || a.hasEnvelope != b.hasEnvelope ||
            a.effect.dwDuration != b.effect.dwDuration || a.effect.dwGain != b.effect.dwGain)
            std::abort();
    }
    return 0;
}
