#include "shell/cascade.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(Cascade, PositionsWrapAtAThirdOfTheWorkspace)
{
    // Step 20 (origin 5), caption 30, workspace 150 x 300: y wraps when it reaches 100, x
    // when it has reached 50 at that moment.
    const CascadeMetrics m{20, 30, 150, 300};
    EXPECT_EQ(cascade_origin(m), 5);
    const std::vector<CascadePoint> p = cascade_positions(8, m);
    ASSERT_EQ(p.size(), 8u);
    // The last window is placed first.
    EXPECT_EQ(p[7], (CascadePoint{5, 5}));
    EXPECT_EQ(p[6], (CascadePoint{25, 35}));
    EXPECT_EQ(p[5], (CascadePoint{45, 65}));
    // 65 + 30 = 95 is still below 100, so one more window before wrapping.
    EXPECT_EQ(p[4], (CascadePoint{65, 95}));
    // 125 >= 100: y returns to the origin, and x (85 >= 50) too.
    EXPECT_EQ(p[3], (CascadePoint{5, 5}));
    EXPECT_EQ(p[0], (CascadePoint{65, 95}));
    EXPECT_TRUE(cascade_positions(0, m).empty());

    // A wide workspace: y wraps but x keeps growing until it has reached a third.
    const CascadeMetrics wide{20, 30, 600, 150};
    const std::vector<CascadePoint> q = cascade_positions(4, wide);
    EXPECT_EQ(q[3], (CascadePoint{5, 5}));
    EXPECT_EQ(q[2], (CascadePoint{25, 35}));
    EXPECT_EQ(q[1], (CascadePoint{45, 5}));
    EXPECT_EQ(q[0], (CascadePoint{65, 35}));
}

TEST(Cascade, NewWindowFollowsItsReferenceAndWrapsPerAxis)
{
    const CascadeMetrics m{20, 30, 300, 300};
    EXPECT_EQ(cascade_next({5, 5}, m), (CascadePoint{25, 35}));
    // Only the axis that reached a third returns to the origin.
    EXPECT_EQ(cascade_next({85, 5}, m), (CascadePoint{5, 35}));
    EXPECT_EQ(cascade_next({5, 75}, m), (CascadePoint{25, 5}));
    EXPECT_EQ(cascade_next({79, 69}, m), (CascadePoint{99, 99}));
}

} // namespace
} // namespace mv
