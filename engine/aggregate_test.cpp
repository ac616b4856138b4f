#include "engine/aggregate.h"

#include "engine/aabb.h"
#include "engine/list_error.h"
#include "engine/testing/marker_object.h"
#include "engine/testing/recording_renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>

namespace {

size_t PositionOf(const std::vector<entity_c*>& order, const entity_c* entity)
{
    return static_cast<size_t>(std::find(order.begin(), order.end(), entity) - order.begin());
}

} // namespace

TEST(AggregateTest, ParentsListedAfterChildrenComeFirst)
{
    aggregate_c group("g", nullptr);
    auto* grandchild = group.AddObject(new null_object_c("grandchild"));
    auto* child = group.AddObject(new null_object_c("child"));
    auto* root = group.AddObject(new null_object_c("root"));
    auto* light = group.AddLight(new light_c("light"));
    group.SetParent(grandchild, child);
    group.SetParent(child, root);
    group.SetParent(light, grandchild);
    const auto& order = group.GetUpdateOrder();
    ASSERT_EQ(order.size(), 4u);
    EXPECT_EQ(order[0], root);
    EXPECT_EQ(order[1], child);
    EXPECT_EQ(order[2], grandchild);
    EXPECT_EQ(order[3], light);
}

TEST(AggregateTest, TransformsHangItemsBelowTheirParentsAndTheAggregate)
{
    aggregate_c group("g", nullptr);
    group.position = vec3_c(0, 100, 0);
    group.UpdateTransform(nullptr);
    auto* child = group.AddObject(new null_object_c("child"));
    auto* root = group.AddObject(new null_object_c("root"));
    root->position = vec3_c(10, 0, 0);
    child->position = vec3_c(1, 0, 0);
    group.SetParent(child, root);
    group.UpdateTransforms(nullptr);
    EXPECT_FLOAT_EQ(root->GetMatrix().GetPosition().x, 10);
    EXPECT_FLOAT_EQ(root->GetMatrix().GetPosition().y, 100);
    EXPECT_FLOAT_EQ(child->GetMatrix().GetPosition().x, 11);
}

TEST(AggregateTest, CyclesAreBrokenNotFollowed)
{
    aggregate_c group("g", nullptr);
    auto* a = group.AddObject(new null_object_c("a"));
    auto* b = group.AddObject(new null_object_c("b"));
    auto* c = group.AddObject(new null_object_c("c"));
    auto* self = group.AddObject(new null_object_c("self"));
    group.SetParent(a, b);
    group.SetParent(b, c);
    group.SetParent(c, a);
    group.SetParent(self, self);
    const auto& order = group.GetUpdateOrder();
    EXPECT_EQ(order.size(), 4u);
    EXPECT_EQ(self->parent, nullptr);
    const int links = (a->parent != nullptr) + (b->parent != nullptr) + (c->parent != nullptr);
    EXPECT_EQ(links, 2);
    for (entity_c* entity : {static_cast<entity_c*>(a), static_cast<entity_c*>(b), static_cast<entity_c*>(c)})
        if (entity->parent) {
            EXPECT_LT(PositionOf(order, entity->parent), PositionOf(order, entity));
        }
    group.UpdateTransforms(nullptr);
}

TEST(AggregateTest, LinkToAnItemOutsideIsDropped)
{
    aggregate_c group("g", nullptr);
    null_object_c outsider("outsider");
    auto* item = group.AddObject(new null_object_c("item"));
    group.SetParent(item, &outsider);
    group.GetUpdateOrder();
    EXPECT_EQ(item->parent, nullptr);
}

TEST(AggregateTest, ItemReferences)
{
    aggregate_c group("g", nullptr);
    auto* first = group.AddObject(new null_object_c("o0"));
    auto* second = group.AddObject(new null_object_c("o1"));
    auto* light = group.AddLight(new light_c("l0"));
    auto* camera = group.CreateCamera("c0");
    null_object_c stranger("x");
    EXPECT_EQ(group.GetItemRef(first), 0x10000000u);
    EXPECT_EQ(group.GetItemRef(second), 0x10000001u);
    EXPECT_EQ(group.GetItemRef(light), 0x20000000u);
    EXPECT_EQ(group.GetItemRef(camera), 0x30000000u);
    EXPECT_EQ(group.GetItemRef(&stranger), 0xFFFFFFFFu);
    EXPECT_EQ(group.GetItemByRef(0x10000001), second);
    EXPECT_EQ(group.GetItemByRef(0x30000000), camera);
    for (u32 bad : {0x10000002u, 0x20000001u, 0x40000000u, 0x00000000u, 0xFFFFFFFFu}) {
        try {
            group.GetItemByRef(bad);
            ADD_FAILURE() << bad;
        } catch (const list_error_c& error) {
            EXPECT_STREQ(error.what(), "Could not find item!");
            EXPECT_EQ(error.GetItem(), string_c(bad));
        }
    }
}

TEST(AggregateTest, RemoveClearsLinksToTheItem)
{
    aggregate_c group("g", nullptr);
    auto* root = group.AddObject(new null_object_c("root"));
    auto* child = group.AddObject(new null_object_c("child"));
    auto* light = group.AddLight(new light_c("light"));
    group.SetParent(child, root);
    group.SetTarget(light, root);
    std::unique_ptr<null_object_c> removed(group.RemoveObject(root));
    EXPECT_EQ(removed.get(), root);
    EXPECT_EQ(child->parent, nullptr);
    EXPECT_EQ(light->target, nullptr);
    EXPECT_EQ(group.GetObjects().GetCount(), 1u);
    EXPECT_EQ(group.RemoveObject(root), nullptr);
    EXPECT_EQ(group.GetUpdateOrder().size(), 2u);
}

TEST(AggregateTest, AddedItemsStartAtTheCurrentTime)
{
    aggregate_c group("g", nullptr);
    group.Animate(4.0f);
    auto* item = group.AddObject(new null_object_c("late"));
    EXPECT_FLOAT_EQ(item->timeOffset, 4.0f);
}

TEST(AggregateTest, CloneRelinksToTheCopies)
{
    aggregate_c group("g", nullptr);
    auto* root = group.AddObject(new null_object_c("root"));
    auto* child = group.AddObject(new null_object_c("child"));
    auto* camera = group.CreateCamera("cam");
    group.SetParent(child, root);
    group.SetTarget(camera, child);
    std::unique_ptr<aggregate_c> copy(static_cast<aggregate_c*>(group.Clone()));
    null_object_c* copied_root = copy->GetObjects().GetFirst();
    null_object_c* copied_child = copied_root->GetNext();
    EXPECT_NE(copied_root, root);
    EXPECT_EQ(copied_child->parent, copied_root);
    EXPECT_EQ(copy->GetCameras().GetFirst()->target, copied_child);
}

TEST(AggregateTest, EmptyAggregateHasAnEmptyBoxAndCullsNothing)
{
    recording_renderer_c renderer(64, 64);
    aggregate_c group("g", &renderer);
    aabb_c box;
    group.GetBoundingBox(box);
    EXPECT_FALSE(box.IsValid());
    camera_c camera("c");
    camera.UpdateTransform(nullptr);
    object_list_t pass0, pass1;
    EXPECT_FALSE(group.Cull(pass0, pass1, nullptr, &camera, 0, 0));
}

TEST(AggregateTest, BoundsUniteChildrenInTheAggregatesSpace)
{
    recording_renderer_c renderer(64, 64);
    aggregate_c group("g", &renderer);
    group.position = vec3_c(100, 0, 0);
    group.UpdateTransform(nullptr);
    auto* a = group.AddObject(new marker_object_c("a", 1, &renderer, vec3_c(-1, -1, -1), vec3_c(1, 1, 1)));
    auto* b = group.AddObject(new marker_object_c("b", 2, &renderer, vec3_c(-1, -1, -1), vec3_c(1, 1, 1)));
    a->position = vec3_c(-5, 0, 0);
    b->position = vec3_c(0, 3, 0);
    aabb_c box;
    group.GetBoundingBox(box);
    EXPECT_FLOAT_EQ(box.min.x, -6);
    EXPECT_FLOAT_EQ(box.max.x, 1);
    EXPECT_FLOAT_EQ(box.max.y, 4);
}

TEST(AggregateTest, RayTestKeepsTheNearestChild)
{
    recording_renderer_c renderer(64, 64);
    aggregate_c group("g", &renderer);
    group.UpdateTransform(nullptr);
    auto* far_one = group.AddObject(new marker_object_c("far", 1, &renderer, vec3_c(-1, -1, -1), vec3_c(1, 1, 1)));
    auto* near_one = group.AddObject(new marker_object_c("near", 2, &renderer, vec3_c(-1, -1, -1), vec3_c(1, 1, 1)));
    far_one->position = vec3_c(0, 0, 20);
    near_one->position = vec3_c(0, 0, 10);
    float distance = FLT_MAX;
    vec3_c normal;
    ASSERT_TRUE(group.RayTest(distance, normal, ray_c(vec3_c(0, 0, 0), vec3_c(0, 0, 100)), true, false, FLT_MAX));
    EXPECT_FLOAT_EQ(distance, 0.09f);
    EXPECT_FLOAT_EQ(normal.y, 1.0f);
    EXPECT_FALSE(group.RayTest(distance, normal, ray_c(vec3_c(0, 5, 0), vec3_c(0, 0, 100)), true, false, FLT_MAX));
    EXPECT_FALSE(group.RayTest(distance, normal, ray_c(vec3_c(0, 0, 0), vec3_c(0, 0, 100)), true, false, 5.0f));
    group.dissolve = 1.0f;
    EXPECT_FALSE(group.RayTest(distance, normal, ray_c(vec3_c(0, 0, 0), vec3_c(0, 0, 100)), true, false, FLT_MAX));
}
