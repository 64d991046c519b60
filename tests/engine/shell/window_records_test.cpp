#include "shell/window_records.h"

#include "core/error.h"

#include <gtest/gtest.h>

using namespace mv;

TEST(WindowRecords, AllocationRotatesAndRunsOutWithTooManyImages)
{
    window_records_reset();
    int index = -1;
    WindowRecord* record = nullptr;
    ASSERT_EQ(window_record_allocate(index, record), 0);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(record, window_record_at(0));
    EXPECT_FALSE(record->free);
    EXPECT_EQ(record->index, 0);
    EXPECT_EQ(record->zoom, 1);
    EXPECT_EQ(record->grid_divisions, 1);
    EXPECT_EQ(record->overlay_mode, 255);
    record->path = "a.tif";
    image_alloc(record->image, IMAGE_GRAY, 4, 4, 100.0);

    // The start index moved on: releasing 0 does not make it the next choice.
    window_record_release(0);
    EXPECT_TRUE(window_record_at(0)->free);
    EXPECT_TRUE(window_record_at(0)->image.empty());
    ASSERT_EQ(window_record_allocate(index, record), 0);
    EXPECT_EQ(index, 1);

    for (int k = 2; k < kWindowRecordCount; ++k) {
        ASSERT_EQ(window_record_allocate(index, record), 0);
        EXPECT_EQ(index, k);
    }
    // The search wraps to the free slot 0; the record comes back reset.
    ASSERT_EQ(window_record_allocate(index, record), 0);
    EXPECT_EQ(index, 0);
    EXPECT_TRUE(record->path.empty());
    EXPECT_EQ(window_record_allocate(index, record), kTooManyImages);

    window_record_release(-1);
    window_record_release(256);
    window_record_release(100);
    ASSERT_EQ(window_record_allocate(index, record), 0);
    EXPECT_EQ(index, 100);
    window_records_reset();
}

TEST(WindowRecords, LookupOutsideTheTableGivesNone)
{
    EXPECT_EQ(window_record_at(-1), nullptr);
    EXPECT_EQ(window_record_at(256), nullptr);
    ASSERT_NE(window_record_at(255), nullptr);
    EXPECT_EQ(window_record_at(255)->index, 255);
}
