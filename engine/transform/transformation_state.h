// The state of the one open transformation window and the behaviour its buttons share:
// Auto, Preview, Apply, OK and Cancel, the reaction to changed settings and to a changed
// input. Everything a window system must do (create and destroy windows, check boxes,
// activation, messages) goes through TransformationHost, which the editor implements; the
// engine decides what happens and in which order.
#pragma once

#include "shell/window_records.h"
#include "transform/region.h"

#include <string>

namespace mv {

struct UseList;

// Button ids of the button bar.
enum TransformationButton : int {
    kButtonOk = 0,
    kButtonCancel = 1,
    kButtonPreview = 2,
    kButtonAuto = 3,
    kButtonApply = 4,
};

// What the engine asks of the window system. Windows are opaque handles.
class TransformationHost {
public:
    virtual ~TransformationHost() = default;

    // Creates the preview window (kind 1, titled "Preview", with its window record, zoom and
    // view) for an output of the state's size; with `full_result` in the style of a full-size
    // result window. Result 0 with `window` set, or an error code (13 when no window record
    // is free) and no window.
    virtual int create_preview(bool full_result, void*& window) = 0;
    // Destroys a preview or result window together with its record.
    virtual void destroy_window(void* window) = 0;
    virtual void destroy_transformation_window(void* window) = 0;
    // The window record of an image, preview or result window.
    virtual WindowRecord* record_of(void* window) = 0;
    // The preview window's client size in pixels.
    virtual void client_size(void* window, int& width, int& height) = 0;

    virtual void set_preview_button_enabled(bool enabled) = 0;
    virtual void set_auto_checked(bool checked) = 0;
    virtual void activate(void* window) = 0;
    virtual void show_error(int code) = 0;

    // A successful full run: make the window an image window (kind 0) at `zoom`, placed with
    // its top-left corner at (left, top) in the client area, titled, its view set, shown.
    virtual void show_result(void* window, int zoom, int left, int top) = 0;
    // Apply's completion: set the modified flag, choose the zoom (from 1:1 down until the
    // window fits the client area), title it "Untitled %d", set its view.
    virtual void finish_result(void* window) = 0;
    // A successful preview run: refresh the title; repaint the whole window (rect null) or
    // nothing when a rectangle was computed (its caller repaints it).
    virtual void refresh_preview_title(void* window) = 0;
    virtual void repaint(void* window) = 0;

    // The input's top-left position in the client area, the margin and the caption height
    // plus twice the frame height, for cascading results.
    virtual void window_position(void* window, int& left, int& top) = 0;
    virtual int margin() = 0;
    virtual int caption_step() = 0;

    // Input change: reset the Amount control to "No Mask" with the new required mask size;
    // show or hide the colour-only controls (and resize the window); keep it inside the
    // client area.
    virtual void reset_amount_mask(int width, int height) = 0;
    virtual void show_color_controls(bool shown) = 0;
    virtual void keep_inside(void* window) = 0;
};

struct TransformationState {
    void* input_window = nullptr;
    void* transformation_window = nullptr;
    void* preview_window = nullptr;   // also the result window while Apply computes it
    int transformation_number = 0;
    int output_width = 0, output_height = 0;
    double output_resolution = 0;
    bool auto_on = false;
    bool preview_stale = true;
    bool changed_since_apply = true;
    int apply_count = 0;
    std::string title;                // the transformation's title: progress and use list
    UseList* uses = nullptr;          // the program's use list, if any
};

// What creating the button bar resets: auto off (box unchecked), preview stale, changed since
// apply, no results yet.
void transformation_reset(TransformationState& st, TransformationHost& host);

// A setting changed: recompute at once with Auto on, else mark the preview stale.
void preview_changed(TransformationState& st, TransformationHost& host, void* settings,
                     RegionFunction fn);

// The input image changed or was replaced.
void input_changed(TransformationState& st, TransformationHost& host, void* settings,
                   RegionFunction fn);

// Destroys the preview window if there is one, switches Auto off and marks the preview stale.
void close_preview(TransformationState& st, TransformationHost& host);

// The user closed the preview window: forget it, Auto off, preview stale, "Preview"
// enabled, the transformation window active.
void preview_window_closed(TransformationState& st, TransformationHost& host);

// The input selector chose `new_input`: the whole input change sequence.
void input_change_sequence(TransformationState& st, TransformationHost& host, void* new_input,
                           void* settings, RegionFunction fn);

// A click on a button of the bar.
void handle_button(TransformationState& st, TransformationHost& host, int id, void* settings,
                   RegionFunction fn);
// Cancel (also the close box and Escape) and OK (also Enter).
void transformation_cancel(TransformationState& st, TransformationHost& host);
void transformation_accept(TransformationState& st, TransformationHost& host, void* settings,
                           RegionFunction fn);

// Where a transformation window of the given outer size opens: centred across the client
// area, its bottom one margin above the area's bottom.
void transformation_window_origin(int area_width, int area_height, int width, int height,
                                  int margin, int& left, int& top);

// Moves a window back inside the client area: up by the bottom overshoot plus a margin, then
// left by the right overshoot plus a margin, never below 0.
void keep_inside_area(int area_width, int area_height, int width, int height, int margin,
                      int& left, int& top);

} // namespace mv
