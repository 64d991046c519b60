#include "transformation_state.h"

#include "transform/compute_driver.h"
#include "transform/use_list.h"

#include <algorithm>

namespace mv {
namespace {

void set_auto(TransformationState& st, TransformationHost& host, bool on)
{
    st.auto_on = on;
    host.set_auto_checked(on);
}

// Apply's completion once the full run succeeded: the result becomes an ordinary image
// window and the transformation window is ready for the next Apply.
void finish_apply(TransformationState& st, TransformationHost& host)
{
    void* result = st.preview_window;
    host.activate(result);
    host.finish_result(result);
    st.preview_window = nullptr;
    st.preview_stale = true;
    host.set_preview_button_enabled(true);
    st.changed_since_apply = false;
}

// Closing without a preview left: the use entry goes, the window goes, the state clears.
void close_window(TransformationState& st, TransformationHost& host)
{
    if (st.uses)
        use_remove(*st.uses, st.transformation_window, st.input_window);
    host.destroy_transformation_window(st.transformation_window);
    st.preview_window = nullptr;
    st.transformation_window = nullptr;
    st.input_window = nullptr;
    st.transformation_number = 0;
}

} // namespace

void transformation_reset(TransformationState& st, TransformationHost& host)
{
    set_auto(st, host, false);
    st.preview_stale = true;
    st.changed_since_apply = true;
    st.apply_count = 0;
}

void preview_changed(TransformationState& st, TransformationHost& host, void* settings,
                     RegionFunction fn)
{
    st.changed_since_apply = true;
    if (st.auto_on) {
        st.preview_stale = true;
        run(st, host, settings, false, nullptr, fn);
    } else if (!st.preview_stale) {
        st.preview_stale = true;
        host.set_preview_button_enabled(true);
    }
}

void input_changed(TransformationState& st, TransformationHost& host, void* settings,
                   RegionFunction fn)
{
    if (st.auto_on && st.preview_window) {
        close_preview(st, host);
        preview_changed(st, host, settings, fn);
        set_auto(st, host, true);
        // A failed run has switched Auto off again and left "Preview" enabled.
        if (run_code(st, host, settings, false, nullptr, fn) == 0)
            host.set_preview_button_enabled(false);
    } else {
        close_preview(st, host);
        preview_changed(st, host, settings, fn);
    }
    st.changed_since_apply = true;
}

void close_preview(TransformationState& st, TransformationHost& host)
{
    if (st.preview_window) {
        host.destroy_window(st.preview_window);
        st.preview_window = nullptr;
    }
    if (st.auto_on)
        set_auto(st, host, false);
    st.preview_stale = true;
    host.set_preview_button_enabled(true);
}

void preview_window_closed(TransformationState& st, TransformationHost& host)
{
    st.preview_window = nullptr;
    set_auto(st, host, false);
    st.preview_stale = true;
    host.set_preview_button_enabled(true);
    host.activate(st.transformation_window);
}

void input_change_sequence(TransformationState& st, TransformationHost& host, void* new_input,
                           void* settings, RegionFunction fn)
{
    close_preview(st, host);
    if (st.uses) {
        use_remove(*st.uses, st.transformation_window, st.input_window);
        use_add(*st.uses, st.transformation_window, new_input, st.title, true);
    }
    st.input_window = new_input;
    host.activate(new_input);
    host.activate(st.transformation_window);
    if (const WindowRecord* r = host.record_of(new_input)) {
        const Image& img = r->image;
        st.output_resolution = img.resolution;
        if (img.width != st.output_width || img.height != st.output_height) {
            st.output_width = img.width;
            st.output_height = img.height;
            host.reset_amount_mask(img.width, img.height);
        }
        host.show_color_controls(img.type == IMAGE_COLOR || img.type == IMAGE_COLOR48);
    }
    host.keep_inside(st.transformation_window);
    input_changed(st, host, settings, fn);
}

void handle_button(TransformationState& st, TransformationHost& host, int id, void* settings,
                   RegionFunction fn)
{
    switch (id) {
    case kButtonApply:
        close_preview(st, host);
        if (run_code(st, host, settings, true, nullptr, fn) == 0)
            finish_apply(st, host);
        break;
    case kButtonOk:
        transformation_accept(st, host, settings, fn);
        break;
    case kButtonCancel:
        transformation_cancel(st, host);
        break;
    case kButtonPreview:
        run(st, host, settings, false, nullptr, fn);
        break;
    case kButtonAuto:
        set_auto(st, host, !st.auto_on);
        if (st.auto_on)
            run(st, host, settings, false, nullptr, fn);
        host.set_preview_button_enabled(false);
        break;
    default:
        break;
    }
}

void transformation_cancel(TransformationState& st, TransformationHost& host)
{
    host.activate(st.input_window);
    if (st.preview_window) {
        host.destroy_window(st.preview_window);
        st.preview_window = nullptr;
    }
    close_window(st, host);
}

void transformation_accept(TransformationState& st, TransformationHost& host, void* settings,
                           RegionFunction fn)
{
    close_preview(st, host);
    if (!st.changed_since_apply) {
        transformation_cancel(st, host);
        return;
    }
    if (run_code(st, host, settings, true, nullptr, fn) != 0)
        return;
    finish_apply(st, host);
    close_window(st, host);
}

void transformation_window_origin(int area_width, int area_height, int width, int height,
                                  int margin, int& left, int& top)
{
    left = (area_width - width) / 2;
    top = area_height - height - margin;
}

void keep_inside_area(int area_width, int area_height, int width, int height, int margin,
                      int& left, int& top)
{
    if (top + height > area_height)
        top -= top + height - area_height + margin;
    if (left + width > area_width)
        left -= left + width - area_width + margin;
    left = std::max(left, 0);
    top = std::max(top, 0);
}

} // namespace mv
