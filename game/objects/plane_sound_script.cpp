// The plane's sound script. Commands and their keys, in read order (flags:
// 8 = 3D, 2 = volume, 1 = pitch):
//   engine        shift; normal dist normal_min_pitch normal_max_pitch;
//                 destr1 ... and destr2 ... alike (flags 11, looping);
//                 choke dist; unchoke dist; on dist; off dist; explode dist
//                 (flags 8)
//   wind, noise   left dist left_shift right dist right_shift s1 v1 s2 v2
//                 s3 v3 (flags 10, looping)
//   plane_explode, ground_crash, water_crash, gun_jam, bomb_release
//                 file dist shift (flags 8)
//   gun_shot      file dist (flags 8, looping)
//   shells        file dist shift (flags 8, looping)
//   touchdown     file dist shift (flags 10)
//   on_ground     file dist shift (flags 10, looping)
//   fire_rocket   file dist (flags 8)
//   bullet_hit, bullet_nearmiss
//                 count, then file1 ... fileN each with its dist (flags 8)
// Other commands are skipped.
#include "audio/sound_system.h"
#include "foundation/script_loader.h"
#include "game/objects/plane.h"

#include <cstdlib>
#include <string>

namespace {

constexpr u32 flags_3d = sound_flag_3d;
constexpr u32 flags_3d_volume = sound_flag_3d | sound_flag_volume;
constexpr u32 flags_engine = sound_flag_3d | sound_flag_volume | sound_flag_pitch;

// The value of the first _follower after the first _key; a command that has
// no _follower after _key answers with its first _follower anywhere.
const char* After(const command_c& _command, const char* _key, const char* _follower)
{
    const auto& names = _command.GetNames();
    size_t i = 0;
    while (i < names.size() && !(names[i] == _key))
        ++i;
    if (i == names.size())
        _command.GetParameter(_key);
    for (size_t j = i + 1; j < names.size(); ++j)
        if (names[j] == _follower)
            return _command.GetValues()[j].GetData();
    return _command.GetParameter(_follower);
}

class sound_reader_c {
public:
    sound_reader_c(const command_c& _command, sound_system_c* _sound) : command(_command), sound(_sound) {}

    // The source named by _key with its range from the "dist" after it.
    plane_sound_c Make(const char* _key, u32 _flags, bool _looping, const vec3_c& _shift = vec3_c()) const
    {
        plane_sound_c made;
        made.source.reset(sound->CreatePcmSource(command.GetParameter(_key), _flags));
        made.source->SetMinDistance(static_cast<float>(std::atof(After(command, _key, "dist"))));
        if (_looping)
            made.source->SetLooping(true);
        made.shift = _shift;
        return made;
    }
    plane_sound_c MakeEngine(const std::string& _key, const vec3_c& _shift) const
    {
        plane_sound_c made = Make(_key.c_str(), flags_engine, true, _shift);
        made.minPitch = command.GetFloat((_key + "_min_pitch").c_str());
        made.maxPitch = command.GetFloat((_key + "_max_pitch").c_str());
        return made;
    }
    plane_sound_c MakeFile(u32 _flags, bool _looping, bool _shifted) const
    {
        return Make("file", _flags, _looping, _shifted ? command.GetVector("shift") : vec3_c());
    }
    void MakePair(plane_sound_c& _left, plane_sound_c& _right, speed_curve_c& _curve) const
    {
        _left = Make("left", flags_3d_volume, true, command.GetVector("left_shift"));
        _right = Make("right", flags_3d_volume, true, command.GetVector("right_shift"));
        const char* keys[3][2] = {{"s1", "v1"}, {"s2", "v2"}, {"s3", "v3"}};
        for (int i = 0; i < 3; ++i) {
            _curve.s[i] = command.GetFloat(keys[i][0]);
            _curve.v[i] = command.GetFloat(keys[i][1]);
        }
    }
    void MakeList(std::vector<plane_sound_c>& _list) const
    {
        const int count = command.GetInt("count");
        for (int i = 1; i <= count; ++i)
            _list.push_back(Make(("file" + std::to_string(i)).c_str(), flags_3d, false));
    }

private:
    const command_c& command;
    sound_system_c* sound;
};

} // namespace

void game_object_plane_c::LoadSoundScript(const char* _file, sound_system_c* _sound)
{
    script_loader_c script(_file);
    while (const char* name = script.ReadCommand()) {
        const string_c command = name;
        const sound_reader_c read(script, _sound);
        if (command == "engine") {
            engineShift = script.GetVector("shift");
            engineNormal = read.MakeEngine("normal", engineShift);
            engineDestr1 = read.MakeEngine("destr1", engineShift);
            engineDestr2 = read.MakeEngine("destr2", engineShift);
            engineChoke = read.Make("choke", flags_3d, false, engineShift);
            engineUnchoke = read.Make("unchoke", flags_3d, false, engineShift);
            engineOn = read.Make("on", flags_3d, false, engineShift);
            engineOff = read.Make("off", flags_3d, false, engineShift);
            engineExplode = read.Make("explode", flags_3d, false, engineShift);
            for (float& pitch : enginePitch)
                pitch = -1.0f;
        } else if (command == "wind") {
            read.MakePair(windLeft, windRight, windCurve);
        } else if (command == "noise") {
            read.MakePair(noiseLeft, noiseRight, noiseCurve);
        } else if (command == "plane_explode") {
            planeExplode = read.MakeFile(flags_3d, false, true);
        } else if (command == "ground_crash") {
            groundCrash = read.MakeFile(flags_3d, false, true);
        } else if (command == "water_crash") {
            waterCrash = read.MakeFile(flags_3d, false, true);
        } else if (command == "gun_shot") {
            gunShot = read.MakeFile(flags_3d, true, false);
        } else if (command == "gun_jam") {
            gunJam = read.MakeFile(flags_3d, false, true);
        } else if (command == "shells") {
            shells = read.MakeFile(flags_3d, true, true);
        } else if (command == "touchdown") {
            touchdown = read.MakeFile(flags_3d_volume, false, true);
        } else if (command == "on_ground") {
            onGround = read.MakeFile(flags_3d_volume, true, true);
        } else if (command == "fire_rocket") {
            fireRocket = read.MakeFile(flags_3d, false, false);
        } else if (command == "bomb_release") {
            bombRelease = read.MakeFile(flags_3d, false, true);
        } else if (command == "bullet_hit") {
            read.MakeList(bulletHits);
        } else if (command == "bullet_nearmiss") {
            read.MakeList(nearMisses);
        }
    }
}
