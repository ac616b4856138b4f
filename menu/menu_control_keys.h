#pragma once
// The control-script keys that many controls share, read one way for all:
// fonts ("Charset"), colours, body scenes ("BodyFile"), animation clips and
// their sounds, and the per-frame placing of a body scene in a rectangle.
#include "foundation/types.h"
#include "foundation/vector_math.h"

#include <memory>

class command_c;
class font_handle_c;
class menu_anim_clip_c;
class menu_rect_c;
class renderer_c;
class scene_c;
class sound_source_c;
class sound_system_c;

// "Charset": named "name" (face), "height", and the ints "bold", "italic",
// "underline", "strikeout", "antialiasing" (non-zero = on); absent keys are
// 0 or no face. The font comes from the renderer's font cache.
std::unique_ptr<font_handle_c> ReadMenuFont(const command_c& _command, renderer_c* _renderer);
// The rectangle keys of a control: "x" "y" "w" "h" (left, top, width,
// height) and then, with _corner_form, "x1" "y1" "x2" "y2", which win; a
// form with a key missing changes nothing. True when the first form was
// complete.
bool ReadMenuRectangle(const command_c& _command, menu_rect_c& _rect, bool _corner_form);
// The colour vector of the first positional parameter; 0,0,0 when absent.
vec3_c ReadMenuColor(const command_c& _command);
// Loads the scene (file_error_c names a missing file) and clears its flag
// bit 4, as every control body does; the bodies of buttons and their kin
// also get the clip planes 1 and 1000.
std::unique_ptr<scene_c> LoadMenuBodyScene(const char* _file_name, renderer_c* _renderer, bool _clip_planes = false);
// Named "start", "end" (f32) and "loop" (int); a missing one throws
// command_error_c.
void ReadMenuClip(const command_c& _command, menu_anim_clip_c& _clip);
// The named "sound", made with CreatePcmSource(file, 2) when the key is
// given and a sound system exists; else null.
std::unique_ptr<sound_source_c> ReadMenuSound(const command_c& _command, sound_system_c* _sound_system);
// Plays the sound from where it is, when there is one.
void PlayMenuSound(sound_source_c* _sound);
// Sets the volume in decibels, when there is a sound.
void SetMenuSoundVolume(sound_source_c* _sound, f32 _volume);
// The scene's viewport := the rectangle; its aspect ratio := height / width,
// at least FLT_EPSILON (also for a rectangle without width).
void PlaceMenuScene(scene_c& _scene, const menu_rect_c& _rect);
// A body that shrinks toward the rectangle's centre as the transition
// runs (0 full, 1 gone): each side (1 - t) of the full one but never below
// 0.0051; aspect ratio _aspect_factor x height / width, at least FLT_EPSILON.
void PlaceShrunkMenuScene(scene_c& _scene, const menu_rect_c& _rect, f32 _transition, f32 _aspect_factor);
// Evaluates the animation at the time and prepares the frame.
void AnimateMenuScene(scene_c& _scene, f32 _time);
