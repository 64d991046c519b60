#include "error.h"

#include <algorithm>
#include <cstdio>

namespace mv {
namespace {

constexpr const char* kMessages[kLastErrorCode + 1] = {
    "OK",
    "Out of memory",
    "Unexpected end of file",
    "Cannot create file",
    "Cannot open file",
    "Error reading file",
    "Error writing file (disk full?)",
    "Error getting file position",
    "Error setting file position",
    "Error closing file",
    "Error changing working directory",
    "Operation Aborted",
    "Error reading file header",
    "Too many images",
    "Illegal input image type",
    "Illegal color line file",
    "Illegal curve file",
    "Illegal monitor calibration file",
    "Warning - monitor calibration not loaded",
    "CD-ROM drive not found",
    "PhotoCD overview file not found",
    "Problem accessing Sequel System Calibrator",
    "Error reading JPEG file",
    "Error writing JPEG file (disk full?)",
    "Only grayscale or color images can be saved in JPEG format",
    "Error reading TARGA file",
    "Error writing TARGA file (disk full?)",
    "Only grayscale or color images can be saved in TARGA format",
    "Error reading BMP file",
    "Error writing BMP file (disk full?)",
    "Only binary, grayscale, or color images can be saved in BMP format",
    "Illegal color balance file",
    "Can't clone an image of this type",
    "Can't paint or draw on an image of this type",
    "Can't clone color over gray",
    "Can't retouch an image of this type",
    "Window in use - cannot close",
    "Can't create or delete file on read-only disk",
    "Error deleting file",
    "Photo CD drive not specified -- see File Preferences",
    "Cannot determine printer page size",
    "Error generating spline curve",
    "Illegal color curve file",
    "Illegal input gamma value",
    "Illegal output gamma value",
    "Problem reading FlashPix file",
    "Only grayscale or color images can be saved in FITS format",
    "Only binary, grayscale, or color images can be saved in PNG format",
    "Problem reading PNG file",
    "Problem writing PNG file",
    "Problem reading PCX file",
    "Problem writing PCX file",
    "Only binary, grayscale, or color images can be saved in PCX format",
    "Problem reading GIF file",
    "Problem writing GIF file",
    "Only binary, grayscale, or color images can be saved in GIF format",
    "Problem reading TIFF file",
    "Problem writing TIFF file",
    "Only binary, grayscale, or color images can be saved in TIFF format",
    "Problem writing EPS file",
    "Only binary, grayscale, or color images can be saved in EPS format",
    "All alignment points must be distinct",
    "No halftone screen image specified",
    "Problem writing FlashPix file",
    "Print area too small (check margins)",
    "Error checking directory",
    "No left image specified",
    "No right image specified",
    "Only save grayscale or color images can be saved in FlashPix format",
    "Display adapter set to less than 256 colors",
    "Unsupported clipboard compression type",
    "Unknown file type",
    "This application requires Windows 3.1",
    "Internal Error 1",
    "Internal Error 2",
    "Internal Error 3",
    "Window in use - cannot save under a new name",
    "No image specified or images not all the same type",
    "File of same name already open",
    "Error reading PhotoCD Image",
    "Cannot compute perspective transformation",
    "Image too small",
    "Tools/Probes don't work on preview windows",
    "Windows is not running in Enhanced Mode",
    "Error reading FITS file",
    "Error writing FITS file",
    "Display is set to 256 colors but palette is disabled",
    "Illegal color registration file",
    "Cannot find or create the temporary file directory",
    "Error scanning directory for matching files",
    "Error reading PhotoCD file",
    "Density value illegal or out of sequence",
    "Missing reference image file: refimg.jpg",
    "Illegal drive letter",
    "Printer not ready",
    "Illegal page layout file",
    "Error reading RLE file",
    "Error writing RLE file (disk full?)",
    "Only binary or grayscale image can be saved in RLE format",
    "Error reading image file",
    "Illegal color correction file",
    "Image too big for clipboard",
};

// Until the editor or the batch tool installs its own sink, messages go to standard error
// and every question is answered with its first button.
class StderrSink final : public MessageSink {
public:
    int show(std::string_view title, std::string_view text, int buttons) override
    {
        std::fprintf(stderr, "%.*s: %.*s\n", int(title.size()), title.data(), int(text.size()),
                     text.data());
        return buttons == kButtonsOk || buttons == kButtonsOkCancel ? kResultOk : kResultYes;
    }
};

StderrSink g_stderr_sink;
MessageSink* g_sink = &g_stderr_sink;

} // namespace

const char* error_text(int code)
{
    if (code < 0 || code > kLastErrorCode)
        return "Unrecognized Error";
    return kMessages[code];
}

MessageSink* set_message_sink(MessageSink* sink)
{
    MessageSink* previous = g_sink == &g_stderr_sink ? nullptr : g_sink;
    g_sink = sink ? sink : &g_stderr_sink;
    return previous;
}

int message_dialog(std::string_view title, std::string_view text, int buttons)
{
    return g_sink->show(title.substr(0, std::min<size_t>(title.size(), 80)),
                        text.substr(0, std::min<size_t>(text.size(), 340)), buttons);
}

void error_box(int code)
{
    if (code == kOk)
        return;
    message_dialog(code == kAborted ? "Attention" : "Error", error_text(code), kButtonsOk);
}

} // namespace mv
