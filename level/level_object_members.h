#pragma once
// Pieces shared by the level objects that show an engine effect: the entity
// members their extra channels drive, the entity flag bits they set, and the
// editor parameters they export alike.
#include "foundation/types.h"
#include "foundation/vector_math.h"

class parameter_list_c;

// Envelope target indices of entity members (engine/entity.h and the
// classes below it).
inline constexpr u32 entity_target_dissolve = 24;
inline constexpr u32 entity_target_speed_min = 137;
inline constexpr u32 entity_target_speed_max = 138;
inline constexpr u32 entity_target_angle_min = 139;
inline constexpr u32 entity_target_angle_max = 140;
inline constexpr u32 entity_target_lifetime_min = 141;
inline constexpr u32 entity_target_lifetime_max = 142;
inline constexpr u32 entity_target_intensity = 156;

inline constexpr u32 entity_additive = 0x1000;
inline constexpr u32 entity_filtering = 0x10000;

// "Position", "Rotation#R" (degrees in the list) and "Scale".
void ExchangeTransform(parameter_list_c& _list, bool _read, vec3_c& _position, vec3_c& _rotation, vec3_c& _scale);
// A byte flag as a bool parameter.
void ExchangeFlag(parameter_list_c& _list, const char* _name, u8& _flag, bool _read);
