// Rewrites arbitrary text from the older script dialect. The rewrite may
// only drop the "%" of upvalues and add text, and never moves a line.
#include "foundation/types.h"
#include "game/script_dialect.h"

#include <algorithm>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    if (size > 1u << 16)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string rewritten = RewriteOldDialect(text);
    if (std::count(text.begin(), text.end(), '\n') != std::count(rewritten.begin(), rewritten.end(), '\n'))
        std::abort();
    const size_t percents = static_cast<size_t>(std::count(text.begin(), text.end(), '%'));
    if (rewritten.size() + percents < text.size())
        std::abort();
    return 0;
}
