#include "foundation/command.h"
#include "foundation/file_error.h"
#include "game/testing/plane_world.h"
#include "level/object_template.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class PlaneLoadTest : public ::testing::Test {
protected:
    plane_world_c setting;
    test_plane_file_c file;
};

TEST_F(PlaneLoadTest, ReadsTheMainGroupValues)
{
    file.speed = 0.8f;
    file.maxVelocity = 40.0f;
    test_plane_c* plane = setting.MakePlane(file);

    EXPECT_EQ(plane->planeName, "Testbird");
    EXPECT_EQ(plane->side, 1);
    EXPECT_FLOAT_EQ(plane->GetMinVelocity(), 20.0f);
    EXPECT_FLOAT_EQ(plane->GetMaxVelocity(), 46.0f); // (0.8 - 0.6) x 30 + 40
    EXPECT_FLOAT_EQ(plane->GetMinThrust(), 0.1f);
    EXPECT_FLOAT_EQ(plane->GetMaxThrust(), 1.0f);
    EXPECT_FLOAT_EQ(plane->durability, 0.4f);
    EXPECT_EQ(plane->entity, plane->GetModel()->GetNode());
    EXPECT_EQ(plane->outsideCameraShift, vec3_c(0.0f, 4.0f, -12.5f));
    EXPECT_EQ(plane->insideCameraShift, vec3_c(0.0f, 0.75f, -0.9f));
    EXPECT_TRUE(plane->HasSounds());
}

TEST_F(PlaneLoadTest, HandlingFactorFromTheHandlingRating)
{
    const std::pair<float, float> cases[] = {{0.8f, 1.0f}, {0.6f, 1.6f}, {0.7f, 1.3f}};
    for (auto [rating, factor] : cases) {
        file.handling = rating;
        EXPECT_NEAR(setting.MakePlane(file)->handling, factor, 1e-5f) << rating;
    }
}

TEST_F(PlaneLoadTest, ComputerPlanesFlyAtMostThirty)
{
    file.maxVelocity = 40.0f;
    EXPECT_FLOAT_EQ(setting.MakePlane(file, object_plane_ai)->GetMaxVelocity(), 30.0f);
    EXPECT_FLOAT_EQ(setting.MakePlane(file, object_plane_user)->GetMaxVelocity(), 40.0f);
}

TEST_F(PlaneLoadTest, OptionalPointsAndTheInsideGuns)
{
    file.insideGunRight.reset();
    file.outsideCameraShift = vec3_c(0.0f, 6.0f, -20.0f);
    test_plane_c* plane = setting.MakePlane(file);
    EXPECT_EQ(plane->outsideCameraShift, vec3_c(0.0f, 6.0f, -20.0f));
    // Without "inside gun right" the cockpit view shoots from the outer guns.
    plane->SetModelView(plane_view_inside);
    ASSERT_TRUE(plane->FireGuns(1.0f));
    const projectile_c& bullet = setting.world.GetProjectiles().back();
    EXPECT_FLOAT_EQ(bullet.position.x, 0.5f);
}

TEST_F(PlaneLoadTest, MissingRequiredKeyNamesTheFileAndTheKey)
{
    AddTestPlane(setting.files.files, "planes\\testbird.op", file, &setting.renderer);
    auto model = std::make_unique<object_template_c>();
    model->Load("planes\\testbird.op", &setting.renderer);
    auto& main = model->FindGroup("MainGroup")->parameters;
    for (u32 i = 0; i < main.Count(); ++i)
        if (main.Get(i)->name == "max thrust")
            main.Get(i)->name = "maximum thrust";
    test_plane_c plane;
    try {
        plane.LoadParameters(std::move(model), &setting.renderer, &setting.scene, nullptr, false);
        FAIL() << "no error";
    } catch (const file_error_c& error) {
        EXPECT_NE(std::string(error.what()).find("max thrust"), std::string::npos) << error.what();
    }
}

TEST_F(PlaneLoadTest, MissingPartsAndViewsLeaveThePlaneWorking)
{
    file.without = {"compass", "arrow1", "arrow2", "airscrew_fast", "airscrew_slow", "out_wl", "mask", "crashed_body"};
    test_plane_c* plane = setting.MakePlane(file);
    EXPECT_EQ(plane->FindPart("compass"), -1);
    EXPECT_EQ(plane->GetPart(-1), nullptr);
    plane->UpdateInstruments(-2.0f, 1.0f, 0.5f, 0.1f);
    plane->UpdateAirscrew(1.0f);
    plane->UpdateWheels(0.1f);
    plane->SetModelView(plane_view_crashed);
    plane->SetPosition(vec3_c(0.0f, 300.0f, 0.0f));
    float distance = 0.0f;
    vec3_c normal;
    EXPECT_FALSE(plane->IntersectRay(distance, normal, ray_c(vec3_c(0.0f, 300.0f, -10.0f), vec3_c(0.0f, 0.0f, 1.0f)),
                                     true, true, 20.0f));
}

TEST_F(PlaneLoadTest, ModelViewShowsExactlyOneViewGroup)
{
    test_plane_c* plane = setting.MakePlane(file);
    auto drawn = [&](const char* _group) {
        return plane->GetModel()->FindGroup(_group)->node->HasFlags(object_rendered);
    };
    const char* groups[] = {"cockpit", "guns_view", "body", "far_body", "burned_body", "crashed_body"};
    for (int view = 0; view <= 6; ++view) {
        plane->SetModelView(view);
        EXPECT_EQ(plane->GetModelView(), view);
        for (int g = 0; g < 6; ++g)
            EXPECT_EQ(drawn(groups[g]), g + 1 == view) << "view " << view << " group " << groups[g];
    }
    EXPECT_FALSE(drawn("mask"));
    EXPECT_TRUE(plane->GetModel()->FindGroup("mask")->node->HasFlags(object_ray_testable));
}

TEST_F(PlaneLoadTest, ControlSurfacesInstrumentsAndWheelsTurnTheirParts)
{
    test_plane_c* plane = setting.MakePlane(file);
    auto part = [&](const char* _name) { return plane->GetPart(plane->FindPart(_name)); };
    plane->SetRudder(0.5f);
    plane->SetElevator(-1.0f);
    plane->SetAilerons(0.25f);
    EXPECT_FLOAT_EQ(part("fin__h")->rotation.x, -0.2f);
    EXPECT_FLOAT_EQ(part("tail__p")->rotation.y, -0.4f);
    EXPECT_FLOAT_EQ(part("wing_br")->rotation.y, 0.1f);
    EXPECT_FLOAT_EQ(part("wing_bl")->rotation.y, -0.1f);

    plane->UpdateInstruments(-2.0f, 0.7f, -1.0f, 0.1f);
    EXPECT_FLOAT_EQ(part("arrow1")->rotation.z, -2.0f);
    EXPECT_FLOAT_EQ(part("compass")->rotation.x, 0.7f);
    EXPECT_FLOAT_EQ(part("arrow2")->rotation.z, -1.0f);
    EXPECT_EQ(part("compass")->pivotRotation, vec3_c(0.0f, 0.1f, 0.0f));

    plane->SetWheelSpin(10.0f);
    plane->UpdateWheels(0.5f);
    EXPECT_NEAR(part("out_wl")->pivotRotation.y, 0.5f * 10.0f * 2.7777777f, 1e-4f);
    plane->UpdateWheels(10.0f);
    plane->UpdateWheels(1.0f);
    EXPECT_NEAR(part("out_wr")->pivotRotation.y, 0.5f * 10.0f * 2.7777777f + 10.0f * 9.0f * 2.7777777f, 1e-2f);
}

TEST_F(PlaneLoadTest, AirscrewSpinsWithThrustAndHidesInWreckViews)
{
    test_plane_c* plane = setting.MakePlane(file);
    null_object_c* fast = plane->GetPart(plane->FindPart("airscrew_fast"));
    null_object_c* slow = plane->GetPart(plane->FindPart("airscrew_slow"));
    plane->SetModelView(plane_view_outside);
    plane->SetThrust(1.0f);
    plane->UpdateAirscrew(0.0f);
    plane->UpdateAirscrew(0.5f);
    EXPECT_FLOAT_EQ(fast->rotation.z, -2.5f); // (-2 - 3) x 0.5
    EXPECT_TRUE(fast->HasFlags(object_rendered));
    EXPECT_FALSE(slow->HasFlags(object_rendered));

    plane->engineFactor = 0.0f;
    plane->UpdateAirscrew(1.0f);
    EXPECT_FALSE(fast->HasFlags(object_rendered));
    EXPECT_TRUE(slow->HasFlags(object_rendered));

    for (int view : {plane_view_burned, plane_view_crashed}) {
        plane->engineFactor = 1.0f;
        plane->SetModelView(view);
        plane->UpdateAirscrew(2.0f);
        EXPECT_FALSE(fast->HasFlags(object_rendered));
        EXPECT_FALSE(slow->HasFlags(object_rendered));
    }
}

TEST_F(PlaneLoadTest, SoundScriptGivesEachSoundItsOwnRange)
{
    test_plane_c* plane = setting.MakePlane(file);
    const std::pair<const char*, float> ranges[] = {{"snd\\normal.wav", 100.0f}, {"snd\\destr1.wav", 110.0f},
                                                    {"snd\\destr2.wav", 120.0f}, {"snd\\explode.wav", 200.0f},
                                                    {"snd\\wind_r.wav", 30.0f},  {"snd\\hit2.wav", 12.0f}};
    for (auto [name, range] : ranges) {
        const recording_source_c* source = setting.sound.Find(name);
        ASSERT_NE(source, nullptr) << name;
        EXPECT_FLOAT_EQ(source->distance, range) << name;
    }
    struct flags_c {
        const char* name;
        u32 flags;
        bool looping;
    };
    const flags_c flags[] = {{"snd\\normal.wav", 11, true}, {"snd\\choke.wav", 8, false}, {"snd\\wind_l.wav", 10, true},
                             {"snd\\gun.wav", 8, true},     {"snd\\shells.wav", 8, true}, {"snd\\touch.wav", 10, false},
                             {"snd\\roll.wav", 10, true},   {"snd\\bomb.wav", 8, false}};
    for (const flags_c& expected : flags) {
        const recording_source_c* source = setting.sound.Find(expected.name);
        ASSERT_NE(source, nullptr) << expected.name;
        EXPECT_EQ(source->GetFlags(), expected.flags) << expected.name;
        EXPECT_EQ(source->looping, expected.looping) << expected.name;
    }
    EXPECT_EQ(plane->GetSound("ground_crash").shift, vec3_c(0.0f, -1.0f, 0.0f));
    EXPECT_EQ(plane->GetSound("wind left").shift, vec3_c(-3.0f, 0.0f, 0.0f));
    EXPECT_FLOAT_EQ(plane->GetSound("normal").maxPitch, 1.5f);
    // Two bullet hits, no near misses, and the unknown command is skipped.
    EXPECT_EQ(setting.sound.made.size(), TestPlaneSoundFiles().size());
}

TEST_F(PlaneLoadTest, SoundScriptWithoutARequiredKeyFails)
{
    file.sounds = "data\\planes\\broken.txt";
    AddTestPlane(setting.files.files, "planes\\testbird.op", file, &setting.renderer);
    const std::string broken = "gun_shot dist=80\n";
    setting.files.files[file.sounds] = std::vector<u8>(broken.begin(), broken.end());
    test_plane_c plane;
    EXPECT_THROW(plane.Load("planes\\testbird.op", &setting.renderer, &setting.scene, &setting.sound, false),
                 command_error_c);
}

TEST_F(PlaneLoadTest, LoadingWithoutASoundSystemMakesNoSoundCalls)
{
    test_plane_c* plane = setting.MakePlane(file, object_plane_user, false);
    EXPECT_FALSE(plane->HasSounds());
    EXPECT_FALSE(plane->GetSound("normal"));
    plane->SetSpeed(40.0f);
    plane->UpdateSounds(0.1f);
    plane->FireGuns(1.0f);
    plane->DropBomb(1.0f, 0.0f);
    plane->PlayGunJam();
    EXPECT_EQ(setting.sound.calls, 0);
}

TEST_F(PlaneLoadTest, DestroyingThePlaneReleasesItsSoundsAndNodes)
{
    test_plane_c* plane = setting.MakePlane(file);
    null_object_c* root = plane->entity;
    ASSERT_TRUE(setting.scene.GetObjects().Contains(root));
    setting.world.RemoveObject(plane);
    EXPECT_TRUE(setting.sound.made.empty());
    EXPECT_FALSE(setting.scene.GetObjects().Contains(root));
}

} // namespace
