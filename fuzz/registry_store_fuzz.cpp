// Any sealed body either parses to values that write back to the same bytes,
// or is refused; it never reads outside the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/win32/registry_store_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<u8> bytes(data, data + size);
    SealRegistryStore(bytes);
    const auto values = ParseRegistryValues(bytes);
    if (values && SerializeRegistryValues(*values) != bytes)
        std::abort();
    return 0;
}
