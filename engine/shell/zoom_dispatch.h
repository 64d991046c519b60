// Where a zoom command goes: an image window zooms itself, a preview window gets its own
// preview message, transformation and tool windows get the command id to zoom their own
// views. The meaning of each command for an image window is data the window applies with
// the view arithmetic of image_view.h.
#pragma once

namespace mv {

enum class ZoomOp { kExpand, kFit, kZoomInResize, kZoomIn, kZoomOut, kZoomFactor, kZoom11 };

// The zoom operation of commands 3003..3008 and 3015; false for other ids.
bool zoom_op_of_command(int command, ZoomOp& op);

// Messages a preview window understands.
enum PreviewMessage : int {
    kPreviewZoomIn = 32782,
    kPreviewZoomOut = 32783,
    kPreviewZoomFactor = 32784, // with the factor chosen in the Zoom Factor dialog
    kPreviewZoom11 = 32787,
    kPreviewFit = 32795,
    kPreviewExpand = 32796,
    kPreviewZoomInResize = 32797,
};

// What an image window does for a zoom operation.
struct ImageZoomAction {
    enum Step {
        kStepIn,     // zoom_step_in
        kStepOut,    // zoom_step_out
        kSetOne,     // zoom 1 (nothing when already 1)
        kExpandZoom, // expand_zoom, then set with resize
        kFitZoom,    // fit_zoom, then set with resize
        kAskFactor,  // the Zoom Factor dialog
    } step;
    bool resize; // the window may shrink and grow to the picture
};

struct ZoomRoute {
    enum Target {
        kNothing,  // no active child
        kImage,    // the image window zooms itself: `image`
        kPreview,  // send `message` to the preview window (Zoom Factor: after the dialog)
        kForward,  // send `command` to the window as a command
    } target = kNothing;
    ZoomOp op = ZoomOp::kZoomIn;
    ImageZoomAction image{ImageZoomAction::kStepIn, false};
    int message = 0;
    int command = 0;
};

ImageZoomAction image_zoom_action(ZoomOp op);
int preview_zoom_message(ZoomOp op);

// The route of zoom command `command` for an active child of kind `kind` (-1: none).
// Kinds 2 and above receive the command id; commands that are no zoom commands go nowhere.
ZoomRoute zoom_route(int command, int kind);

} // namespace mv
