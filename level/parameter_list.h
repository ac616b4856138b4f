#pragma once
// parameter_list_c: an ordered list of named, typed parameters that owns them.
// Names need not be unique; lookups ignore ASCII letter case and return the
// first match.
//
// The GetSet accessors read (_get true) or write (_get false) the value of the
// first parameter of that name and return true when one existed. When none
// exists, getting leaves the caller's value as it was; setting appends a new
// parameter of the accessor's type (GetSetString makes a file parameter) with
// the value and, for float and int, the given range. An existing parameter of
// another type is converted where the two agree in kind: float, int and bool
// by value (float to int truncates, held in the int range), string and file,
// colour and vector; between other kinds nothing is read or written.
//
// Serialization, both directions:
//   "nuop" (u32 count), then count x "parm" { "ptyp" (u32 type id),
//   the parameter's own leaves }.
// Reading appends the stored parameters; a missing "parm" chunk or an unknown
// type id throws file_error_c naming the file.
#include "level/parameter.h"

#include "foundation/text_string.h"

#include <memory>
#include <vector>

class parameter_list_c {
public:
    parameter_list_c();
    ~parameter_list_c();
    parameter_list_c(parameter_list_c&&) noexcept;
    parameter_list_c& operator=(parameter_list_c&&) noexcept;
    parameter_list_c(const parameter_list_c&) = delete;
    parameter_list_c& operator=(const parameter_list_c&) = delete;

    u32 Count() const { return static_cast<u32>(parameters.size()); }
    // Null past the end.
    parameter_c* Get(u32 _index) const;
    parameter_c* Add(std::unique_ptr<parameter_c> _parameter);
    void Clear();

    // The first parameter at _first or later whose name matches; a negative
    // _first counts as 0. Null when none.
    parameter_c* Find(const char* _name, int _first = 0) const;

    bool GetSetFloat(const char* _name, f32* _value, bool _get, f32 _min, f32 _max);
    bool GetSetInt(const char* _name, i32* _value, bool _get, i32 _min, i32 _max);
    bool GetSetBool(const char* _name, bool* _value, bool _get);
    bool GetSetString(const char* _name, string_c* _value, bool _get);
    bool GetSetColor(const char* _name, vec3_c* _value, bool _get);
    bool GetSetVector(const char* _name, vec3_c* _value, bool _get);
    // Radians in the caller's value, degrees in the parameter.
    bool GetSetRotation(const char* _name, vec3_c* _value, bool _get);

    // Appends clones of every parameter to _target, in order.
    void CopyTo(parameter_list_c& _target) const;

    void Serialize(CChunkSaver& _saver);
    // The list inside its own chunk (the files' "prms"); reading replaces
    // what the list held. A missing chunk leaves the list empty.
    void SerializeChunk(CChunkSaver& _saver, const char* _tag = "prms");

private:
    std::vector<std::unique_ptr<parameter_c>> parameters;
};
