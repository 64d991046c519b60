#include "zoom_dispatch.h"

#include "shell/command_table.h"

namespace mv {

bool zoom_op_of_command(int command, ZoomOp& op)
{
    switch (command) {
    case kCmdExpand: op = ZoomOp::kExpand; return true;
    case kCmdFit: op = ZoomOp::kFit; return true;
    case kCmdZoomInResize: op = ZoomOp::kZoomInResize; return true;
    case kCmdZoomIn: op = ZoomOp::kZoomIn; return true;
    case kCmdZoomOut: op = ZoomOp::kZoomOut; return true;
    case kCmdZoomFactor: op = ZoomOp::kZoomFactor; return true;
    case kCmdZoom11: op = ZoomOp::kZoom11; return true;
    default: return false;
    }
}

ImageZoomAction image_zoom_action(ZoomOp op)
{
    switch (op) {
    case ZoomOp::kExpand: return {ImageZoomAction::kExpandZoom, true};
    case ZoomOp::kFit: return {ImageZoomAction::kFitZoom, true};
    case ZoomOp::kZoomInResize: return {ImageZoomAction::kStepIn, true};
    case ZoomOp::kZoomIn: return {ImageZoomAction::kStepIn, false};
    case ZoomOp::kZoomOut: return {ImageZoomAction::kStepOut, true};
    case ZoomOp::kZoomFactor: return {ImageZoomAction::kAskFactor, true};
    case ZoomOp::kZoom11: return {ImageZoomAction::kSetOne, true};
    }
    return {ImageZoomAction::kStepIn, false};
}

int preview_zoom_message(ZoomOp op)
{
    switch (op) {
    case ZoomOp::kExpand: return kPreviewExpand;
    case ZoomOp::kFit: return kPreviewFit;
    case ZoomOp::kZoomInResize: return kPreviewZoomInResize;
    case ZoomOp::kZoomIn: return kPreviewZoomIn;
    case ZoomOp::kZoomOut: return kPreviewZoomOut;
    case ZoomOp::kZoomFactor: return kPreviewZoomFactor;
    case ZoomOp::kZoom11: return kPreviewZoom11;
    }
    return 0;
}

ZoomRoute zoom_route(int command, int kind)
{
    ZoomRoute r;
    if (kind < 0 || !zoom_op_of_command(command, r.op))
        return r;
    r.command = command;
    if (kind == 0) {
        r.target = ZoomRoute::kImage;
        r.image = image_zoom_action(r.op);
    } else if (kind == 1) {
        r.target = ZoomRoute::kPreview;
        r.message = preview_zoom_message(r.op);
    } else {
        r.target = ZoomRoute::kForward;
    }
    return r;
}

} // namespace mv
