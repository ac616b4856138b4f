#pragma once
// career_order_c: which career missions must be done before each one.
//
// File (parameter text): every "Mission" command (letter case ignored) adds
// the list of the next mission, in file order; its named parameters "req1",
// "req2" and "req3", each optional, are the 1-based numbers of the missions
// it needs, appended in that order. Other commands are passed over. A
// missing file throws the file system's file_error_c.
//
// A mission beyond the file's "Mission" commands needs nothing.
#include <vector>

#include "foundation/types.h"

class career_order_c {
public:
    explicit career_order_c(const char* _file_name);

    // The missions that mission _index (0-based) needs; empty beyond the list.
    const std::vector<i32>& GetRequirements(i32 _index) const;
    size_t GetCount() const { return requirements.size(); }
    // True when every needed mission has its flag set in _missions_done (20
    // flags; a number outside 1..20 can never be done).
    bool IsAvailable(i32 _index, const u32* _missions_done, u32 _count) const;

private:
    std::vector<std::vector<i32>> requirements;
};
