#include "banded_apply.h"

#include "core/error.h"
#include "core/parallel.h"
#include "core/product_table.h"
#include "effects/equalize.h"
#include "filters/blur.h"
#include "filters/mirror_rotate.h"
#include "filters/resize.h"
#include "filters/sharpen.h"
#include "tone/brightness_curve.h"
#include "tone/color_curves.h"
#include "tone/levels.h"
#include "tone/tone_shape.h"

namespace mv {
namespace {

// Allocates the output of a banded Apply; `record` is the operation's settings record.
using PrepareOutput = int (*)(const void* record, const Image& input, Image& output);

// The output of a same-size operation: the input's size and type, binary giving gray (as
// these operations produce it).
int prepare_same_size(const void*, const Image& input, Image& output)
{
    const int type = input.type == IMAGE_BINARY ? IMAGE_GRAY : input.type;
    return image_alloc(output, type, input.width, input.height, input.resolution);
}

int prepare_resize(const void* record, const Image& input, Image& output)
{
    return resize_prepare_output(*static_cast<const ResizeSettings*>(record), input, output);
}

int prepare_orientation(const void* record, const Image& input, Image& output)
{
    return orientation_prepare_output(*static_cast<const OrientationSettings*>(record), input,
                                      output);
}

// The band-safe region functions (Color Balance builds its tables in its settings record,
// so it stays on one thread) and how each allocates its output.
PrepareOutput banded_output(RegionFunction fn)
{
    static const RegionFunction kSameSize[] = {
        blur_region,       sharpen_region,          levels_region,       brightness_region,
        saturation_region, brightness_curve_region, color_curves_region, equalize_region};
    for (RegionFunction same : kSameSize)
        if (fn == same)
            return prepare_same_size;
    if (fn == resize_region)
        return prepare_resize;
    if (fn == orientation_region)
        return prepare_orientation;
    return nullptr;
}

struct BandWork {
    RegionFunction fn;
    const RegionRequest* whole;
    void* settings;
};

// One band of output rows [begin, end) (counted from the bottom).
int apply_band(int begin, int end, void* context)
{
    const BandWork& w = *static_cast<const BandWork*>(context);
    RegionRequest q = *w.whole;
    q.y0 = q.first_row = begin;
    q.last_row = end - 1;
    q.rows = end - begin;
    return w.fn(q, w.settings);
}

} // namespace

bool region_runs_in_bands(RegionFunction fn, const RegionRequest& q)
{
    const PrepareOutput prepare = banded_output(fn);
    return parallel_threads() > 1 && prepare && q.full && q.input && q.output &&
           is_picture_type(q.input->type) && !q.input->empty() && q.output_width >= 1 &&
           q.output_height >= 1 &&
           (prepare != prepare_same_size ||
            (q.output_width == q.input->width && q.output_height == q.input->height));
}

int region_apply_in_bands(RegionFunction fn, const RegionRequest& q, void* settings)
{
    if (product_table_build())
        return kOutOfMemory;
    Image& output = *q.output;
    int e = banded_output(fn)(settings, *q.input, output);
    if (!e && output.empty())
        e = kOutOfMemory;
    if (!e) {
        RegionRequest whole = q;
        whole.output_width = whole.columns = output.width;
        whole.output_height = whole.rows = output.height;
        whole.last_column = output.width - 1;
        whole.last_row = output.height - 1;
        BandWork work{fn, &whole, settings};
        e = parallel_bands(output.height, apply_band, &work, output.pixels(), q.title);
    }
    if (e)
        image_free(output);
    return e;
}

} // namespace mv
