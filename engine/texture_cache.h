#pragma once
// texture_c: a device texture shared through the renderer's texture cache,
// named by its definition's key. texture_cache_c: the cache; the renderer
// supplies the factory and the device side.
#include "engine/resource_cache.h"
#include "engine/texture_def.h"

#include <ostream>

class texture_c : public named_node_c<texture_c> {
public:
    texture_def_c definition; // a copy; keeps the image the factory loaded into it
    u32 useCount = 0;

    texture_c(const char* _key, const texture_def_c& _definition);
    virtual ~texture_c() = default;

    // Takes over the device objects and properties of _other.
    virtual void TakeOver(texture_c* _other) = 0;
    virtual u32 GetLevelCount() const = 0;
    virtual bool IsCubic() const = 0;
    virtual u32 GetWidth() const { return 0; }
    virtual u32 GetHeight() const { return 0; }
    virtual u32 GetDepth() const { return 0; }
    // Bytes held on the device.
    virtual u32 GetSize() const { return 0; }
};

class texture_cache_c : public resource_cache_c<texture_c> {
public:
    // The renderer's factory: loads the definition's image (its own copy)
    // and makes the device texture.
    virtual texture_c* CreateTexture(const char* _key, const texture_def_c& _definition) = 0;

    // Find-or-create by the definition's key; the use count is not touched.
    texture_c* GetTexture(const texture_def_c& _definition);

    // Builds a fresh texture from the cached one's definition and hands its
    // device objects to the cached texture, which keeps its place, name and
    // use count.
    void Preload(texture_c* _texture);

    // "Texture Cache: " header, then per texture "name, WxHxD, N level(s),
    // [cubic, ]KB KB, count hit(s)".
    void PrintStatistics(std::ostream& _out) const;
};
