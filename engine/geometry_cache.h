#pragma once
// geometry_c: a device geometry shared through the renderer's geometry cache,
// named by its definition's key. geometry_cache_c: the cache; the renderer
// supplies the factory and the device side.
#include "engine/geometry_def.h"
#include "engine/resource_cache.h"

#include <ostream>

class geometry_c : public named_node_c<geometry_c> {
public:
    geometry_def_c definition; // a copy; shares the primitive sets
    u32 useCount = 0;

    geometry_c(const char* _key, const geometry_def_c& _definition);
    virtual ~geometry_c() = default;

    // (Re)builds the device buffers from a definition.
    virtual void Update(const geometry_def_c& _definition) = 0;
    // Bytes held on the device.
    virtual u32 GetSize() const { return 0; }

    // Update with the stored definition.
    void Rebuild() { Update(definition); }
};

class geometry_cache_c : public resource_cache_c<geometry_c> {
public:
    // The renderer's factory: a new geometry for the key and definition.
    virtual geometry_c* CreateGeometry(const char* _key, const geometry_def_c& _definition) = 0;

    // Find-or-create by the definition's key; the use count is not touched.
    geometry_c* GetGeometry(const geometry_def_c& _definition);

    // "Geometry Cache: " header, then "name, KB KB, count hit(s)" per entry.
    void PrintStatistics(std::ostream& _out) const;
};
