#include "level/level_object_members.h"

#include "level/parameter_list.h"

void ExchangeTransform(parameter_list_c& _list, bool _read, vec3_c& _position, vec3_c& _rotation, vec3_c& _scale)
{
    _list.GetSetVector("Position", &_position, _read);
    _list.GetSetRotation("Rotation#R", &_rotation, _read);
    _list.GetSetVector("Scale", &_scale, _read);
}

void ExchangeFlag(parameter_list_c& _list, const char* _name, u8& _flag, bool _read)
{
    bool value = _flag != 0;
    _list.GetSetBool(_name, &value, _read);
    _flag = value ? 1 : 0;
}
