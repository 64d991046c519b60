// The filters and geometry of the catalogue.
#include "filters/add_border.h"
#include "filters/blur.h"
#include "filters/crop.h"
#include "filters/mirror_rotate.h"
#include "filters/resize.h"
#include "filters/resize_units.h"
#include "filters/sharpen.h"
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

// Resize and Mirror/Rotate make the whole picture at once. Their region functions build the
// whole result and hand it over on Apply; a smaller region (a preview) is then copied out of
// that result in its own coordinates.
int deliver_whole(const RegionRequest& q, Image& whole)
{
    if (q.full && region_is_whole(q) && q.zoom == 1) {
        *q.output = std::move(whole);
        return kOk;
    }
    RegionRequest part = q;
    part.input = &whole;
    if (int e = region_prepare_output(part, region_output_type(whole.type, q.full)))
        return e;
    return region_copy_input(part);
}

struct ResizeRecord {
    int width = 0, height = 0; // output size in pixels
    int interpolation = kResizeSmooth;
};

int resize_region(const RegionRequest& q, void* settings)
{
    const ResizeRecord& s = *static_cast<const ResizeRecord*>(settings);
    if (!q.output || !is_picture_type(q.input->type))
        return kIllegalImageType;
    Image whole;
    if (int e = resize_image(*q.input, whole, s.width, s.height, q.input->resolution, s.interpolation))
        return e;
    return deliver_whole(q, whole);
}

void resize_size(const ResizeRecord& s, const Image&, int& width, int& height)
{
    width = s.width;
    height = s.height;
}

struct OrientationRecord {
    int selection = kOrientCopy;
};

int orientation_region(const RegionRequest& q, void* settings)
{
    const OrientationRecord& s = *static_cast<const OrientationRecord*>(settings);
    if (!q.output)
        return kIllegalImageType;
    Image whole;
    if (int e = orientation_apply(s.selection, *q.input, whole, q.full))
        return e;
    return deliver_whole(q, whole);
}

void orientation_size(const OrientationRecord& s, const Image& input, int& width, int& height)
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
        auto s = std::make_unique<SizedSettings<OrientationRecord>>(orientation_region, orientation_size);
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
                 list_param("Interpolation Method:", {"Smooth", "Nearest Neighbor"}, kResizeSmooth)};
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
        auto s = std::make_unique<SizedSettings<ResizeRecord>>(resize_region, resize_size);
        s->s.width = st.new_width;
        s->s.height = st.new_height;
        s->s.interpolation = v.numbers[2];
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
}

} // namespace mv::catalogue
