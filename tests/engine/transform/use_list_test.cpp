#include "transform/use_list.h"

#include <gtest/gtest.h>

#include <vector>

using namespace mv;

namespace {

struct Recorder final : UseNotifier {
    std::vector<std::pair<const void*, int>> seen;
    UseList* list = nullptr;
    void notify(const void* user, const void* used, int message) override
    {
        seen.push_back({user, message});
        if (list) // a selector moving its entry while it is told
            use_remove(*list, user, used);
    }
};

} // namespace

TEST(UseList, FindsTheOldestBlockingUserAndNotifiesEachUserOnce)
{
    UseList list;
    int image = 0, other = 0, brightness = 0, amount = 0, selector = 0;
    EXPECT_FALSE(use_close_refusal(list, &image));
    use_add(list, &selector, &image, "Color Image Control", false);
    use_add(list, &brightness, &image, "Brightness", true);
    use_add(list, &amount, &image, "Amount Mask", true);
    use_add(list, &brightness, &other, std::string(100, 'x'), true);
    EXPECT_EQ(use_find(list, &image), std::optional<std::string>("Brightness"));
    EXPECT_EQ(use_close_refusal(list, &image),
              std::optional<std::string>("Window in use by Brightness - Cannot close"));
    EXPECT_EQ(use_find(list, &other)->size(), 80u);

    use_remove(list, &brightness, &image);
    EXPECT_EQ(use_find(list, &image), std::optional<std::string>("Amount Mask"));
    use_add(list, &brightness, &image, "Brightness", true);
    use_add(list, &brightness, &image, "Brightness", true);

    Recorder r;
    use_notify_changed(list, &image, r);
    ASSERT_EQ(r.seen.size(), 3u); // selector, amount, brightness, in list order
    EXPECT_EQ(r.seen[0].first, &selector);
    EXPECT_EQ(r.seen[1].first, &amount);
    EXPECT_EQ(r.seen[2].first, &brightness);
    EXPECT_EQ(r.seen[2].second, kMessageImageChanged);

    r.seen.clear();
    r.list = &list;
    use_notify_retitled(list, &image, r);
    EXPECT_EQ(r.seen.size(), 3u);
    EXPECT_EQ(r.seen[0].second, kMessageImageRetitled);
    EXPECT_FALSE(use_find(list, &image));

    use_forget(list, &brightness);
    EXPECT_TRUE(list.entries.empty());
}
