// Synthesised sounds: 16-bit mono WAVE at 22050 Hz for the game, Ogg Vorbis
// for the menu music. Loops hold a whole number of their base period, so
// they repeat without a click. Noise comes from a hash of the sample index,
// never from a shared generator.
#include "audio/sound_writers.h"
#include "foundation/memory_file.h"
#include "tools/make-models/make_models.h"
#include "tools/make-models/pictures.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr u32 rate = 22050;
constexpr double pi = 3.14159265358979;

void Store(const std::string& _file, const std::vector<u8>& _bytes)
{
    output_file_c file(_file.c_str());
    file.WriteRaw(_bytes.data(), static_cast<u32>(_bytes.size()));
    file.Commit();
}

std::string Game(const char* _name)
{
    return std::string("data\\game\\sounds\\") + _name + ".wav";
}

// White noise in [-1, 1] at sample n.
double Noise(u32 _n, u32 _seed)
{
    return Hash01(_n, _seed, 91) * 2.0 - 1.0;
}

// Noise smoothed by a one-pole low pass; its state travels in _state.
double Rumble(u32 _n, u32 _seed, double _smooth, double& _state)
{
    _state += (Noise(_n, _seed) - _state) * _smooth;
    return _state;
}

void Wave(const std::string& _file, double _seconds, const std::function<double(u32, double)>& _sample)
{
    const u32 frames = static_cast<u32>(_seconds * rate);
    Store(_file, MakeWave(rate, 1, frames,
                          [&](u32 _frame, u32) { return _sample(_frame, static_cast<double>(_frame) / rate); }));
}

// A piston engine at _firing Hz: a pulse train with harmonics and a little
// roughness, looping over `cycles` firings. _misfire drops every k-th
// pulse (0: none).
void Engine(const char* _name, double _firing, u32 _cycles, double _rough, u32 _misfire)
{
    const double period = rate / _firing;
    const u32 frames = static_cast<u32>(std::lround(period * _cycles));
    const double exact = static_cast<double>(frames) / _cycles; // a whole loop
    Store(Game(_name), MakeWave(rate, 1, frames, [&](u32 _frame, u32) {
              const double cycle = _frame / exact;
              const u32 index = static_cast<u32>(cycle);
              const double phase = cycle - index;
              const bool fires = _misfire == 0 || index % _misfire != 0;
              const double pulse = fires ? std::exp(-phase * 6.0) * std::sin(2.0 * pi * phase * 3.0) : 0.0;
              const double body = 0.3 * std::sin(2.0 * pi * cycle) + 0.15 * std::sin(4.0 * pi * cycle);
              return 0.5 * (pulse * 0.7 + body) + _rough * Noise(_frame, index % 7 + 1) * (1.0 - phase);
          }));
}

// A burst that decays: noise through a falling low pass, with a thump.
void Blast(const std::string& _file, double _seconds, double _thump, double _decay, u32 _seed)
{
    double state = 0.0;
    Wave(_file, _seconds, [&](u32 _n, double _t) {
        const double envelope = std::exp(-_t * _decay);
        const double smooth = 0.05 + 0.6 * std::exp(-_t * 8.0);
        return envelope * (0.8 * Rumble(_n, _seed, smooth, state) * 2.0 +
                           0.6 * std::sin(2.0 * pi * _thump * _t) * std::exp(-_t * _decay * 2.0));
    });
}

// A sharp click with a ring: shots, hits, cases.
void Crack(const std::string& _file, double _seconds, double _ring, double _decay, double _noise, u32 _seed)
{
    Wave(_file, _seconds, [&](u32 _n, double _t) {
        const double envelope = std::exp(-_t * _decay);
        return envelope * (_noise * Noise(_n, _seed) + (1.0 - _noise) * std::sin(2.0 * pi * _ring * _t));
    });
}

// Looping noise with a slow swell: wind and airframe noise. The tail is
// made a quarter second longer and cross-faded into the start, so the loop
// joins without a click.
void Hiss(const std::string& _file, double _smooth, double _swell, u32 _seed)
{
    const u32 frames = rate * 2;
    const u32 overlap = rate / 4;
    std::vector<double> samples(frames + overlap);
    double state = 0.0;
    for (u32 n = 0; n < samples.size(); ++n) {
        const double t = static_cast<double>(n) / frames;
        const double swell = 0.7 + 0.3 * std::sin(2.0 * pi * t * _swell);
        samples[n] = 0.6 * swell * Rumble(n, _seed, _smooth, state) * 2.5;
    }
    Store(_file, MakeWave(rate, 1, frames, [&](u32 _n, u32) {
              if (_n >= overlap)
                  return samples[_n];
              const double w = static_cast<double>(_n) / overlap;
              return samples[_n] * w + samples[frames + _n] * (1.0 - w);
          }));
}

// One chord of the menu music: notes of a triad with soft attacks.
double Music(u32 _frame, u32 _channel, const std::vector<std::vector<double>>& _chords, double _beat)
{
    const double t = static_cast<double>(_frame) / rate;
    const size_t bar = static_cast<size_t>(t / (_beat * 4.0)) % _chords.size();
    const double inBar = std::fmod(t, _beat * 4.0);
    const double inBeat = std::fmod(t, _beat);
    double out = 0.0;
    for (double note : _chords[bar])
        out += std::sin(2.0 * pi * note * t + 0.3 * _channel) * std::min(1.0, inBar * 4.0) * 0.12;
    // An arpeggio over the chord, one note a beat.
    const double lead = _chords[bar][static_cast<size_t>(t / _beat) % _chords[bar].size()] * 2.0;
    out += std::sin(2.0 * pi * lead * t) * std::exp(-inBeat * 3.0) * 0.15;
    return out;
}

void MenuMusic(const char* _file, const std::vector<std::vector<double>>& _chords, double _beat, double _seconds)
{
    const u32 frames = static_cast<u32>(_seconds * rate);
    // Fades out over the last two seconds so that the loop starts clean.
    Store(_file, MakeOggVorbis(
                     rate, 2, frames,
                     [&](u32 _frame, u32 _channel) {
                         const double remaining = static_cast<double>(frames - _frame) / rate;
                         return Music(_frame, _channel, _chords, _beat) * std::min(1.0, remaining / 2.0);
                     },
                     0.0f));
}

} // namespace

std::vector<std::string> SoundFiles()
{
    std::vector<std::string> files;
    for (const char* name : {"engine_low",
                             "engine_high",
                             "engine_damaged",
                             "engine_failing",
                             "engine_choke",
                             "engine_unchoke",
                             "engine_start",
                             "engine_stop",
                             "engine_explode",
                             "wind",
                             "noise",
                             "explosion_big",
                             "explosion_small",
                             "crash",
                             "splash",
                             "gun",
                             "gun_jam",
                             "shells",
                             "touchdown",
                             "on_ground",
                             "rocket",
                             "bomb_release",
                             "hit1",
                             "hit2",
                             "hit3",
                             "nearmiss1",
                             "nearmiss2",
                             "aagun_shot",
                             "flak_shot"})
        files.push_back(Game(name));
    return files;
}

void MakeSounds()
{
    // The two planes' engines at their own pitches; the damaged ones rough
    // and missing.
    Engine("engine_low", 38.0, 76, 0.05, 0);
    Engine("engine_high", 46.0, 92, 0.05, 0);
    Engine("engine_damaged", 36.0, 72, 0.15, 5);
    Engine("engine_failing", 30.0, 60, 0.25, 3);
    Wave(Game("engine_choke"), 0.6, [](u32 _n, double _t) {
        return std::exp(-_t * 5.0) * (0.6 * Noise(_n, 3) * (std::fmod(_t, 0.12) < 0.04 ? 1.0 : 0.2));
    });
    Wave(Game("engine_unchoke"), 0.5, [](u32 _n, double _t) {
        return std::exp(-_t * 4.0) * 0.5 * (Noise(_n, 4) * 0.5 + std::sin(2.0 * pi * 40.0 * _t));
    });
    Wave(Game("engine_start"), 1.5, [](u32 _n, double _t) {
        const double firing = 8.0 + 25.0 * _t;
        const double phase = std::fmod(firing * _t, 1.0);
        return std::min(1.0, _t * 2.0) *
               (0.6 * std::exp(-phase * 6.0) * std::sin(6.0 * pi * phase) + 0.05 * Noise(_n, 5));
    });
    Wave(Game("engine_stop"), 1.2, [](u32 _n, double _t) {
        const double firing = std::max(5.0, 36.0 - 28.0 * _t);
        const double phase = std::fmod(firing * _t, 1.0);
        return std::exp(-_t * 2.5) * (0.6 * std::exp(-phase * 6.0) * std::sin(6.0 * pi * phase) + 0.05 * Noise(_n, 6));
    });
    Blast(Game("engine_explode"), 1.2, 50.0, 3.0, 7);
    Hiss(Game("wind"), 0.08, 1.0, 8);
    Hiss(Game("noise"), 0.3, 2.0, 9);
    Blast(Game("explosion_big"), 2.5, 35.0, 1.6, 10);
    Blast(Game("explosion_small"), 1.2, 60.0, 3.5, 11);
    Blast(Game("crash"), 2.0, 45.0, 2.0, 12);
    {
        double state = 0.0;
        Wave(Game("splash"), 1.5, [&](u32 _n, double _t) {
            return std::exp(-_t * 2.5) * Rumble(_n, 13, 0.5, state) * 1.5 * (1.0 - std::exp(-_t * 40.0));
        });
    }
    Crack(Game("gun"), 0.12, 180.0, 35.0, 0.7, 14);
    Crack(Game("gun_jam"), 0.2, 900.0, 30.0, 0.3, 15);
    Crack(Game("shells"), 0.15, 2500.0, 30.0, 0.2, 16);
    Blast(Game("touchdown"), 0.5, 70.0, 7.0, 17);
    {
        double state = 0.0;
        Store(Game("on_ground"), MakeWave(rate, 1, rate, [&](u32 _n, u32) {
                  const double t = static_cast<double>(_n) / rate;
                  return 0.5 * Rumble(_n, 18, 0.05, state) * 3.0 * (0.8 + 0.2 * std::sin(2.0 * pi * 12.0 * t));
              }));
    }
    {
        double state = 0.0;
        Wave(Game("rocket"), 1.5, [&](u32 _n, double _t) {
            return std::min(1.0, _t * 20.0) * std::exp(-_t * 1.2) * Rumble(_n, 19, 0.4, state) * 1.5;
        });
    }
    Wave(Game("bomb_release"), 0.4, [](u32 _n, double _t) {
        return std::exp(-_t * 10.0) * (0.5 * std::sin(2.0 * pi * 300.0 * _t) + 0.3 * Noise(_n, 20));
    });
    Crack(Game("hit1"), 0.15, 700.0, 30.0, 0.6, 21);
    Crack(Game("hit2"), 0.15, 520.0, 28.0, 0.6, 22);
    Crack(Game("hit3"), 0.2, 300.0, 20.0, 0.7, 23);
    // A bullet passing: a short rising-then-falling whistle.
    for (const auto& [name, pitch] : {std::pair{"nearmiss1", 1800.0}, std::pair{"nearmiss2", 1400.0}})
        Wave(Game(name), 0.3, [whistle = pitch](u32 _n, double _t) {
            const double shape = std::sin(pi * _t / 0.3);
            return shape * shape * (0.4 * std::sin(2.0 * pi * whistle * (1.0 - _t) * _t) + 0.2 * Noise(_n, 24));
        });
    Crack(Game("aagun_shot"), 0.15, 150.0, 30.0, 0.75, 25);
    Blast(Game("flak_shot"), 0.8, 55.0, 5.0, 26);

    // Menu music: slow chord loops in three moods.
    const double c = 130.81, d = 146.83, e = 164.81, f = 174.61, g = 196.0, a = 220.0, b = 246.94;
    MenuMusic("data\\menu\\sounds\\mainmenu.ogg", {{c, e, g}, {a / 2, c, e}, {f / 2, a / 2, c}, {g / 2, b / 2, d}}, 0.5,
              16.0);
    MenuMusic("data\\menu\\sounds\\career_menu.ogg", {{d, f, a}, {b / 2, d, f}, {g / 2, b / 2, d}, {a / 2, c, e}}, 0.6,
              16.0);
    MenuMusic("data\\menu\\sounds\\multiplayer_menu.ogg", {{e, g, b}, {c, e, g}, {d, f, a}, {b / 2, d, f}}, 0.4, 12.0);
}
