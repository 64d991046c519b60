#include "compute_driver.h"

#include "transform/banded_apply.h"

#include "core/error.h"
#include "shell/image_view.h"

#include <algorithm>
#include <climits>

namespace mv {

PreviewRegion preview_region(int zoom, int client_width, int client_height, const IntRect* rect,
                             int first_visible_column, int last_visible_row, int image_height)
{
    IntRect r{0, 0, client_width - 1, client_height - 1};
    if (rect) {
        r.left = std::max(rect->left, 0);
        r.top = std::max(rect->top, 0);
        r.right = std::min(rect->right, client_width - 1);
        r.bottom = std::min(rect->bottom, client_height - 1);
    }
    PreviewRegion p;
    if (r.left > r.right || r.top > r.bottom)
        return p;
    p.first_column = r.left;
    p.last_column = r.right;
    p.first_row = client_height - 1 - r.bottom;
    p.last_row = client_height - 1 - r.top;
    const int width = p.last_column - p.first_column + 1;
    const int height = p.last_row - p.first_row + 1;
    int column, row; // the region's start in input pixels from the view's corner
    if (zoom >= 1) {
        column = p.first_column / zoom;
        row = p.first_row / zoom;
        p.columns = (width + zoom - 1) / zoom;
        p.rows = (height + zoom - 1) / zoom;
    } else {
        const int k = -zoom;
        column = p.first_column * k;
        row = p.first_row * k;
        p.columns = width;
        p.rows = height;
    }
    p.x0 = first_visible_column + column;
    p.y0 = image_height - 1 - last_visible_row + row;
    return p;
}

int preview_initial_zoom(int width, int height, int frame_width, int frame_height, int border,
                         int area_width, int area_height)
{
    const int limit = std::max({width, height, 1});
    int k = 1;
    while (k < limit && ((width + k - 1) / k + frame_width + 2 * border > area_width / 2 ||
                         (height + k - 1) / k + frame_height + 2 * border > area_height / 2))
        ++k;
    return k == 1 ? 1 : -k;
}

void preview_geometry(int width, int height, int zoom, int frame_width, int frame_height,
                      int area_width, int& left, int& outer_width, int& outer_height)
{
    outer_width = zoomed_length(width, zoom) + frame_width;
    outer_height = zoomed_length(height, zoom) + frame_height;
    left = area_width - outer_width;
}

void preview_view_setup(WindowRecord& r, int width, int height, int zoom)
{
    r.zoom = zoom;
    r.visible_width = zoomed_length(width, zoom);
    r.visible_height = zoomed_length(height, zoom);
    r.display_rect = {0, 0, r.visible_width - 1, r.visible_height - 1};
    r.shown = {0, 0, width - 1, height - 1};
    r.scroll_max_x = r.scroll_max_y = 0;
    r.centre_left = r.centre_top = 0;
}

void result_position(int input_left, int input_top, int margin, int caption_step, int count,
                     int& left, int& top)
{
    left = input_left + margin * count;
    top = input_top + caption_step * count;
}

std::optional<IntRect> preview_scroll_strip(bool horizontal, int old_position, int new_position,
                                            int visible_width, int visible_height, int zoom)
{
    const int delta = new_position - old_position;
    const int extent = horizontal ? visible_width : visible_height;
    if (delta == 0)
        return IntRect{0, 0, -1, -1};
    if (delta >= extent || -delta >= extent)
        return std::nullopt;
    int from, to; // the uncovered span along the axis, inclusive
    if (delta > 0) {
        from = extent - delta;
        if (zoom > 1)
            from -= from % zoom;
        to = extent - 1;
    } else {
        from = 0;
        to = -delta - 1;
    }
    if (horizontal)
        return IntRect{from, 0, to, visible_height - 1};
    return IntRect{0, from, visible_width - 1, to};
}

int run_code(TransformationState& st, TransformationHost& host, void* settings, bool full,
             const IntRect* rect, RegionFunction fn)
{
    st.changed_since_apply = true;
    if (!full && !st.preview_stale)
        return kOk;
    if (full && st.preview_window) {
        host.destroy_window(st.preview_window);
        st.preview_window = nullptr;
    }
    if (!st.preview_window) {
        void* window = nullptr;
        if (int e = host.create_preview(full, window)) {
            close_preview(st, host);
            host.show_error(e);
            host.activate(st.transformation_window);
            return e;
        }
        st.preview_window = window;
    }
    WindowRecord* in = host.record_of(st.input_window);
    WindowRecord* out = host.record_of(st.preview_window);

    int code = kIllegalImageType;
    if (in && out && fn) {
        RegionRequest q;
        q.input = &in->image;
        q.input_record = in;
        q.output_record = out;
        q.full = full;
        q.title = st.title;
        if (full) {
            q.output = &out->image;
            q.output_width = q.columns = st.output_width;
            q.output_height = q.rows = st.output_height;
            q.last_column = st.output_width - 1;
            q.last_row = st.output_height - 1;
        } else {
            q.output = &out->display;
            host.client_size(st.preview_window, q.output_width, q.output_height);
            q.zoom = out->zoom;
            const PreviewRegion p =
                preview_region(out->zoom, q.output_width, q.output_height, rect, out->shown.left,
                               out->shown.bottom, st.output_height);
            q.x0 = p.x0;
            q.y0 = p.y0;
            q.first_column = p.first_column;
            q.first_row = p.first_row;
            q.last_column = p.last_column;
            q.last_row = p.last_row;
            q.columns = p.columns;
            q.rows = p.rows;
        }
        if (q.columns <= 0 || q.rows <= 0)
            code = kOk;
        else if (full && region_runs_in_bands(fn, q))
            code = region_apply_in_bands(fn, q, settings);
        else
            code = fn(q, settings);
    }
    if (code) {
        close_preview(st, host);
        host.show_error(code);
        host.activate(st.transformation_window);
        return code;
    }
    void* window = st.preview_window;
    if (full) {
        ++st.apply_count;
        int input_left = 0, input_top = 0, left = 0, top = 0;
        host.window_position(st.input_window, input_left, input_top);
        result_position(input_left, input_top, host.margin(), host.caption_step(), st.apply_count,
                        left, top);
        host.show_result(window, in->zoom, left, top);
    } else {
        host.refresh_preview_title(window);
    }
    if (!rect)
        host.repaint(window);
    st.preview_stale = false;
    host.set_preview_button_enabled(false);
    host.activate(window);
    return kOk;
}

bool run(TransformationState& st, TransformationHost& host, void* settings, bool full,
         const IntRect* rect, RegionFunction fn)
{
    return run_code(st, host, settings, full, rect, fn) == kAborted;
}

} // namespace mv
