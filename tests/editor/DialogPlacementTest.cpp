#include "editor/DialogPlacement.h"

#include <gtest/gtest.h>

TEST(DialogPlacement, ADialogOverAMatchGoesToTheNearestPlaceOnScreenThatLeavesItClear) {
    const QRect screen(0, 0, 800, 600);
    const QRect match(100, 300, 60, 16); // bottom edge at y 315
    const struct Case {
        QRect dialog;
        QPoint expected;
    } cases[] = {
        {QRect(50, 20, 300, 120), QPoint(50, 20)},    // not over the match: stays
        {QRect(50, 250, 300, 120), QPoint(50, 324)},  // below is nearer than above
        {QRect(50, 290, 300, 120), QPoint(50, 324)},  //
        {QRect(50, 200, 300, 110), QPoint(50, 182)},  // above is nearer
        {QRect(50, 250, 300, 300), QPoint(168, 250)}, // too tall for above or below: beside
        {QRect(0, 0, 800, 600), QPoint(0, 0)},        // fills the screen: nowhere to go
    };
    for (const Case& c : cases)
        EXPECT_EQ(placeClearOf(c.dialog, match, screen), c.expected) << c.dialog.y();
}
