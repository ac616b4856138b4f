#pragma once
// font_c: a device font shared through the renderer's font cache.
// font_cache_c: the cache; the renderer supplies the factory and the fonts.
#include "engine/font_def.h"
#include "engine/resource_cache.h"

#include <ostream>

class font_c : public named_node_c<font_c> {
public:
    font_def_c definition;
    u32 useCount = 0;

    font_c(const char* _key, const font_def_c& _definition);
    virtual ~font_c() = default;

    // Pixel width and height of a text in the second text form.
    virtual void MeasureTextB(const char* _text, i32& _width, i32& _height) = 0;
    // Pixel width and height of a text.
    virtual void MeasureText(const char* _text, i32& _width, i32& _height) = 0;
    virtual u32 GetSize() const { return 0; }
};

class font_cache_c : public resource_cache_c<font_c> {
public:
    // The renderer's factory; throws "Invalid font definition!" for a
    // definition it cannot use.
    virtual font_c* CreateFont(const char* _key, const font_def_c& _definition) = 0;

    // Find-or-create by the definition's key; the use count is not touched.
    font_c* GetFont(const font_def_c& _definition);

    // "Font Cache: " header, then "name, KB KB, count hit(s)" per entry.
    void PrintStatistics(std::ostream& _out) const;
};
