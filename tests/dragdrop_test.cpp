#include "dragdrop.h"

#include <gtest/gtest.h>

namespace {

TEST(DropHandle, GivesCountAndEveryPathWhole)
{
    const size_t open = OpenDropHandles();
    const std::string longPath = "/" + std::string(299, 'a') + "/" + std::string(299, 'b');
    ASSERT_EQ(longPath.size(), 600u);
    const std::vector<std::string> paths = {"/comics/vol1", "/comics/表紙.jpg", longPath};

    HDROP h = NewDropHandle(paths);
    EXPECT_NE(h, 0u);
    EXPECT_EQ(OpenDropHandles(), open + 1);
    EXPECT_EQ(DragQueryFile(h, 0xFFFFFFFF, nullptr), 3u);
    for (unsigned i = 0; i < paths.size(); ++i) {
        std::string path;
        EXPECT_EQ(DragQueryFile(h, i, &path), paths[i].size());
        EXPECT_EQ(path, paths[i]);
        EXPECT_EQ(DragQueryFile(h, i, nullptr), paths[i].size());
    }

    std::string path = "stale";
    EXPECT_EQ(DragQueryFile(h, 3, &path), 0u);
    EXPECT_EQ(path, "");

    DragFinish(h);
    EXPECT_EQ(OpenDropHandles(), open);
    EXPECT_EQ(DragQueryFile(h, 0xFFFFFFFF, nullptr), 0u);
    EXPECT_EQ(DragQueryFile(h, 0, &path), 0u);
    DragFinish(h);
    DragFinish(0);
    EXPECT_EQ(OpenDropHandles(), open);
}

TEST(DropHandle, HandlesAreDistinctAndIndependent)
{
    HDROP a = NewDropHandle({"/a"});
    HDROP b = NewDropHandle({});
    EXPECT_NE(a, b);
    EXPECT_EQ(DragQueryFile(b, 0xFFFFFFFF, nullptr), 0u);
    DragFinish(b);
    std::string path;
    EXPECT_EQ(DragQueryFile(a, 0, &path), 2u);
    EXPECT_EQ(path, "/a");
    DragFinish(a);
}

}  // namespace
