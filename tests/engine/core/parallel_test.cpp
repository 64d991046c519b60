#include "core/error.h"
#include "core/parallel.h"
#include "core/progress.h"
#include "../filters/filter_test_support.h"
#include "transform/operation.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace mv::test {
namespace {

// Restores the machine's thread count when a test ends.
struct ThreadCount {
    explicit ThreadCount(int n) { set_parallel_threads(n); }
    ~ThreadCount() { set_parallel_threads(0); }
};

Image picture(int type, int w, int h)
{
    const bool wide = type == IMAGE_GRAY16 || type == IMAGE_COLOR48;
    return make_image(type, w, h, [=](int x, int y, int c) {
        const int v = (x * 37 + y * 91 + c * 53 + (x * y) % 29) % 256;
        return type == IMAGE_BINARY ? (x + 2 * y) % 3 == 0 : wide ? v * 257 - (x % 7) : v;
    });
}

int apply(const char* name, std::vector<std::pair<std::string, std::string>> settings,
          const Image& in, Image& out, const Image* mask = nullptr)
{
    const Operation* op = operation_find(name);
    EXPECT_NE(op, nullptr) << name;
    OperationValues v = operation_defaults(*op);
    std::string message;
    for (const auto& [key, value] : settings)
        EXPECT_TRUE(operation_set(*op, v, key, value, message)) << message;
    return operation_apply(*op, v, in, out, 700, mask, 100, 900);
}

TEST(Parallel, BandsGiveTheSameBitsAsOneThread)
{
    using Settings = std::vector<std::pair<std::string, std::string>>;
    const std::vector<std::pair<const char*, Settings>> ops = {
        {"blur", {{"method", "gaussian"}, {"radius", "3"}}},
        {"blur", {{"method", "gaussian"}, {"radius", "9"}, {"threshold", "40"}}},
        {"blur", {{"method", "median-3x3"}}},
        {"sharpen", {{"method", "unsharp-mask"}, {"radius", "2"}}},
        {"sharpen", {}},
        {"levels-and-color", {{"dynamic-range", "full-range"}, {"midtones", "30"}}},
        {"equalize", {}},
        {"brightness", {}},
        // Outputs of another size, banded over output rows.
        {"resize", {{"width", "30"}, {"height", "50"}}},
        {"resize", {{"width", "127"}, {"height", "9"}, {"resolution", "300"}}},
        {"resize", {{"width", "17"}, {"height", "3"}, {"interpolation-method", "nearest-neighbor"}}},
        {"resize", {{"width", "61"}, {"height", "23"}}},
        {"resize", {{"width", "5"}, {"height", "1"}}},
        {"mirror-rotate", {{"orientation", "rotate-90-cw"}}},
        {"mirror-rotate", {{"orientation", "rotate-90-ccw"}}},
        {"mirror-rotate", {{"orientation", "reflect-diagonal"}}},
        {"mirror-rotate", {{"orientation", "reflect-anti-diagonal"}}},
        {"mirror-rotate", {{"orientation", "rotate-180"}}},
        {"mirror-rotate", {{"orientation", "mirror"}}},
        {"mirror-rotate", {{"orientation", "flip"}}},
    };
    const Image mask = make_image(IMAGE_GRAY, 61, 23, [](int x, int y, int) { return (x * 9 + y * 5) % 256; });
    for (int type : {IMAGE_BINARY, IMAGE_GRAY, IMAGE_COLOR, IMAGE_GRAY16, IMAGE_COLOR48}) {
        const Image in = picture(type, 61, 23);
        for (const auto& [name, settings] : ops) {
            const Operation* op = operation_find(name);
            if (!(op->accepted_types & (1u << type)))
                continue;
            for (const Image* m : {(const Image*)nullptr, &mask}) {
                Image one, two;
                int e1, e2;
                {
                    ThreadCount threads(1);
                    e1 = apply(name, settings, in, one, m);
                }
                {
                    ThreadCount threads(2);
                    e2 = apply(name, settings, in, two, m);
                }
                ASSERT_EQ(e1, 0) << name << " type " << type;
                ASSERT_EQ(e2, 0) << name << " type " << type;
                EXPECT_TRUE(same_pixels(one, two)) << name << " type " << type << (m ? " masked" : "");
                EXPECT_EQ(one.resolution, two.resolution) << name;
            }
        }
    }
}

// Presses Cancel as soon as its window shows progress.
class CancellingSink final : public ProgressSink {
public:
    CancellingSink() : previous_(set_progress_sink(this)) {}
    ~CancellingSink() override { set_progress_sink(previous_); }
    void begin(int, int last, std::string_view, bool) override { ++open, lasts.push_back(last); }
    int update(int) override { return ++updates, 11; }
    void end() override { --open; }
    int open = 0, updates = 0;
    std::vector<int> lasts;

private:
    ProgressSink* previous_;
};

TEST(Parallel, CancelStopsEveryBandAndErrorsComeThrough)
{
    ThreadCount threads(2);
    const Image in = picture(IMAGE_COLOR, 300, 400);
    {
        CancellingSink sink;
        Image out;
        EXPECT_EQ(apply("blur", {{"method", "gaussian"}, {"radius", "20"}}, in, out), kAborted);
        EXPECT_TRUE(out.empty());
        EXPECT_EQ(sink.open, 0);
        ASSERT_EQ(sink.lasts.size(), 1u); // one window, shown by the calling thread
        EXPECT_EQ(sink.lasts[0], 399);
    }
    // The same for outputs of another size, whose bands are output rows.
    for (const auto& [name, key, value] : {std::tuple{"resize", "width", "450"},
                                           {"mirror-rotate", "orientation", "rotate-90-cw"}}) {
        CancellingSink sink;
        Image out;
        EXPECT_EQ(apply(name, {{key, value}}, in, out), kAborted) << name;
        EXPECT_TRUE(out.empty());
        EXPECT_EQ(sink.open, 0);
        ASSERT_EQ(sink.lasts.size(), 1u);
        EXPECT_EQ(sink.lasts[0], name == std::string("resize") ? 599 : 299);
    }
    // A failing band's own error wins over the 11 of the bands it stopped.
    std::atomic<int> calls{0};
    const auto fail_low = [](int begin, int, void* c) {
        ++*static_cast<std::atomic<int>*>(c);
        return begin == 0 ? int(kOutOfMemory) : int(kOk);
    };
    EXPECT_EQ(parallel_bands(100, fail_low, &calls, 100, "x"), kOutOfMemory);
    EXPECT_EQ(calls.load(), 2);
    set_parallel_threads(1);
    EXPECT_EQ(parallel_threads(), 1);
    EXPECT_EQ(parallel_bands(100, fail_low, &calls, 100, "x"), kOutOfMemory);
    EXPECT_EQ(calls.load(), 3);
}

} // namespace
} // namespace mv::test
