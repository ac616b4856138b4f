#include "audio/sound_system.h"
#include "engine/emitter.h"
#include "engine/light.h"
#include "game/objects/plane.h"

#include <cmath>

namespace {

float Clamp01(float _x)
{
    return _x < 0.0f ? 0.0f : _x > 1.0f ? 1.0f : _x;
}

void PlayIfStopped(const plane_sound_c& _sound)
{
    if (_sound && !_sound->IsPlaying())
        _sound->Play();
}

void SetGain(const plane_sound_c& _sound, float _gain)
{
    if (_sound)
        _sound->SetVolume(GainToDecibel(_gain));
}

bool IsPlaying(const plane_sound_c& _sound)
{
    return _sound && _sound->IsPlaying();
}

} // namespace

void game_object_plane_c::UpdateSounds(float _dt)
{
    if (!hasSounds)
        return;
    if (!engineOffSound && engineFactor == 0.0f) {
        for (const plane_sound_c* loop : {&engineNormal, &engineDestr1, &engineDestr2})
            StopSound(*loop);
        if (engineChoke)
            engineChoke->Play();
        engineOffSound = 1;
    } else if (engineOffSound) {
        if (engineFactor > 0.0f && !engineStartSound) {
            if (engineUnchoke)
                engineUnchoke->Play();
            enginePitch[0] = engineNormal.minPitch;
            engineStartSound = 1;
        }
        if (engineStartSound && !IsPlaying(engineUnchoke)) {
            engineOffSound = 0;
            engineStartSound = 0;
        }
    }
    if (!engineOffSound || engineStartSound)
        UpdateEngineSounds();

    if (speed < minVelocity) {
        for (const plane_sound_c* loop : {&windLeft, &windRight, &noiseLeft, &noiseRight}) {
            StopSound(*loop);
            SetGain(*loop, 0.0f);
        }
        turbulence = 0.0f;
    } else {
        const float q = 1.0f - Ratio(maxVelocity - speed, maxVelocity - minVelocity);
        const float wind = windCurve.Evaluate(q);
        const float noise = noiseCurve.Evaluate(q);
        for (const plane_sound_c* loop : {&windLeft, &windRight}) {
            PlayIfStopped(*loop);
            SetGain(*loop, wind);
        }
        for (const plane_sound_c* loop : {&noiseLeft, &noiseRight}) {
            PlayIfStopped(*loop);
            SetGain(*loop, noise);
        }
        turbulence = noise;
    }

    for (const plane_sound_c* gun : {&gunShot, &shells}) {
        if (gunsFiring)
            PlayIfStopped(*gun);
        else
            StopSound(*gun);
    }

    timeSinceEngineStart += _dt;
    float warm = Clamp01((timeSinceEngineStart - 1.0f) / 3.0f);
    if (!engineRunning) {
        warm *= 1.0f - Clamp01(timeSinceEngineStop * 0.5f);
        timeSinceEngineStop += _dt;
    }
    const float load = GetEngineLoad();
    const plane_sound_c* loops[3] = {&engineNormal, &engineDestr1, &engineDestr2};
    for (int i = 0; i < 3; ++i) {
        const plane_sound_c& loop = *loops[i];
        if (!IsPlaying(loop))
            continue;
        const float range = loop.maxPitch - loop.minPitch;
        const float target = loop.minPitch + range * load;
        const float current = enginePitch[i];
        const float pitch = current < 0.0f ? target : current + (target - current) * Clamp01(warm * _dt);
        loop->SetPitch(pitch);
        SetGain(loop, (1.0f - Ratio(std::fabs(pitch - target), range)) * warm);
        enginePitch[i] = pitch;
    }

    if (!wheelContact) {
        if (groundSoundLevel == 0.0f)
            StopSound(onGround);
        else
            groundSoundLevel = std::fmax(0.0f, groundSoundLevel - 3.0f * _dt);
    } else {
        PlayIfStopped(onGround);
        groundSoundLevel = std::fmin(1.0f, groundSoundLevel + 6.0f * _dt);
        SetGain(onGround, Ratio(std::fmin(speed, minVelocity), minVelocity) * groundSoundLevel);
    }
    PlaceSounds();
}

void game_object_plane_c::UpdateEngineSounds()
{
    if (GetType() == object_plane_user && Ratio(thrust - minThrust, maxThrust - minThrust) < 0.1f && speed < 1.0f) {
        // Throttle closed on the ground: the engine stops.
        if (engineRunning) {
            PlayIfStopped(engineOff);
            StopSound(engineOn);
            engineRunning = 0;
            timeSinceEngineStop = 0.0f;
        }
        if (timeSinceEngineStop > 3.0f)
            for (const plane_sound_c* loop : {&engineNormal, &engineDestr1, &engineDestr2})
                StopSound(*loop);
        return;
    }
    if (speed < 1.0f) {
        if (IsPlaying(engineOn))
            return;
        if (!engineRunning) {
            timeSinceEngineStart = 0.0f;
            if (engineOn)
                engineOn->Play();
            StopSound(engineOff);
            engineRunning = 1;
            return;
        }
    }
    if (engineRunning)
        UpdateEngineDamageSounds();
}

void game_object_plane_c::UpdateEngineDamageSounds()
{
    if (damage < 0.5f) {
        PlayIfStopped(engineNormal);
        StopSound(engineDestr1);
        StopSound(engineDestr2);
    } else if (damage < 0.8f) {
        StopSound(engineNormal);
        StopSound(engineDestr2);
        if (engineDestr1 && !engineDestr1->IsPlaying()) {
            if (engineExplode)
                engineExplode->Play();
            engineDestr1->Play();
        }
    } else if (damage < 1.0f) {
        StopSound(engineNormal);
        StopSound(engineDestr1);
        if (engineDestr2 && !engineDestr2->IsPlaying()) {
            if (engineExplode)
                engineExplode->Play();
            engineDestr2->Play();
        }
    } else {
        for (const plane_sound_c* loop : {&engineNormal, &engineDestr1, &engineDestr2})
            StopSound(*loop);
    }
}

void game_object_plane_c::PlaceSounds()
{
    const vec3_c position = GetPosition();
    const vec3_c motion = GetVelocity();
    auto place = [&](const plane_sound_c& _sound, const vec3_c& _shift) {
        if (!IsPlaying(_sound))
            return;
        const vec3_c at = position + Turned(_shift);
        _sound->SetPosition(&at);
        _sound->SetVelocity(&motion);
    };
    for (const plane_sound_c* engine : {&engineNormal, &engineDestr1, &engineDestr2, &engineChoke, &engineUnchoke,
                                        &engineExplode, &gunShot, &engineOn, &engineOff, &planeExplode})
        place(*engine, engineShift);
    for (const plane_sound_c* own : {&shells, &windLeft, &windRight, &noiseLeft, &noiseRight, &onGround, &gunJam})
        place(*own, own->shift);
    place(fireRocket, nextRocket % 2 == 0 ? rocketRight : rocketLeft);
}

void game_object_plane_c::UpdateEffects(float _time)
{
    // The firing flag also stops the gun sounds: it ends with or without
    // effect objects.
    if (_time - lastGunShot > 0.2f)
        gunsFiring = 0;
    if (damage >= 1.0f)
        destructionEffect = 1;
    if (!effectsEnabled)
        return;
    const vec3_c position = GetPosition();
    const vec3_c rotation = GetRotation();
    if (smoke) {
        const bool shown = damage != 0.0f && !sinking;
        smoke->SetVisibility(shown, false);
        if (shown) {
            smoke->dissolve = damage;
            smoke->position = position + Turned(vec3_c(0.0f, 0.0f, -2.5f));
            if (wrecked) {
                smoke->SetSpeed(5.0f, 8.0f);
                smoke->SetLifetime(3.0f, 6.0f);
                smoke->SetGravity(vec3_c(0.0f, -1.5f, 0.0f));
                smoke->SetParticleSize(2.0f, 5.0f);
            } else {
                smoke->SetSpeed(3.0f, 6.0f);
                smoke->SetLifetime(0.1f * damage, 0.9f * damage);
                smoke->SetGravity(vec3_c(0.0f, 0.0f, 0.0f));
                smoke->SetParticleSize(2.0f * damage, 5.0f * damage);
            }
        }
    }
    if (gunsFiring) {
        const bool inside = insideGuns && modelView == plane_view_inside;
        const vec3_c m = gunSide ? (inside ? insideGunRight : gunRight) : (inside ? insideGunLeft : gunLeft);
        if (flash) {
            flash->SetVisibility(true, false);
            flash->Animate(_time);
            flash->position = position + Turned(m);
            flash->rotation = rotation;
        }
        if (cases) {
            cases->SetVisibility(true, false);
            cases->position = position + Turned(vec3_c(m.x, m.y, m.z - 1.1f));
            vec3_c out(1.0f, 0.3f, 0.0f);
            out.NormalizeSelf();
            const vec3_c throwing = Turned(out) * 3.0f + GetVelocity() * 0.9f;
            float heading = 0.0f;
            float pitch = 0.0f;
            DirectionToEuler(throwing, heading, pitch);
            cases->SetPivotRotation(vec3_c(heading, pitch, 0.0f));
            const float length = throwing.Length();
            cases->SetSpeed(length, length);
        }
        if (fireLight) {
            const vec3_c flicker{random.Float(-0.1f, 0.1f), random.Float(-0.1f, 0.1f), random.Float(-0.1f, 0.1f)};
            fireLight->position = position + Turned(vec3_c(m.x, m.y + 0.2f, m.z)) + flicker;
        }
    } else {
        if (cases)
            cases->SetVisibility(false, false);
        if (flash)
            flash->SetVisibility(false, false);
        if (fireLight)
            fireLight->intensity = 0.0f;
    }
}
