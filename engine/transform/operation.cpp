#include "operation.h"

#include "core/error.h"
#include "core/parallel.h"
#include "core/product_table.h"
#include "core/util.h"
#include "filters/mirror_rotate.h"
#include "filters/resize.h"
#include "transform/operation_catalogue.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace mv {
namespace {

std::vector<Operation>& registry()
{
    static std::vector<Operation> ops;
    return ops;
}

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

// Operations whose region function computes any band of whole output rows from the input
// alone, writing nothing into its settings record (Color Balance builds its tables in its
// settings record, so it stays on one thread): their Apply can run as bands of output rows
// on several threads and gives the same bits as one call over the whole picture. The output
// is allocated first, by the operation's own rule for its type and size.
PrepareOutput banded_output(const Operation& op, RegionFunction region)
{
    static const char* const kSameSize[] = {"blur",       "sharpen",          "levels-and-color",
                                            "brightness", "saturation",       "brightness-curve",
                                            "color-curves", "equalize"};
    for (const char* name : kSameSize)
        if (op.name == name)
            return prepare_same_size;
    // The record is known from the region function.
    if (region == resize_region)
        return prepare_resize;
    if (region == orientation_region)
        return prepare_orientation;
    return nullptr;
}

struct BandWork {
    RegionFunction fn;
    void* settings;
    const Image* input;
    Image* output;
    std::string_view title;
};

// One band of output rows [begin, end) (counted from the bottom) of an Apply.
int apply_band(int begin, int end, void* context)
{
    const BandWork& w = *static_cast<const BandWork*>(context);
    RegionRequest q = region_full_request(*w.input, *w.output, w.title);
    q.output_width = q.columns = w.output->width;
    q.output_height = w.output->height;
    q.last_column = w.output->width - 1;
    q.y0 = q.first_row = begin;
    q.last_row = end - 1;
    q.rows = end - begin;
    return w.fn(q, w.settings);
}

// Apply as bands of output rows: the output is allocated by `prepare` and each band is
// computed by the region function.
int apply_in_bands(PrepareOutput prepare, RegionFunction fn, void* settings, const Image& input,
                   Image& output, std::string_view title)
{
    if (product_table_build())
        return kOutOfMemory;
    int e = prepare(settings, input, output);
    if (!e && output.empty())
        e = kOutOfMemory;
    if (!e) {
        BandWork work{fn, settings, &input, &output, title};
        e = parallel_bands(output.height, apply_band, &work, output.pixels(), title);
    }
    if (e)
        image_free(output);
    return e;
}

bool parse_int(std::string_view text, int& value)
{
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && p == end && !text.empty();
}

} // namespace

void operation_register(Operation op)
{
    registry().push_back(std::move(op));
}

const std::vector<Operation>& operations()
{
    static const bool filled = [] {
        register_all_operations();
        return true;
    }();
    (void)filled;
    return registry();
}

const Operation* operation_find(std::string_view name)
{
    for (const Operation& op : operations())
        if (op.name == name)
            return &op;
    return nullptr;
}

std::string operation_key(std::string_view text)
{
    std::string key;
    for (char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            key += char(std::tolower(static_cast<unsigned char>(c)));
        else if (c == '+')
            key += "plus";
        else if (!key.empty() && key.back() != '-')
            key += '-';
    }
    while (!key.empty() && key.back() == '-')
        key.pop_back();
    return key;
}

OperationValues operation_defaults(const Operation& op)
{
    OperationValues v;
    for (const OperationParam& p : op.params) {
        v.numbers.push_back(p.default_value);
        v.texts.push_back(p.default_text);
    }
    return v;
}

bool operation_set(const Operation& op, OperationValues& values, std::string_view key,
                   std::string_view text, std::string& message)
{
    for (size_t i = 0; i < op.params.size(); ++i) {
        const OperationParam& p = op.params[i];
        if (p.key != key)
            continue;
        switch (p.kind) {
        case OperationParam::kList:
            for (size_t k = 0; k < p.values.size(); ++k)
                if (p.values[k] != "-" && operation_key(p.values[k]) == operation_key(text)) {
                    values.numbers[i] = int(k);
                    return true;
                }
            message = "unknown value '" + std::string(text) + "' for " + p.key;
            return false;
        case OperationParam::kInteger: {
            int v = 0;
            if (!parse_int(text, v) || v < p.minimum || v > p.maximum) {
                message = p.key + " takes a whole number from " + std::to_string(p.minimum) + " to " +
                          std::to_string(p.maximum);
                return false;
            }
            values.numbers[i] = v;
            return true;
        }
        case OperationParam::kPercent: {
            std::string_view t = text;
            if (!t.empty() && t.back() == '%')
                t.remove_suffix(1);
            int v = 0;
            if (!parse_int(t, v) || v < p.minimum * 100 / 1024 || v > p.maximum * 100 / 1024) {
                message = p.key + " takes a percentage";
                return false;
            }
            values.numbers[i] = int(round_nearest(v * 1024 / 100.0));
            return true;
        }
        case OperationParam::kFile:
        case OperationParam::kText:
            if (p.check && !p.check(text, message))
                return false;
            values.texts[i] = std::string(text);
            return true;
        }
    }
    message = "unknown key '" + std::string(key) + "' for " + op.name;
    return false;
}

int operation_apply(const Operation& op, const OperationValues& values, const Image& input,
                    Image& output, int amount_low, const Image* mask, int mask_low, int mask_high)
{
    if (!(op.accepted_types & (1u << input.type)))
        return kIllegalImageType;
    std::unique_ptr<OperationSettings> settings;
    if (const int err = op.make(input, values, settings))
        return err;
    if (AmountBlock* amount = settings->amount()) {
        if (mask) {
            amount_select_mask(*amount, mask, mask);
            amount->is_signed = op.signed_amount;
            amount->low = mask_low;
            amount->high = mask_high;
        } else {
            amount->low = amount_low;
        }
    }
    int width = 0, height = 0;
    settings->output_size(input, width, height);
    const PrepareOutput prepare = banded_output(op, settings->region());
    if (parallel_threads() > 1 && prepare && is_picture_type(input.type) && !input.empty() &&
        width >= 1 && height >= 1 &&
        (prepare != prepare_same_size || (width == input.width && height == input.height)))
        return apply_in_bands(prepare, settings->region(), settings->record(), input, output,
                              op.title);
    return transformation_apply(settings->region(), settings->record(), input, output, op.title,
                                width, height);
}

} // namespace mv
