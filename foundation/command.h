#pragma once
// command_c: one command of a parameter text file, split into positional
// tokens (token 0 is the command's name) and name=value parameters, with
// typed questions about them. Duplicates are kept; every lookup takes the
// first match, and names compare without regard to ASCII case.
//
// Tokenising: blanks (space, tab, CR, LF) separate tokens. "..." and <...>
// copy everything up to the closing character (without the pair); {...} is a
// group whose blank runs become single spaces. A token goes on after a
// closing character, so a"b c"d is the one token ab cd. There is no nesting
// and no escape; unterminated quotes and groups run to the end. A token with
// '=' splits at the first one into a name and a value, quoted or not.
//
// Numbers are read as atoi/atof would in the "C" locale (0 when not a number).
// Colours may be written 0..1 or 0..255: when any component is above 1 all
// three are divided by 255.
#include <stdexcept>
#include <vector>

#include "foundation/text_string.h"
#include "foundation/vector_math.h"

// Thrown when a required parameter is missing ("Parameter not found!").
class command_error_c : public std::runtime_error {
public:
    command_error_c(const string_c& command, const string_c& parameter, const char* message);

    // The name of the command that was asked.
    const string_c& GetCommand() const { return command; }
    // The parameter asked for: its name, its index, or "first | second".
    const string_c& GetParameterName() const { return parameter; }
    // The file the command came from when a script loader knows it, else empty.
    const string_c& GetFileName() const { return fileName; }
    void SetFileName(const string_c& name) { fileName = name; }

private:
    string_c command;
    string_c parameter;
    string_c fileName;
};

class command_c {
public:
    command_c() = default;
    explicit command_c(const char* line);

    // Clears, tokenises line and returns GetName().
    const char* Parse(const char* line);
    void Clear();
    // Token 0, or null when there is no positional token.
    const char* GetName() const;

    // Lookups that return null when absent.
    const char* FindParameter(unsigned index) const;
    const char* FindParameter(const char* name) const;
    // The first entry named either name; a null altName is ignored.
    const char* FindParameter(const char* name, const char* altName) const;

    // Getters that return the default when the parameter is absent.
    int GetInt(const char* name, const char* altName, int defaultValue) const;
    float GetFloat(unsigned index, float defaultValue) const;
    float GetFloat(const char* name, float defaultValue) const;
    float GetFloat(const char* name, const char* altName, float defaultValue) const;
    vec3_c GetColor(unsigned index, const vec3_c& defaultValue) const;
    vec3_c GetColor(const char* name, const vec3_c& defaultValue) const;
    vec3_c GetColor(const char* name, const char* altName, const vec3_c& defaultValue) const;

    // Getters that throw command_error_c when the parameter is absent.
    const char* GetParameter(unsigned index) const;
    const char* GetParameter(const char* name) const;
    const char* GetParameter(const string_c& name) const;
    const char* GetParameter(const char* name, const char* altName) const;
    int GetInt(unsigned index) const;
    int GetInt(const char* name) const;
    float GetFloat(unsigned index) const;
    float GetFloat(const char* name) const;
    float GetFloat(const char* name, const char* altName) const;
    vec3_c GetColor(const char* name) const;
    vec3_c GetVector(unsigned index) const;
    vec3_c GetVector(const char* name) const;

    // Three blank-separated numbers; components that cannot be read are 0.
    static vec3_c ParseColor(const char* text);
    static vec3_c ParseVector(const char* text);

    const std::vector<string_c>& GetTokens() const { return tokens; }
    const std::vector<string_c>& GetNames() const { return names; }
    const std::vector<string_c>& GetValues() const { return values; }

private:
    [[noreturn]] void NotFound(const string_c& parameter) const;

    std::vector<string_c> tokens;
    std::vector<string_c> names;
    std::vector<string_c> values;
};
