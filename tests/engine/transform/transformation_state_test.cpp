#include "transform/transformation_state.h"

#include "fake_host.h"
#include "transform/use_list.h"
#include "transform_test_support.h"

#include <gtest/gtest.h>

using namespace mv;
using mv::transform_test::FakeHost;
using mv::transform_test::make_image;

namespace {

struct Probe {
    int calls = 0;
    int result = 0; // what the next runs return
    RegionRequest last;
};

int probe_region(const RegionRequest& q, void* settings)
{
    Probe& p = *static_cast<Probe*>(settings);
    ++p.calls;
    p.last = q;
    if (p.result)
        return p.result;
    return region_prepare_output(q, region_output_type(q.input->type, q.full));
}

// An open transformation over a 600 x 400 gray input.
struct Fixture {
    FakeHost host;
    TransformationState st;
    UseList uses;
    Probe probe;

    Fixture()
    {
        host.state = &st;
        host.input.image = make_image(IMAGE_GRAY, 600, 400, [](int, int, int) { return 0; });
        host.input.zoom = -2;
        st.input_window = &host.input_handle;
        st.transformation_window = &host.transformation_handle;
        st.transformation_number = 30;
        st.output_width = 600;
        st.output_height = 400;
        st.title = "Brightness";
        st.uses = &uses;
        use_add(uses, st.transformation_window, st.input_window, st.title, true);
        transformation_reset(st, host);
    }
    void button(int id) { handle_button(st, host, id, &probe, probe_region); }
    void changed() { preview_changed(st, host, &probe, probe_region); }
};

} // namespace

TEST(TransformationState, AutoRecomputesAndAnErrorSwitchesItOff)
{
    Fixture f;
    EXPECT_FALSE(f.host.auto_checked);
    EXPECT_TRUE(f.st.preview_stale);

    // Without Auto a change only marks the preview stale; Preview computes it.
    f.changed();
    EXPECT_EQ(f.probe.calls, 0);
    f.button(kButtonPreview);
    EXPECT_EQ(f.probe.calls, 1);
    ASSERT_NE(f.st.preview_window, nullptr);
    EXPECT_FALSE(f.st.preview_stale);
    EXPECT_FALSE(f.host.preview_enabled);
    EXPECT_FALSE(f.probe.last.full);
    EXPECT_EQ(f.probe.last.zoom, -2); // 600 x 400 fits half of 1000 x 800 at 1:2
    f.changed();
    EXPECT_TRUE(f.st.preview_stale);
    EXPECT_TRUE(f.host.preview_enabled);
    EXPECT_EQ(f.probe.calls, 1);
    f.button(kButtonPreview);
    EXPECT_EQ(f.probe.calls, 2);
    f.button(kButtonPreview); // current: nothing to do
    EXPECT_EQ(f.probe.calls, 2);

    // Auto on computes at once when stale, and after every change.
    f.changed();
    f.button(kButtonAuto);
    EXPECT_TRUE(f.st.auto_on);
    EXPECT_TRUE(f.host.auto_checked);
    EXPECT_FALSE(f.host.preview_enabled);
    EXPECT_EQ(f.probe.calls, 3);
    f.changed();
    EXPECT_EQ(f.probe.calls, 4);

    // A failing preview closes it, shows the message and switches Auto off.
    f.probe.result = 14;
    f.changed();
    EXPECT_EQ(f.probe.calls, 5);
    EXPECT_EQ(f.st.preview_window, nullptr);
    EXPECT_FALSE(f.st.auto_on);
    EXPECT_FALSE(f.host.auto_checked);
    EXPECT_TRUE(f.host.preview_enabled);
    EXPECT_TRUE(f.host.has("error 14"));
    EXPECT_EQ(f.host.log.back(), "activate transformation");

    // No free window record: 13 is shown and no preview exists.
    f.probe.result = 0;
    f.host.refuse_preview = true;
    f.button(kButtonPreview);
    EXPECT_TRUE(f.host.has("error 13"));
    EXPECT_EQ(f.st.preview_window, nullptr);
    EXPECT_EQ(f.probe.calls, 5);
}

TEST(TransformationState, ApplyCascadesResultsAndOkAfterApplyJustCloses)
{
    Fixture f;
    f.button(kButtonAuto);
    ASSERT_NE(f.st.preview_window, nullptr);
    for (int n = 1; n <= 3; ++n) {
        f.host.log.clear();
        f.button(kButtonApply);
        EXPECT_EQ(f.st.apply_count, n);
        EXPECT_TRUE(f.probe.last.full);
        EXPECT_EQ(f.probe.last.zoom, 1);
        EXPECT_EQ(f.probe.last.columns, 600);
        EXPECT_EQ(f.probe.last.rows, 400);
        EXPECT_EQ(f.probe.last.last_row, 399);
        const std::string result = "window " + std::to_string(n + 1);
        // Results keep the input's zoom and step one margin right, one caption down.
        EXPECT_TRUE(f.host.has("show " + result + " zoom -2 at " + std::to_string(10 + 4 * n) +
                               "," + std::to_string(30 + 20 * n)))
            << n;
        EXPECT_TRUE(f.host.has("finish " + result));
        EXPECT_EQ(f.st.preview_window, nullptr);
        EXPECT_FALSE(f.st.auto_on); // Apply closes the preview, which switches Auto off
        EXPECT_TRUE(f.st.preview_stale);
        EXPECT_TRUE(f.host.preview_enabled);
        EXPECT_FALSE(f.st.changed_since_apply);
        // The output of a full run is the new window's own Image.
        EXPECT_EQ(f.host.record_of(f.host.handles[n].get())->image.width, 600);
    }
    EXPECT_EQ(f.host.log.front(), "create result"); // no preview to destroy any more

    const int calls = f.probe.calls;
    f.host.log.clear();
    f.button(kButtonOk);
    EXPECT_EQ(f.probe.calls, calls);
    EXPECT_TRUE(f.host.has("destroy transformation"));
    EXPECT_EQ(f.st.transformation_window, nullptr);
    EXPECT_EQ(f.st.input_window, nullptr);
    EXPECT_EQ(f.st.transformation_number, 0);
    EXPECT_FALSE(use_find(f.uses, &f.host.input_handle));
}

TEST(TransformationState, OkComputesWhenChangedAndStaysOpenWhenCancelled)
{
    Fixture f;
    f.probe.result = 11;
    f.button(kButtonOk);
    EXPECT_TRUE(f.host.has("create result"));
    EXPECT_TRUE(f.host.has("destroy window 1")); // the half-made result is discarded
    EXPECT_TRUE(f.host.has("error 11"));
    EXPECT_EQ(f.st.preview_window, nullptr);
    EXPECT_NE(f.st.transformation_window, nullptr);
    EXPECT_EQ(f.st.apply_count, 0);
    EXPECT_TRUE(bool(use_find(f.uses, &f.host.input_handle)));

    // A cancelled Apply through the driver answers true.
    f.host.log.clear();
    EXPECT_TRUE(run(f.st, f.host, &f.probe, true, nullptr, probe_region));
    f.probe.result = 0;
    f.host.log.clear();
    f.button(kButtonOk);
    EXPECT_TRUE(f.host.has("finish window 3"));
    EXPECT_TRUE(f.host.has("destroy transformation"));
    EXPECT_FALSE(f.host.has("activate input"));
    EXPECT_EQ(f.st.transformation_window, nullptr);
}

TEST(TransformationState, CancelAndPreviewCloseAndInputChange)
{
    Fixture f;
    f.button(kButtonAuto);
    void* preview = f.st.preview_window;
    ASSERT_NE(preview, nullptr);

    // The user closes the preview: Auto goes off, the transformation stays.
    preview_window_closed(f.st, f.host);
    EXPECT_EQ(f.st.preview_window, nullptr);
    EXPECT_FALSE(f.st.auto_on);
    EXPECT_TRUE(f.host.preview_enabled);
    EXPECT_EQ(f.host.log.back(), "activate transformation");

    // Another input of another size, chosen while Auto is on: the preview closes first
    // (switching Auto off), the use entry moves, the mask resets.
    f.button(kButtonAuto);
    const int calls = f.probe.calls;
    f.host.other_input.image = make_image(IMAGE_COLOR, 300, 200, [](int, int, int) { return 1; });
    f.host.other_input.image.resolution = 300;
    f.host.windows[&f.host.other_input_handle] = &f.host.other_input;
    f.host.log.clear();
    input_change_sequence(f.st, f.host, &f.host.other_input_handle, &f.probe, probe_region);
    EXPECT_EQ(f.st.input_window, &f.host.other_input_handle);
    EXPECT_EQ(f.st.output_width, 300);
    EXPECT_EQ(f.st.output_height, 200);
    EXPECT_EQ(f.st.output_resolution, 300);
    EXPECT_TRUE(f.host.has("no mask 300x200"));
    EXPECT_TRUE(f.host.has("colour controls"));
    EXPECT_TRUE(f.host.has("keep inside transformation"));
    EXPECT_FALSE(use_find(f.uses, &f.host.input_handle));
    EXPECT_EQ(use_find(f.uses, &f.host.other_input_handle), std::optional<std::string>("Brightness"));
    EXPECT_FALSE(f.st.auto_on);
    EXPECT_EQ(f.st.preview_window, nullptr);
    EXPECT_TRUE(f.st.preview_stale);
    EXPECT_TRUE(f.host.preview_enabled);
    EXPECT_EQ(f.probe.calls, calls);

    // input_changed itself, with Auto on and a preview: recomputed at once, Auto stays on.
    f.button(kButtonAuto);
    EXPECT_EQ(f.probe.calls, calls + 1);
    EXPECT_EQ(f.probe.last.input, &f.host.other_input.image);
    void* before = f.st.preview_window;
    input_changed(f.st, f.host, &f.probe, probe_region);
    EXPECT_TRUE(f.st.auto_on);
    EXPECT_TRUE(f.host.auto_checked);
    EXPECT_FALSE(f.host.preview_enabled);
    EXPECT_EQ(f.probe.calls, calls + 2);
    EXPECT_NE(f.st.preview_window, nullptr);
    EXPECT_NE(f.st.preview_window, before); // a new preview window

    // Same size again: no mask reset.
    f.host.log.clear();
    input_change_sequence(f.st, f.host, &f.host.other_input_handle, &f.probe, probe_region);
    EXPECT_FALSE(f.host.has("no mask 300x200"));
    EXPECT_EQ(f.st.preview_window, nullptr);

    // Cancel: input activated first, preview destroyed, use entry removed, state cleared.
    f.button(kButtonPreview);
    f.host.log.clear();
    f.button(kButtonCancel);
    ASSERT_GE(f.host.log.size(), 3u);
    EXPECT_EQ(f.host.log[0], "activate other");
    EXPECT_EQ(f.host.log[1].rfind("destroy window", 0), 0u);
    EXPECT_EQ(f.host.log[2], "destroy transformation");
    EXPECT_TRUE(f.uses.entries.empty());
    EXPECT_EQ(f.st.input_window, nullptr);
    EXPECT_EQ(f.st.preview_window, nullptr);
}

TEST(TransformationState, PreviewRunsPassTheVisibleRegion)
{
    Fixture f;
    f.button(kButtonPreview);
    const RegionRequest& q = f.probe.last;
    WindowRecord* preview = f.host.record_of(f.st.preview_window);
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(q.output, &preview->display);
    EXPECT_EQ(q.input, &f.host.input.image);
    EXPECT_EQ(q.output_width, 300); // the 1:2 preview's client area
    EXPECT_EQ(q.output_height, 200);
    EXPECT_EQ(q.columns, 300);
    EXPECT_EQ(q.rows, 200);
    EXPECT_EQ(q.x0, 0);
    EXPECT_EQ(q.y0, 0);
    EXPECT_EQ(q.title, "Brightness");
    EXPECT_TRUE(f.host.has("repaint window 1"));
    EXPECT_EQ(preview->display.width, 300);

    // A scrolled view asking for one strip: only that strip, no repaint of the whole.
    preview->shown = {100, 0, 699, 299};
    f.st.preview_stale = true;
    f.host.log.clear();
    const IntRect strip{280, 0, 299, 199};
    EXPECT_FALSE(run(f.st, f.host, &f.probe, false, &strip, probe_region));
    EXPECT_EQ(f.probe.last.first_column, 280);
    EXPECT_EQ(f.probe.last.columns, 20);
    EXPECT_EQ(f.probe.last.x0, 100 + 560);
    EXPECT_EQ(f.probe.last.y0, 400 - 1 - 299);
    EXPECT_FALSE(f.host.has("repaint window 1"));
    EXPECT_TRUE(f.host.has("title window 1"));
}

TEST(TransformationState, WindowPlacement)
{
    int left = 0, top = 0;
    transformation_window_origin(1000, 700, 300, 200, 4, left, top);
    EXPECT_EQ(left, 350);
    EXPECT_EQ(top, 496);
    left = 900;
    top = 600;
    keep_inside_area(1000, 700, 300, 200, 4, left, top);
    EXPECT_EQ(top, 496);
    EXPECT_EQ(left, 696);
    left = 10;
    top = 10;
    keep_inside_area(200, 100, 300, 200, 4, left, top);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(top, 0);
}
