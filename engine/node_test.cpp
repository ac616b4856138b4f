#include "engine/node.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class item_c : public named_node_c<item_c> {
public:
    explicit item_c(const char* _name) : named_node_c<item_c>(_name) {}
    item_c(const item_c&) = default;
};

std::vector<std::string> Names(const node_list_c<item_c>& list)
{
    std::vector<std::string> names;
    for (const item_c* item = list.GetFirst(); item; item = item->GetNext())
        names.push_back(item->GetName().GetData());
    return names;
}

} // namespace

TEST(NodeListTest, AppendAndUnlinkKeepTheLinksConsistent)
{
    item_c a("a"), b("b"), c("c");
    node_list_c<item_c> list;
    list.Append(&a);
    list.Append(&b);
    list.Append(&c);
    EXPECT_EQ(list.GetCount(), 3u);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(c.GetPrevious(), &b);

    list.Unlink(&b);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(c.GetPrevious(), &a);
    EXPECT_EQ(b.GetNext(), nullptr);
    list.Unlink(&a);
    EXPECT_EQ(list.GetFirst(), &c);
    list.Unlink(&c);
    EXPECT_EQ(list.GetFirst(), nullptr);
    EXPECT_EQ(list.GetLast(), nullptr);
    EXPECT_EQ(list.GetCount(), 0u);

    list.Append(&c);
    list.Append(&a);
    list.Unlink(&a);
    EXPECT_EQ(list.GetLast(), &c);
    list.Unlink(&c);
}

TEST(NodeListTest, ContainsComparesPointersOnly)
{
    item_c a("a"), b("b");
    node_list_c<item_c> list;
    list.Append(&a);
    EXPECT_TRUE(list.Contains(&a));
    EXPECT_FALSE(list.Contains(&b));
    EXPECT_FALSE(list.Contains(nullptr));
    list.Unlink(&a);
}

TEST(NodeListTest, ACopyIsInNoList)
{
    item_c a("a"), b("b");
    node_list_c<item_c> list;
    list.Append(&a);
    list.Append(&b);
    const item_c copy(a);
    EXPECT_EQ(copy.GetNext(), nullptr);
    EXPECT_EQ(copy.GetName(), "a");
    list.Unlink(&a);
    list.Unlink(&b);
}
