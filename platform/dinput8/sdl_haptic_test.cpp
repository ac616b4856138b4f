#include "platform/dinput8/sdl_haptic.h"

#include <gtest/gtest.h>

namespace {

DIEFFECT Effect(void* _params, DWORD _size)
{
    DIEFFECT effect;
    effect.dwFlags = DIEFF_CARTESIAN | DIEFF_OBJECTOFFSETS;
    effect.dwDuration = 250000;
    effect.dwGain = DI_FFNOMINALMAX;
    effect.dwStartDelay = 5000;
    effect.lpvTypeSpecificParams = _params;
    effect.cbTypeSpecificParams = _size;
    return effect;
}

TEST(SdlHapticTest, ConstantForceKeepsTimingLevelDirectionAndEnvelope)
{
    DICONSTANTFORCE force{-5000};
    DIEFFECT effect = Effect(&force, sizeof force);
    DWORD axes[2] = {0, 4};
    LONG directions[2] = {1, -1};
    effect.cAxes = 2;
    effect.rgdwAxes = axes;
    effect.rglDirection = directions;
    effect.dwGain = 5000;
    DIENVELOPE envelope;
    envelope.dwAttackTime = 100000;
    envelope.dwAttackLevel = 10000;
    effect.lpEnvelope = &envelope;
    SDL_HapticEffect out;
    ASSERT_TRUE(TranslateEffect(GUID_ConstantForce, effect, out));
    EXPECT_EQ(out.type, SDL_HAPTIC_CONSTANT);
    EXPECT_EQ(out.constant.length, 250u);
    EXPECT_EQ(out.constant.delay, 5);
    // -5000 of 10000 at half gain.
    EXPECT_EQ(out.constant.level, -8191);
    EXPECT_EQ(out.constant.direction.type, SDL_HAPTIC_CARTESIAN);
    EXPECT_EQ(out.constant.direction.dir[0], 1);
    EXPECT_EQ(out.constant.direction.dir[1], -1);
    EXPECT_EQ(out.constant.attack_length, 100);
    EXPECT_EQ(out.constant.attack_level, 32767);
}

TEST(SdlHapticTest, EffectKindsMapToTheirSdlTypes)
{
    DIPERIODIC periodic{10000, 0, 0, 50000};
    DIRAMPFORCE ramp{-10000, 10000};
    DICONDITION conditions[2] = {{0, 10000, -10000, 10000, 10000, 0}, {0, 5000, 5000, 5000, 5000, 0}};
    struct case_s {
        GUID type;
        void* params;
        DWORD size;
        u32 sdlType;
    };
    const case_s cases[] = {
        {GUID_Sine, &periodic, sizeof periodic, SDL_HAPTIC_SINE},
        {GUID_Square, &periodic, sizeof periodic, SDL_HAPTIC_SINE},
        {GUID_Triangle, &periodic, sizeof periodic, SDL_HAPTIC_TRIANGLE},
        {GUID_SawtoothUp, &periodic, sizeof periodic, SDL_HAPTIC_SAWTOOTHUP},
        {GUID_SawtoothDown, &periodic, sizeof periodic, SDL_HAPTIC_SAWTOOTHDOWN},
        {GUID_RampForce, &ramp, sizeof ramp, SDL_HAPTIC_RAMP},
        {GUID_Spring, conditions, sizeof conditions[0], SDL_HAPTIC_SPRING},
        {GUID_Damper, conditions, sizeof conditions, SDL_HAPTIC_DAMPER},
        {GUID_Inertia, conditions, sizeof conditions[0], SDL_HAPTIC_INERTIA},
        {GUID_Friction, conditions, sizeof conditions[0], SDL_HAPTIC_FRICTION},
    };
    for (const case_s& c : cases) {
        DIEFFECT effect = Effect(c.params, c.size);
        effect.cAxes = 2;
        SDL_HapticEffect out;
        ASSERT_TRUE(TranslateEffect(c.type, effect, out)) << c.sdlType;
        EXPECT_EQ(out.type, c.sdlType);
    }
    SDL_HapticEffect out;
    DIEFFECT sine = Effect(&periodic, sizeof periodic);
    ASSERT_TRUE(TranslateEffect(GUID_Sine, sine, out));
    EXPECT_EQ(out.periodic.period, 50);
    EXPECT_EQ(out.periodic.magnitude, 32767);
    DIEFFECT damper = Effect(conditions, sizeof conditions);
    damper.cAxes = 2;
    ASSERT_TRUE(TranslateEffect(GUID_Damper, damper, out));
    EXPECT_EQ(out.condition.right_coeff[1], 16383);
    EXPECT_EQ(out.condition.left_coeff[0], -32767);
}

TEST(SdlHapticTest, RecordsThatCannotPlayAreRefused)
{
    DICONSTANTFORCE force{100};
    DIRAMPFORCE ramp{0, 1};
    const GUID custom = MakeGuid(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11);
    SDL_HapticEffect out;
    EXPECT_FALSE(TranslateEffect(custom, Effect(&force, sizeof force), out));
    EXPECT_FALSE(TranslateEffect(GUID_ConstantForce, Effect(&force, 2), out));
    EXPECT_FALSE(TranslateEffect(GUID_ConstantForce, Effect(nullptr, sizeof force), out));
    EXPECT_FALSE(TranslateEffect(GUID_Sine, Effect(&force, sizeof force), out));
    DIEFFECT endless = Effect(&ramp, sizeof ramp);
    endless.dwDuration = INFINITE_DURATION;
    EXPECT_FALSE(TranslateEffect(GUID_RampForce, endless, out));
    DIEFFECT constant = Effect(&force, sizeof force);
    constant.dwDuration = INFINITE_DURATION;
    ASSERT_TRUE(TranslateEffect(GUID_ConstantForce, constant, out));
    EXPECT_EQ(out.constant.length, SDL_HAPTIC_INFINITY);
}

} // namespace
