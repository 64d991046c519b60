// The filters and geometry of the catalogue.
#include "filters/add_border.h"
#include "filters/blur.h"
#include "filters/composite.h"
#include "filters/crop.h"
#include "filters/mirror_rotate.h"
#include "filters/resize.h"
#include "filters/resize_units.h"
#include "filters/sharpen.h"
#include "formats/file_open.h"
#include "transform/catalogue_support.h"

#include <algorithm>
#include <utility>

namespace mv::catalogue {
namespace {

// Settings records without an amount block, for transformations that change the picture's
// size: the output size comes from the record and the input.
template <class S>
class SizedSettings final : public OperationSettings {
public:
    using SizeFunction = void (*)(const S&, const Image&, int&, int&);
    SizedSettings(RegionFunction fn, SizeFunction size) : fn_(fn), size_(size) {}
    RegionFunction region() const override { return fn_; }
    void* record() override { return &s; }
    void output_size(const Image& input, int& width, int& height) const override
    {
        size_(s, input, width, height);
    }
    S s;

private:
    RegionFunction fn_;
    SizeFunction size_;
};

void resize_size(const ResizeSettings& s, const Image&, int& width, int& height)
{
    width = s.width;
    height = s.height;
}

void orientation_size(const OrientationSettings& s, const Image& input, int& width, int& height)
{
    const bool swap = orientation_swaps(s.selection);
    width = swap ? input.height : input.width;
    height = swap ? input.width : input.height;
}

void crop_size(const CropSettings& s, const Image&, int& width, int& height)
{
    width = crop_width(s);
    height = crop_height(s);
}

void border_size(const AddBorderSettings& s, const Image& input, int& width, int& height)
{
    add_border_size(s, input.width, input.height, width, height);
}

constexpr int kMaxSide = 65535;

void register_mirror_rotate()
{
    Operation op;
    op.name = "mirror-rotate";
    op.title = "Mirror/Rotate";
    op.kind = 19;
    op.accepted_types = kAllPictures;
    op.has_amount = false;
    // In the order of the orientations 200..207.
    op.params = {list_param("Orientation:",
                            {"Copy", "Rotate 90 CCW", "Rotate 180", "Rotate 90 CW", "Mirror",
                             "Reflect Anti-Diagonal", "Flip", "Reflect Diagonal"},
                            0)};
    op.make = [](const Image&, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        auto s = std::make_unique<SizedSettings<OrientationSettings>>(orientation_region, orientation_size);
        s->s.selection = kOrientFirst + v.numbers[0];
        out = std::move(s);
        return kOk;
    };
    operation_register(std::move(op));
}

void register_add_border()
{
    Operation op;
    op.name = "add-border";
    op.title = "Add Border";
    op.kind = 46;
    op.accepted_types = kAllPictures;
    op.has_amount = false;
    op.params = {integer_param("Left:", 0, kMaxSide, 0),   integer_param("Right:", 0, kMaxSide, 0),
                 integer_param("Top:", 0, kMaxSide, 0),    integer_param("Bottom:", 0, kMaxSide, 0),
                 integer_param("Red:", 0, 255, 255),       integer_param("Green:", 0, 255, 255),
                 integer_param("Blue:", 0, 255, 255)};
    op.make = [](const Image& input, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        const int* n = v.numbers.data();
        if ((long long)input.width + n[0] + n[1] > kMaxSide || (long long)input.height + n[2] + n[3] > kMaxSide)
            return int(kOutOfMemory);
        auto s = std::make_unique<SizedSettings<AddBorderSettings>>(add_border_region, border_size);
        s->s.left = n[0];
        s->s.right = n[1];
        s->s.top = n[2];
        s->s.bottom = n[3];
        s->s.red = n[4];
        s->s.green = n[5];
        s->s.blue = n[6];
        out = std::move(s);
        return int(kOk);
    };
    operation_register(std::move(op));
}

// Crop takes the rectangle's inclusive corners, counted from the top-left; coordinates
// beyond the picture are held to its edge, so the defaults crop nothing.
void register_crop()
{
    Operation op;
    op.name = "crop";
    op.title = "Crop";
    op.kind = 3;
    op.accepted_types = kAllPictures;
    op.has_amount = false;
    op.params = {integer_param("Left:", 0, kMaxSide, 0), integer_param("Top:", 0, kMaxSide, 0),
                 integer_param("Right:", 0, kMaxSide, kMaxSide),
                 integer_param("Bottom:", 0, kMaxSide, kMaxSide)};
    op.make = [](const Image& input, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        auto s = std::make_unique<SizedSettings<CropSettings>>(crop_region, crop_size);
        const int right = std::max(input.width - 1, 0), bottom = std::max(input.height - 1, 0);
        s->s.mode = kCropArbitrary;
        s->s.x1 = std::min(v.numbers[0], right);
        s->s.y1 = std::min(v.numbers[1], bottom);
        s->s.x2 = std::min(v.numbers[2], right);
        s->s.y2 = std::min(v.numbers[3], bottom);
        out = std::move(s);
        return kOk;
    };
    operation_register(std::move(op));
}

// A resolution in dots per inch: a number above 0 and below a million.
bool parse_resolution(std::string_view text, double& dpi)
{
    return parse_number(text, dpi) && dpi > 0 && dpi < 1e6;
}

bool check_resolution(std::string_view text, std::string& message)
{
    double dpi = 0;
    if (parse_resolution(text, dpi))
        return true;
    message = "resolution takes a number of dots per inch above 0";
    return false;
}

// Resize: width and height 0 keep the input's size; with only one of them given the other
// follows the input's proportions, as the window's "Proportions" mode does.
void register_resize()
{
    Operation op;
    op.name = "resize";
    op.title = "Resize";
    op.kind = 24;
    op.accepted_types = kAllPictures;
    op.has_amount = false;
    op.params = {integer_param("Width:", 0, kMaxSide, 0), integer_param("Height:", 0, kMaxSide, 0),
                 list_param("Interpolation Method:", {"Smooth", "Nearest Neighbor"}, kResizeSmooth),
                 text_param("resolution", "Resolution:")};
    op.params.back().check = check_resolution;
    op.make = [](const Image& input, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        ResizeState st;
        resize_state_init(st, input);
        const int width = v.numbers[0], height = v.numbers[1];
        if (width > 0) {
            st.preserve = height > 0 ? kPreserveNone : kPreserveProportions;
            resize_type_width(st, std::to_string(width));
        }
        if (height > 0) {
            st.preserve = width > 0 ? kPreserveNone : kPreserveProportions;
            resize_type_height(st, std::to_string(height));
        }
        if (st.new_width > kMaxSide || st.new_height > kMaxSide)
            return int(kOutOfMemory);
        auto s = std::make_unique<SizedSettings<ResizeSettings>>(resize_region, resize_size);
        s->s.width = st.new_width;
        s->s.height = st.new_height;
        s->s.interpolation = v.numbers[2];
        if (!v.texts[3].empty() && !parse_resolution(v.texts[3], s->s.resolution))
            return int(kIllegalImageType);
        out = std::move(s);
        return int(kOk);
    };
    operation_register(std::move(op));
}

void register_blur()
{
    Operation op;
    op.name = "blur";
    op.title = "Blur";
    op.kind = 8;
    op.accepted_types = kAllPictures;
    op.params = {list_param("Method:", {"Blur", "Blur More", "Gaussian", "Median 3x3", "Median 5x5"}, 0),
                 integer_param("Radius:", 0, 128, 3), integer_param("Threshold:", 0, 255, 255)};
    op.make = [](const Image&, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        auto s = std::make_unique<RecordSettings<BlurSettings>>(blur_region);
        s->s.method = v.numbers[0];
        s->s.radius = v.numbers[1];
        s->s.threshold = v.numbers[2];
        out = std::move(s);
        return kOk;
    };
    operation_register(std::move(op));
}

void register_sharpen()
{
    Operation op;
    op.name = "sharpen";
    op.title = "Sharpen";
    op.kind = 7;
    op.accepted_types = kAllPictures;
    op.params = {list_param("Method:", {"Sharpen", "Heavy Sharpen", "Unsharp Mask"}, 0),
                 integer_param("Radius:", 0, 20, 3), integer_param("Threshold:", 0, 50, 0)};
    op.make = [](const Image&, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        auto s = std::make_unique<RecordSettings<SharpenSettings>>(sharpen_region);
        s->s.method = v.numbers[0];
        s->s.radius = v.numbers[1];
        s->s.threshold = v.numbers[2];
        out = std::move(s);
        return kOk;
    };
    operation_register(std::move(op));
}

// Composite's settings own the pictures the batch tool reads from files; in the editor the
// overlay is another window's picture, which the window's panel puts into the record.
class CompositeOperationSettings final : public OperationSettings {
public:
    RegionFunction region() const override { return composite_region; }
    void* record() override { return &s; }
    AmountBlock* amount() override { return &s.amount; }
    CompositeSettings s;
    Image overlay, overlay_mask;
};

int open_picture(const std::string& path, Image& img)
{
    OpenedFile opened;
    if (int e = file_open_path(path, -1, img, opened, false))
        return e;
    return opened.missing || img.empty() ? int(kCannotOpenFile) : int(kOk);
}

bool check_points(std::string_view text, std::string& message)
{
    PointF base[kAlignMaxPoints], overlay[kAlignMaxPoints];
    int count = 0;
    return composite_parse_points(text, base, overlay, count, message);
}

enum CompositeParam : int {
    kCompositeOperation, kCompositeAlignment, kCompositeOverlay, kCompositeRed, kCompositeGreen,
    kCompositeBlue, kCompositeOverlayAmount, kCompositeOverlayMask, kCompositePoints,
};

// Composite: the overlay is a picture file or, without one, the colour red/green/blue; the
// point pairs "x,y,u,v;..." replace the default points from the first pair on; an overlay
// mask (8-bit gray) weighs the overlay from 0% where it is black to 100% where it is white.
void register_composite()
{
    Operation op;
    op.name = "composite";
    op.title = "Composite";
    op.kind = 38;
    op.accepted_types = kAllPictures;
    op.params = {list_param("Operation:",
                            {"Blend", "Lighten", "Darken", "Filter", "Subtractive Filter", "Negative", "Add",
                             "Subtract", "Absolute Difference", "Register"},
                            kCompBlend),
                 list_param("Alignment:",
                            {"none", "1-point (shift)", "2-point (shift/rotate)", "2-point (shift/rotate/scale)",
                             "3-point (shift/rotate/scale/shear)", "4-point (perspective warp)"},
                            kAlignNone),
                 file_param("overlay", "Overlay:"),
                 integer_param("Red:", 0, 255, 255),
                 integer_param("Green:", 0, 255, 255),
                 integer_param("Blue:", 0, 255, 255),
                 percent_param("Overlay Amount:", 1024),
                 file_param("overlay-mask", "Overlay Mask:"),
                 text_param("points", "Points:")};
    op.params[kCompositePoints].check = check_points;
    op.make = [](const Image& input, const OperationValues& v, std::unique_ptr<OperationSettings>& out) {
        auto s = std::make_unique<CompositeOperationSettings>();
        CompositeSettings& st = s->s;
        composite_init(st, input.width, input.height);
        st.operation = v.numbers[kCompositeOperation];
        composite_set_alignment(st, v.numbers[kCompositeAlignment]);
        st.red = v.numbers[kCompositeRed];
        st.green = v.numbers[kCompositeGreen];
        st.blue = v.numbers[kCompositeBlue];
        st.overlay_amount.low = v.numbers[kCompositeOverlayAmount];
        if (const std::string& path = v.texts[kCompositeOverlay]; !path.empty()) {
            if (int e = open_picture(path, s->overlay))
                return e;
            composite_set_overlay(st, &s->overlay);
        }
        if (const std::string& path = v.texts[kCompositeOverlayMask]; !path.empty()) {
            if (int e = open_picture(path, s->overlay_mask))
                return e;
            if (s->overlay_mask.type != IMAGE_GRAY)
                return int(kIllegalImageType);
            amount_select_mask(st.overlay_amount, &s->overlay_mask, &s->overlay_mask);
        }
        int count = 0;
        std::string message;
        if (!composite_parse_points(v.texts[kCompositePoints], st.base_points, st.overlay_points, count,
                                    message))
            return int(kIllegalImageType);
        out = std::move(s);
        return int(kOk);
    };
    operation_register(std::move(op));
}

} // namespace

// In menu order: the geometry group, then the filters.
void register_filter_operations()
{
    register_mirror_rotate();
    register_add_border();
    register_crop();
    register_resize();
    register_blur();
    register_sharpen();
    register_composite();
}

} // namespace mv::catalogue
