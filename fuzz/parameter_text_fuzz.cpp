// Reads the input as a parameter text file (every name, included ones too,
// serves the same text) and asks each command for typed parameters. Only
// file_error_c and command_error_c may come out.
#include <cstring>
#include <string>

#include "foundation/command.h"
#include "foundation/file_error.h"
#include "foundation/file_system.h"
#include "foundation/script_loader.h"

namespace {
class input_file_system_c : public file_system_c {
public:
    input_file_system_c(const uint8_t* data, size_t size) : data(data), size(static_cast<u32>(size)) {}
    u32 GetSize(const char*) override { return size; }
    u32 Load(const char* name, void* buffer, u32 bufferSize) override
    {
        if (bufferSize < size)
            throw file_error_c(name, "Out of buffer!");
        if (size)
            std::memcpy(buffer, data, size);
        return size;
    }

private:
    const uint8_t* data;
    u32 size;
};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    input_file_system_c files(data, size);
    try {
        script_loader_c loader("main.txt");
        while (const char* name = loader.ReadCommand()) {
            if (std::strlen(name) == 0 && loader.GetTokens().empty())
                __builtin_trap();
            for (unsigned i = 0; i < loader.GetTokens().size() + 1; ++i) {
                loader.GetFloat(i, 0.0f);
                loader.GetColor(i, vec3_c());
            }
            for (const string_c& parameter : loader.GetNames()) {
                loader.GetInt(parameter, nullptr, 0);
                loader.GetVector(parameter.GetData());
            }
            if (loader.GetProgress() < 0.0 || loader.GetProgress() > 1.0)
                __builtin_trap();
        }
    } catch (const file_error_c&) {
    } catch (const command_error_c&) {}
    const std::string line(reinterpret_cast<const char*>(data), size);
    command_c command(line.c_str());
    return 0;
}
