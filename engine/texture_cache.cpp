#include "engine/texture_cache.h"

#include <memory>

texture_c::texture_c(const char* _key, const texture_def_c& _definition) : definition(_definition)
{
    name = _key;
}

texture_c* texture_cache_c::GetTexture(const texture_def_c& _definition)
{
    return FindOrCreate(_definition,
                        [this](const char* _key, const texture_def_c& _def) { return CreateTexture(_key, _def); });
}

void texture_cache_c::Preload(texture_c* _texture)
{
    const texture_def_c definition(_texture->definition);
    string_c key;
    definition.GetKey(key);
    std::unique_ptr<texture_c> fresh(CreateTexture(key, definition));
    _texture->TakeOver(fresh.get());
}

void texture_cache_c::PrintStatistics(std::ostream& _out) const
{
    PrintHeader(_out, "Texture Cache: ");
    for (texture_c* item = GetFirst(); item; item = item->GetNext()) {
        _out << item->GetName() << ", " << item->GetWidth() << "x" << item->GetHeight() << "x" << item->GetDepth()
             << ", " << item->GetLevelCount() << " level(s), ";
        if (item->IsCubic())
            _out << "cubic, ";
        _out << (item->GetSize() >> 10) << " KB, " << item->useCount << " hit(s)\n";
    }
}
