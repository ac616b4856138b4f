#include "screens/career_order.h"

#include <cstdlib>

#include "foundation/script_loader.h"
#include "foundation/text_string.h"

career_order_c::career_order_c(const char* _file_name)
{
    script_loader_c loader(_file_name);
    while (const char* command = loader.ReadCommand()) {
        if (string_c(command) != "Mission")
            continue;
        std::vector<i32>& list = requirements.emplace_back();
        for (const char* key : {"req1", "req2", "req3"})
            if (const char* value = loader.FindParameter(key))
                list.push_back(std::atoi(value));
    }
}

const std::vector<i32>& career_order_c::GetRequirements(i32 _index) const
{
    static const std::vector<i32> none;
    if (_index < 0 || static_cast<size_t>(_index) >= requirements.size())
        return none;
    return requirements[static_cast<size_t>(_index)];
}

bool career_order_c::IsAvailable(i32 _index, const u32* _missions_done, u32 _count) const
{
    for (const i32 needed : GetRequirements(_index))
        if (needed < 1 || static_cast<u32>(needed) > _count || _missions_done[needed - 1] == 0)
            return false;
    return true;
}
