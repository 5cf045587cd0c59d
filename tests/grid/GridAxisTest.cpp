#include "grid/GridAxis.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

GridAxis axisOf(const std::vector<int>& sizes) {
    GridAxis axis;
    axis.resize(int(sizes.size()), 0);
    for (size_t i = 0; i < sizes.size(); ++i)
        axis.setSize(int(i), sizes[i]);
    return axis;
}

// Pixel lookups against a walk over the sizes, hidden entries among them; the long axis has
// hidden runs across many groups of entries and a whole hidden group, the varied one more
// different sizes than the compact table holds.
TEST(GridAxis, AnswersStartAndIndexAtLikeAWalk) {
    std::vector<int> longAxis, varied;
    for (int i = 0; i < 700; ++i) {
        longAxis.push_back((i >= 128 && i < 200) || i % 7 == 3 ? 0 : 1 + i % 5);
        varied.push_back(i % 3 ? 1 + i : 0);
    }
    for (const std::vector<int>& sizes :
         {std::vector<int>{10, 0, 0, 5, 20, 0, 1, 7, 0}, longAxis, varied}) {
        GridAxis axis = axisOf(sizes);
        qint64 start = 0;
        for (size_t i = 0; i < sizes.size(); ++i) {
            EXPECT_EQ(axis.start(int(i)), start) << i;
            for (int p = 0; p < sizes[i]; ++p)
                EXPECT_EQ(axis.indexAt(start + p), int(i)) << "pixel " << start + p;
            start += sizes[i];
        }
        EXPECT_EQ(axis.total(), start);
        EXPECT_EQ(axis.indexAt(start), -1);
        EXPECT_EQ(axis.indexAt(-1), -1);
    }
}

TEST(GridAxis, FindsVisibleNeighboursOverHiddenRuns) {
    const GridAxis axis = axisOf({0, 4, 0, 0, 3, 0});
    const struct {
        int from, after, before;
    } cases[] = {{0, 1, -1}, {1, 1, 1}, {2, 4, 1}, {3, 4, 1}, {5, -1, 4}, {9, -1, 4}};
    for (const auto& c : cases) {
        EXPECT_EQ(axis.visibleAtOrAfter(c.from), c.after) << c.from;
        EXPECT_EQ(axis.visibleAtOrBefore(c.from), c.before) << c.from;
    }
}

TEST(GridAxis, KeepsSumsThroughInsertRemoveAndReorder) {
    GridAxis axis = axisOf({1, 2, 3});
    axis.insert(3, 2, 10); // at the count: appended
    axis.insert(0, 1, 100);
    EXPECT_EQ(axis.total(), 126);
    axis.remove(1, 2); // 1 and 2 gone
    EXPECT_EQ(axis.start(2), 103);
    axis.reorder({3, 2, 1, 0}); // 100 3 10 10 -> 10 10 3 100
    EXPECT_EQ(axis.size(0), 10);
    EXPECT_EQ(axis.indexAt(23), 3);
    axis.setSize(7, 5); // outside: nothing happens
    axis.insert(9, 1, 5);
    EXPECT_EQ(axis.count(), 4);
    EXPECT_EQ(axis.total(), 123);
}

} // namespace
