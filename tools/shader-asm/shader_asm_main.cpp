// shader-asm: assembles the renderer's shader programs into a C++ source
// of token arrays.
//   shader-asm <output.cpp> <array name>=<program.asm>[:<version>] ...
// Each program becomes `extern const u32 <array name>[]`; a version after
// the file name replaces the program's own. Errors name the
// file and line and end the program with status 1.
#include "tools/shader-asm/shader_assembler.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

int main(int _argc, char** _argv)
{
    if (_argc < 3) {
        std::cerr << "usage: shader-asm <output.cpp> <name>=<program.asm> ...\n";
        return 1;
    }
    std::ostringstream out;
    out << "// Made by shader-asm from the programs in render_d3d9/shaders.\n"
           "#include \"foundation/types.h\"\n\n";
    for (int i = 2; i < _argc; ++i) {
        const std::string argument = _argv[i];
        const auto equals = argument.find('=');
        if (equals == std::string::npos) {
            std::cerr << "shader-asm: expected <name>=<file>, got " << argument << "\n";
            return 1;
        }
        const std::string name = argument.substr(0, equals);
        std::string path = argument.substr(equals + 1);
        std::string version;
        const auto colon = path.rfind(':');
        if (colon != std::string::npos) {
            version = path.substr(colon + 1);
            path = path.substr(0, colon);
        }
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            std::cerr << "shader-asm: cannot read " << path << "\n";
            return 1;
        }
        std::stringstream source;
        source << file.rdbuf();
        try {
            const std::vector<u32> tokens =
                AssembleShader(version.empty() ? source.str() : RetargetShader(source.str(), version));
            out << "extern const u32 " << name << "[];\nconst u32 " << name << "[] = {";
            for (u64 t = 0; t < tokens.size(); ++t) {
                char word[16];
                std::snprintf(word, sizeof(word), "0x%08Xu", tokens[t]);
                out << (t % 6 == 0 ? "\n    " : " ") << word << ",";
            }
            out << "\n};\n\n";
        } catch (const shader_asm_error_c& error) {
            std::cerr << path << ": " << error.what() << "\n";
            return 1;
        }
    }
    std::ofstream output(_argv[1], std::ios::binary | std::ios::trunc);
    output << out.str();
    return output ? 0 : 1;
}
