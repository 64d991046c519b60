// A window system stand-in for the transformation state machine: records every request as
// a line of text and keeps window records for the windows it "creates".
#pragma once

#include "core/error.h"
#include "shell/image_view.h"
#include "transform/compute_driver.h"
#include "transform/transformation_state.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace mv::transform_test {

class FakeHost final : public TransformationHost {
public:
    FakeHost()
    {
        input.image.width = 0;
        windows[&input_handle] = &input;
    }

    int create_preview(bool full_result, void*& window) override
    {
        if (refuse_preview)
            return kTooManyImages;
        auto record = std::make_unique<WindowRecord>();
        const int zoom = full_result ? 1
                                     : preview_initial_zoom(state->output_width, state->output_height,
                                                            10, 30, 8, 1000, 800);
        preview_view_setup(*record, state->output_width, state->output_height, zoom);
        auto handle = std::make_unique<int>(++created);
        window = handle.get();
        windows[window] = record.get();
        records.push_back(std::move(record));
        handles.push_back(std::move(handle));
        log.push_back(full_result ? "create result" : "create preview");
        return kOk;
    }
    void destroy_window(void* window) override
    {
        log.push_back("destroy " + name(window));
        windows.erase(window);
    }
    void destroy_transformation_window(void* window) override
    {
        log.push_back("destroy " + name(window));
    }
    WindowRecord* record_of(void* window) override
    {
        auto it = windows.find(window);
        return it == windows.end() ? nullptr : it->second;
    }
    void client_size(void* window, int& width, int& height) override
    {
        const WindowRecord* r = record_of(window);
        width = r->visible_width;
        height = r->visible_height;
    }
    void set_preview_button_enabled(bool enabled) override { preview_enabled = enabled; }
    void set_auto_checked(bool checked) override { auto_checked = checked; }
    void activate(void* window) override { log.push_back("activate " + name(window)); }
    void show_error(int code) override { log.push_back("error " + std::to_string(code)); }
    void show_result(void* window, int zoom, int left, int top) override
    {
        log.push_back("show " + name(window) + " zoom " + std::to_string(zoom) + " at " +
                      std::to_string(left) + "," + std::to_string(top));
    }
    void finish_result(void* window) override { log.push_back("finish " + name(window)); }
    void refresh_preview_title(void* window) override { log.push_back("title " + name(window)); }
    void repaint(void* window) override { log.push_back("repaint " + name(window)); }
    void window_position(void*, int& left, int& top) override
    {
        left = 10;
        top = 30;
    }
    int margin() override { return 4; }
    int caption_step() override { return 20; }
    void reset_amount_mask(int width, int height) override
    {
        log.push_back("no mask " + std::to_string(width) + "x" + std::to_string(height));
    }
    void show_color_controls(bool shown) override
    {
        log.push_back(shown ? "colour controls" : "no colour controls");
    }
    void keep_inside(void* window) override { log.push_back("keep inside " + name(window)); }

    // "input", "transformation", "window N" for the N-th created window.
    std::string name(void* window) const
    {
        if (window == &input_handle)
            return "input";
        if (window == &other_input_handle)
            return "other";
        if (window == &transformation_handle)
            return "transformation";
        for (size_t i = 0; i < handles.size(); ++i)
            if (handles[i].get() == window)
                return "window " + std::to_string(i + 1);
        return "none";
    }
    bool has(const std::string& line) const
    {
        for (const auto& l : log)
            if (l == line)
                return true;
        return false;
    }

    TransformationState* state = nullptr;
    WindowRecord input, other_input;
    int input_handle = 0, other_input_handle = 0, transformation_handle = 0;
    std::map<void*, WindowRecord*> windows;
    std::vector<std::unique_ptr<WindowRecord>> records;
    std::vector<std::unique_ptr<int>> handles;
    std::vector<std::string> log;
    int created = 0;
    bool refuse_preview = false;
    bool preview_enabled = false;
    bool auto_checked = true;
};

} // namespace mv::transform_test
