#pragma once
// parameter_c: a named, typed property of the level description. The type ids
// are stored in files:
//
//   1 float   value, min, max (default range -2147483648.0 .. 2147483648.0)
//   2 bool    one byte
//   3 int     value, min, max (default range INT_MIN .. INT_MAX)
//   4 string  text
//   5 color   r, g, b in 0..1
//   6 file    text (a file name)
//   7 vector  x, y, z
//
// Serialize exchanges the leaves "name" (string), "vale" (4 bytes for float
// and int, 1 for bool, 12 for color and vector, a string leaf for string and
// file) and, for float and int, "rMin" and "rMax" in the value's own type.
#include "foundation/types.h"
#include "foundation/vector_math.h"

#include <memory>
#include <string>

class CChunkSaver;

class parameter_c {
public:
    enum type_e {
        type_float = 1,
        type_bool = 2,
        type_int = 3,
        type_string = 4,
        type_color = 5,
        type_file = 6,
        type_vector = 7,
    };

    virtual ~parameter_c();

    // Copies name and value (and range) into a parameter of the same type;
    // another type throws std::invalid_argument.
    virtual void CopyTo(parameter_c& _other) const = 0;
    // Float keeps both limits as floats, int truncates them toward zero
    // (held inside the int range); the other types ignore it.
    virtual void SetRange(double _min, double _max);
    virtual int GetType() const = 0;
    // The value as text ("%f", "True"/"False", "%d", the text, "%3d, %3d, %3d"
    // of each colour component times 256, "%f, %f, %f"), cut to fit _size
    // bytes including the terminator.
    virtual void ToText(char* _buffer, u32 _size) const = 0;
    virtual void Serialize(CChunkSaver& _saver);

    std::unique_ptr<parameter_c> Clone() const;

    std::string name;
};

// A new parameter of type _type_id with its defaults; null outside 1..7.
std::unique_ptr<parameter_c> CreateParameter(int _type_id);

// Float and int parameters: a value and the range an editor offers for it.
template <class value_t>
class parameter_number_c : public parameter_c {
public:
    void CopyTo(parameter_c& _other) const override;
    void Serialize(CChunkSaver& _saver) override;

    value_t value = 0;
    value_t min;
    value_t max;

protected:
    parameter_number_c(value_t _min, value_t _max) : min(_min), max(_max) {}
};

class parameter_float_c : public parameter_number_c<f32> {
public:
    parameter_float_c() : parameter_number_c(-2147483648.0f, 2147483648.0f) {}
    void SetRange(double _min, double _max) override;
    int GetType() const override { return type_float; }
    void ToText(char* _buffer, u32 _size) const override;
};

class parameter_bool_c : public parameter_c {
public:
    void CopyTo(parameter_c& _other) const override;
    int GetType() const override { return type_bool; }
    void ToText(char* _buffer, u32 _size) const override;
    void Serialize(CChunkSaver& _saver) override;

    bool value = false;
};

class parameter_int_c : public parameter_number_c<i32> {
public:
    parameter_int_c() : parameter_number_c(INT32_MIN, INT32_MAX) {}
    void SetRange(double _min, double _max) override;
    int GetType() const override { return type_int; }
    void ToText(char* _buffer, u32 _size) const override;
};

// String and file parameters hold the same kind of value; only the type id
// (and so the editing widget) differs.
class parameter_text_c : public parameter_c {
public:
    void CopyTo(parameter_c& _other) const override;
    void ToText(char* _buffer, u32 _size) const override;
    void Serialize(CChunkSaver& _saver) override;

    std::string value;
};

class parameter_string_c : public parameter_text_c {
public:
    int GetType() const override { return type_string; }
};

class parameter_file_c : public parameter_text_c {
public:
    int GetType() const override { return type_file; }
};

// Colour and vector parameters hold three floats.
class parameter_triple_c : public parameter_c {
public:
    void CopyTo(parameter_c& _other) const override;
    void Serialize(CChunkSaver& _saver) override;

    vec3_c value{0.0f, 0.0f, 0.0f};
};

class parameter_color_c : public parameter_triple_c {
public:
    int GetType() const override { return type_color; }
    void ToText(char* _buffer, u32 _size) const override;
};

class parameter_vector_c : public parameter_triple_c {
public:
    int GetType() const override { return type_vector; }
    void ToText(char* _buffer, u32 _size) const override;
};
