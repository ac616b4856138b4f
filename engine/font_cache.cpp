#include "engine/font_cache.h"

font_c::font_c(const char* _key, const font_def_c& _definition) : definition(_definition)
{
    name = _key;
}

font_c* font_cache_c::GetFont(const font_def_c& _definition)
{
    return FindOrCreate(_definition,
                        [this](const char* _key, const font_def_c& _def) { return CreateFont(_key, _def); });
}

void font_cache_c::PrintStatistics(std::ostream& _out) const
{
    PrintPlainStatistics(_out, "Font Cache: ");
}
