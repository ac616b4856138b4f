#pragma once
// The default control bindings, "actions.accfg" at the archive's root: the
// keyboard layout a new player starts with, and what the controls screen's
// "defaults" brings back. The order of the actions is the order of the
// names in "data\common\actions.txt".
//
// The stick's axes are pairs of keys: the first of a pair drives its action
// to -1, the second to +1, each ramping in a quarter of a second and falling
// back when released.
//   up / down            Up arrow (nose down) / Down arrow (nose up)
//   left / right         Right arrow / Left arrow (bank left)
//   tail-left / -right   X / Z (rudder left)
//   fire Space, bomb B, rocket R, thrust up =, thrust down -, auto-level A,
//   look L, camera C, map M, cokpit view F5, guns view F6, outside view F7,
//   chase view F8, follow_me F1, attack F2, patrol F3, help F4, pause P
#include "input/binding_record.h"
#include "tools/data-kit/data_files.h"

#include <vector>

inline constexpr char kDefaultBindingsFile[] = "actions.accfg";

std::vector<binding_s> DefaultBindings();
void AddDefaultBindings(data_files_t& _files);
