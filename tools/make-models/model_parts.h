#pragma once
// Pieces that the ground targets, vehicles, buildings and airships share:
// surface looks, the "MainGroup" with its side, sound effects of events,
// and the hidden box that bullets are tested against.
#include "tools/make-models/shape_builder.h"

#include "level/template_builder.h"

#include <memory>

surface_look_c Look(const vec3_c& _color, const char* _texture = "", float _tile = 1.0f);
// The template's "MainGroup" (no node) with "iff" = _iff.
template_group_c& MainGroup(object_template_c& _template, int _iff);
// A "sound" effect of the event _event ("fx_onEX" ...) in a group's keys:
// the event, its file and its distance.
void AddSoundEffect(template_group_c& _main, const char* _event, const char* _file, float _distance);
// A text key of a group.
void AddTextKey(template_group_c& _group, const char* _name, const char* _value);
// A box that is ray-tested but never drawn, named "mask".
std::unique_ptr<geom_object_c> Mask(renderer_c* _renderer, const vec3_c& _centre, const vec3_c& _size);
