#include <cstring>

#include "foundation/memory_file.h"
#include "image/file_bytes.h"
#include "image/flare.h"

void ReadFlareDef(input_file_c& file, flare_def_c& def)
{
    u32 words[38];
    for (u32& word : words) {
        const u32 before = file.GetPosition();
        file.ReadU32(word);
        if (file.GetPosition() == before)
            ThrowFileError(file.GetName(), "Unexpected end of file!");
    }
    std::memcpy(&def, words, sizeof words);
}

void WriteFlareDef(output_file_c& file, const flare_def_c& def)
{
    u32 words[38];
    std::memcpy(words, &def, sizeof words);
    for (u32 word : words)
        file.WriteU32(word);
}
