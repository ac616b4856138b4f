#include "platform/dplay8/dplay8.h"

#include <atomic>
#include <random>

dpn_guid_c DpnNewGuid()
{
    // Instances only need to differ from each other, not to be secret.
    static thread_local std::mt19937_64 generator{std::random_device{}()};
    dpn_guid_c guid;
    for (std::size_t i = 0; i < guid.bytes.size(); i += 8) {
        const u64 value = generator();
        for (std::size_t j = 0; j < 8; ++j)
            guid.bytes[i + j] = static_cast<u8>(value >> (8 * j));
    }
    return guid;
}

std::u16string DpnWiden(const std::string& text, std::size_t max_units)
{
    std::u16string wide;
    for (std::size_t i = 0; i < text.size() && i < max_units; ++i)
        wide += static_cast<char16_t>(static_cast<unsigned char>(text[i]));
    return wide;
}

std::string DpnNarrow(const std::u16string& text)
{
    std::string narrow;
    for (char16_t unit : text)
        narrow += unit <= 0xFF ? static_cast<char>(unit) : '?';
    return narrow;
}

dpn_handle DpnNextHandle()
{
    static std::atomic<dpn_handle> next{1};
    dpn_handle handle = next++;
    if (handle == DPN_INVALID_HANDLE)
        handle = next++;
    return handle;
}

dpn_result dplay8_object_c::Initialize(void* _context, dpn_message_handler _handler, u32)
{
    if (_handler == nullptr)
        return DPNERR_INVALIDPARAM;
    if (this->_handler != nullptr)
        return DPNERR_ALREADYINITIALIZED;
    this->_context = _context;
    this->_handler = _handler;
    return DPN_OK;
}
