#include "engine/geometry_cache.h"

geometry_c::geometry_c(const char* _key, const geometry_def_c& _definition) : definition(_definition)
{
    name = _key;
}

geometry_c* geometry_cache_c::GetGeometry(const geometry_def_c& _definition)
{
    return FindOrCreate(_definition,
                        [this](const char* _key, const geometry_def_c& _def) { return CreateGeometry(_key, _def); });
}

void geometry_cache_c::PrintStatistics(std::ostream& _out) const
{
    PrintPlainStatistics(_out, "Geometry Cache: ");
}
