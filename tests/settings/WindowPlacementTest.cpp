#include "settings/WindowPlacement.h"

#include <gtest/gtest.h>

TEST(WindowPlacement, RectangleInsideTheUsableAreaStaysAsItIs) {
    WinRect usable{0, 0, 1920, 1040};
    WinRect saved{100, 50, 850, 580};
    EXPECT_EQ(KeepRectOnScreen(saved, usable), saved);
    EXPECT_EQ(KeepRectOnScreen(usable, usable), usable);
}

TEST(WindowPlacement, PartlyOffScreenMovesToTheOriginKeepingTheVisibleEdges) {
    WinRect usable{0, 0, 1920, 1040};
    EXPECT_EQ(KeepRectOnScreen(WinRect{1500, 900, 2250, 1430}, usable),
              (WinRect{0, 0, 1920, 1040}));
    EXPECT_EQ(KeepRectOnScreen(WinRect{-200, 100, 550, 630}, usable), (WinRect{0, 0, 550, 630}));
}

TEST(WindowPlacement, WhollyOutsideGivesAnEmptyRectangle) {
    WinRect usable{0, 30, 1920, 1080};
    WinRect kept = KeepRectOnScreen(WinRect{3000, 3000, 3750, 3530}, usable);
    EXPECT_TRUE(kept.isEmpty());
    EXPECT_EQ(kept.left, 0);
    EXPECT_EQ(kept.top, 30);
}
