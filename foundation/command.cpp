#include "foundation/command.h"

#include <locale>
#include <sstream>
#include <string>

#include "platform/win32/crt_text.h"

namespace {
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Copies up to the closing character (dropped); an unterminated run goes to
// the end of the text.
const char* CopyUntil(const char* p, char closing, std::string& token)
{
    while (*p && *p != closing)
        token += *p++;
    return *p ? p + 1 : p;
}

const char* CopyGroup(const char* p, std::string& token)
{
    while (IsBlank(*p))
        ++p;
    while (*p && *p != '}') {
        if (IsBlank(*p)) {
            while (IsBlank(*p))
                ++p;
            token += ' ';
        } else {
            token += *p++;
        }
    }
    return *p ? p + 1 : p;
}

const string_c* FindNamed(const std::vector<string_c>& names, const std::vector<string_c>& values, const char* name,
                          const char* altName)
{
    for (size_t i = 0; i < names.size(); ++i)
        if ((name && _stricmp(names[i], name) == 0) || (altName && _stricmp(names[i], altName) == 0))
            return &values[i];
    return nullptr;
}

float ToFloat(const char* text)
{
    return static_cast<float>(TextToDouble(text));
}
}

command_error_c::command_error_c(const string_c& command, const string_c& parameter, const char* message)
    : std::runtime_error(message ? message : ""), command(command), parameter(parameter)
{}

command_c::command_c(const char* line)
{
    Parse(line);
}

void command_c::Clear()
{
    tokens.clear();
    names.clear();
    values.clear();
}

const char* command_c::Parse(const char* line)
{
    Clear();
    const char* p = line ? line : "";
    std::string token;
    for (;;) {
        while (IsBlank(*p))
            ++p;
        if (!*p)
            break;
        token.clear();
        while (*p && !IsBlank(*p)) {
            if (*p == '"')
                p = CopyUntil(p + 1, '"', token);
            else if (*p == '<')
                p = CopyUntil(p + 1, '>', token);
            else if (*p == '{')
                p = CopyGroup(p + 1, token);
            else
                token += *p++;
        }
        const size_t equals = token.find('=');
        if (equals == std::string::npos) {
            tokens.emplace_back(token);
        } else {
            names.emplace_back(token.substr(0, equals));
            values.emplace_back(token.substr(equals + 1));
        }
    }
    return GetName();
}

const char* command_c::GetName() const
{
    return tokens.empty() ? nullptr : tokens[0].GetData();
}

const char* command_c::FindParameter(unsigned index) const
{
    return index < tokens.size() ? tokens[index].GetData() : nullptr;
}

const char* command_c::FindParameter(const char* name) const
{
    return FindParameter(name, nullptr);
}

const char* command_c::FindParameter(const char* name, const char* altName) const
{
    const string_c* value = FindNamed(names, values, name, altName);
    return value ? value->GetData() : nullptr;
}

int command_c::GetInt(const char* name, const char* altName, int defaultValue) const
{
    const char* text = FindParameter(name, altName);
    return text ? TextToInt(text) : defaultValue;
}

float command_c::GetFloat(unsigned index, float defaultValue) const
{
    const char* text = FindParameter(index);
    return text ? ToFloat(text) : defaultValue;
}

float command_c::GetFloat(const char* name, float defaultValue) const
{
    return GetFloat(name, nullptr, defaultValue);
}

float command_c::GetFloat(const char* name, const char* altName, float defaultValue) const
{
    const char* text = FindParameter(name, altName);
    return text ? ToFloat(text) : defaultValue;
}

vec3_c command_c::GetColor(unsigned index, const vec3_c& defaultValue) const
{
    const char* text = FindParameter(index);
    return text ? ParseColor(text) : defaultValue;
}

vec3_c command_c::GetColor(const char* name, const vec3_c& defaultValue) const
{
    return GetColor(name, nullptr, defaultValue);
}

vec3_c command_c::GetColor(const char* name, const char* altName, const vec3_c& defaultValue) const
{
    const char* text = FindParameter(name, altName);
    return text ? ParseColor(text) : defaultValue;
}

void command_c::NotFound(const string_c& parameter) const
{
    throw command_error_c(GetName(), parameter, "Parameter not found!");
}

const char* command_c::GetParameter(unsigned index) const
{
    const char* text = FindParameter(index);
    if (!text)
        NotFound(string_c("%u", index));
    return text;
}

const char* command_c::GetParameter(const char* name) const
{
    const char* text = FindParameter(name);
    if (!text)
        NotFound(name);
    return text;
}

const char* command_c::GetParameter(const string_c& name) const
{
    return GetParameter(name.GetData());
}

const char* command_c::GetParameter(const char* name, const char* altName) const
{
    const char* text = FindParameter(name, altName);
    if (!text)
        NotFound(string_c("%s | %s", name ? name : "", altName ? altName : ""));
    return text;
}

int command_c::GetInt(unsigned index) const
{
    return TextToInt(GetParameter(index));
}

int command_c::GetInt(const char* name) const
{
    return TextToInt(GetParameter(name));
}

float command_c::GetFloat(unsigned index) const
{
    return ToFloat(GetParameter(index));
}

float command_c::GetFloat(const char* name) const
{
    return ToFloat(GetParameter(name));
}

float command_c::GetFloat(const char* name, const char* altName) const
{
    return ToFloat(GetParameter(name, altName));
}

vec3_c command_c::GetColor(const char* name) const
{
    return ParseColor(GetParameter(name));
}

vec3_c command_c::GetVector(unsigned index) const
{
    return ParseVector(GetParameter(index));
}

vec3_c command_c::GetVector(const char* name) const
{
    return ParseVector(GetParameter(name));
}

vec3_c command_c::ParseVector(const char* text)
{
    std::istringstream in(text ? text : "");
    in.imbue(std::locale::classic());
    float v[3] = {0.0f, 0.0f, 0.0f};
    for (float& component : v) {
        float value = 0.0f;
        if (!(in >> value))
            break;
        component = value;
    }
    return vec3_c(v[0], v[1], v[2]);
}

vec3_c command_c::ParseColor(const char* text)
{
    vec3_c color = ParseVector(text);
    if (color.x > 1.0f || color.y > 1.0f || color.z > 1.0f) {
        const float scale = 0.003921569f;
        color = vec3_c(color.x * scale, color.y * scale, color.z * scale);
    }
    return color;
}
