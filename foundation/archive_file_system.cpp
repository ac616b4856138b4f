#include "foundation/archive_file_system.h"

archive_file_system_c::archive_file_system_c(const char* primaryName, const char* secondaryName)
    : primary(std::make_unique<archive_c>(primaryName))
{
    if (secondaryName)
        secondary = std::make_unique<archive_c>(secondaryName);
}

archive_file_system_c::~archive_file_system_c() = default;

std::pair<archive_c*, const archive_entry_c*> archive_file_system_c::Locate(const char* name)
{
    if (secondary)
        if (const archive_entry_c* entry = secondary->Find(name))
            return {secondary.get(), entry};
    return {primary.get(), &primary->GetEntry(name)};
}

u32 archive_file_system_c::GetSize(const char* name)
{
    return Locate(name).second->GetSize();
}

u32 archive_file_system_c::Load(const char* name, void* buffer, u32 bufferSize)
{
    const auto [archive, entry] = Locate(name);
    return archive->ReadEntry(*entry, buffer, bufferSize);
}
