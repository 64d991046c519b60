#include "core/progress.h"

#include "test_progress.h"

#include <gtest/gtest.h>

using namespace mv;

TEST(ProgressTimeLeft, SecondsFieldIsRemainderPlusOneAndHoursOverflowToAsterisks)
{
    // Finished: nothing remains, which still reads one second.
    EXPECT_EQ(progress_time_text(progress_time_left(10.0, 0, 10, 10)), "Time left: 00:00:01");
    // Half way after 3725 s: 3725 s remain, 1 h 2 min 5 s.
    const TimeLeft t = progress_time_left(3725.0, 0, 2, 1);
    EXPECT_EQ(t, (TimeLeft{1, 2, 6}));
    EXPECT_EQ(progress_time_text(t), "Time left: 01:02:06");
    // One hundredth done after 3636.3636 s: 360000 s (100 hours) remain.
    EXPECT_EQ(progress_time_text(progress_time_left(3636.36363636, 0, 100, 1)),
              "Time left: **:00:01");
    // The estimate rounds half away from zero: 0.5 s remaining is 1 s.
    EXPECT_EQ(progress_time_left(0.5, 0, 2, 1), (TimeLeft{0, 0, 2}));
}

TEST(ProgressTracker, BarSpansAreClampedAndFirstEqualsLastDrawsNothing)
{
    ProgressTracker p(0, 100, 0);
    ProgressTracker::Span s = p.advance(10, 200);
    EXPECT_EQ(s.from, 0);
    EXPECT_EQ(s.to, 20);
    s = p.advance(55, 200);
    EXPECT_EQ(s.from, 20);
    EXPECT_EQ(s.to, 110);
    s = p.advance(150, 200); // beyond last: clamped to the end of the bar
    EXPECT_EQ(s.from, 110);
    EXPECT_EQ(s.to, 200);
    EXPECT_EQ(p.filled_width(200), 200);

    ProgressTracker offset(50, 150, 0);
    s = offset.advance(75, 40);
    EXPECT_EQ(s.from, 0);
    EXPECT_EQ(s.to, 10);

    ProgressTracker one_row(0, 0, 0);
    s = one_row.advance(0, 200);
    EXPECT_EQ(s.from, s.to);
    EXPECT_EQ(one_row.filled_width(200), 0);
    EXPECT_FALSE(one_row.refresh_time(5000));
    EXPECT_EQ(one_row.shown(), TimeLeft{});
}

TEST(ProgressTracker, TimeTextChangesOnlyWhenAFieldChanges)
{
    ProgressTracker p(0, 100, 1000);
    EXPECT_FALSE(p.refresh_time(2000)); // still at first: no estimate
    p.advance(50, 100);
    EXPECT_TRUE(p.refresh_time(11000)); // 10 s for half: 10 s left
    EXPECT_EQ(p.shown(), (TimeLeft{0, 0, 11}));
    EXPECT_FALSE(p.refresh_time(11000));
    EXPECT_FALSE(p.cancelled());
    p.cancel();
    EXPECT_TRUE(p.cancelled());
}

TEST(ProgressScope, ShowsAWindowFromTenThousandPixelsAndTheWaitCursorBelow)
{
    test::TestProgressSink sink;
    {
        ProgressScope small(9999, 0, 98, "Small", true);
        EXPECT_EQ(small.update(0), 0);
        EXPECT_EQ(sink.wait_on, 1);
    }
    EXPECT_EQ(sink.wait_off, 1);
    EXPECT_TRUE(sink.begins.empty());
    EXPECT_TRUE(sink.updates.empty());
    {
        ProgressScope big(10000, 0, 99, "Big", true);
        sink.cancel_during(10);
        for (int r = 0; r <= 10; ++r)
            EXPECT_EQ(big.update(r), 0);
        EXPECT_EQ(big.update(11), 11);
    }
    ASSERT_EQ(sink.titles(), std::vector<std::string>{"Big"});
    EXPECT_EQ(sink.begins[0].last, 99);
    EXPECT_EQ(sink.ends, 1);
}
