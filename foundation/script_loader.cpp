#include "foundation/script_loader.h"

#include "foundation/file_error.h"
#include "foundation/path.h"
#include "platform/win32/crt_text.h"

namespace {
bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}
}

script_loader_c::script_loader_c(const char* fileName) : script_loader_c(fileName, nullptr) {}

script_loader_c::script_loader_c(const char* fileName, const script_loader_c* parent)
    : file(fileName), parent(parent), depth(parent ? parent->depth + 1 : 0)
{
    cursor = reinterpret_cast<const char*>(file.GetData());
    end = cursor ? cursor + file.GetSize() : cursor;
}

script_loader_c::~script_loader_c() = default;

const char* script_loader_c::ReadCommand()
{
    return ReadCommandInto(*this);
}

double script_loader_c::GetProgress() const
{
    if (file.GetSize() == 0)
        return 0.0;
    return static_cast<double>(cursor - reinterpret_cast<const char*>(file.GetData())) / file.GetSize();
}

const char* script_loader_c::SkipComment(const char* p) const
{
    while (p < end && !IsLineEnd(*p))
        ++p;
    return p;
}

const char* script_loader_c::LookPastBackslash(const char* p) const
{
    while (p < end) {
        if (*p == ' ' || *p == '\t')
            ++p;
        else if (*p == ';' || (*p == '/' && p + 1 < end && p[1] == '/'))
            return SkipComment(p);
        else if (*p == '/')
            ++p;
        else
            break;
    }
    return p;
}

void script_loader_c::ReadLine()
{
    line.Clear();
    while (cursor < end && !IsLineEnd(*cursor)) {
        const char c = *cursor;
        if (c == ';' || (c == '/' && cursor + 1 < end && cursor[1] == '/')) {
            cursor = SkipComment(cursor);
        } else if (c == '/' || c == '\0') {
            ++cursor;
        } else if (c == '\\') {
            const char* next = LookPastBackslash(cursor + 1);
            if (next >= end) {
                cursor = end;
            } else if (IsLineEnd(*next)) {
                cursor = next + 1;
                if (*next == '\r' && cursor < end && *cursor == '\n')
                    ++cursor;
                while (cursor < end && (*cursor == ' ' || *cursor == '\t'))
                    ++cursor;
                line += ' ';
            } else {
                line += '\\';
                ++cursor;
            }
        } else {
            line += c;
            ++cursor;
        }
    }
    int last = static_cast<int>(line.GetLength()) - 1;
    while (last >= 0 && (line[last] == ' ' || line[last] == '\t'))
        --last;
    line.Truncate(last + 1);
}

const char* script_loader_c::ReadCommandInto(command_c& target)
{
    for (;;) {
        if (include) {
            if (const char* name = include->ReadCommandInto(target))
                return name;
            include.reset();
        }
        if (cursor >= end)
            return nullptr;
        while (cursor < end && (*cursor == ' ' || *cursor == '\t' || IsLineEnd(*cursor)))
            ++cursor;
        ReadLine();
        const char* name = target.Parse(line);
        if (!name)
            continue;
        if (_stricmp(name, "#include") != 0)
            return name;
        const char* included;
        try {
            included = target.GetParameter(1u);
        } catch (command_error_c& error) {
            error.SetFileName(file.GetPath().GetPath());
            throw;
        }
        OpenInclude(included);
    }
}

void script_loader_c::OpenInclude(const char* name)
{
    const string_c full = MakeFullPath(name);
    for (const script_loader_c* reader = this; reader; reader = reader->parent)
        if (reader->file.GetPath().GetPath() == full)
            throw file_error_c(full, "Recursive include!");
    if (depth + 1 > maxIncludeDepth)
        throw file_error_c(full, "Includes nested too deeply!");
    include.reset(new script_loader_c(name, this));
}
