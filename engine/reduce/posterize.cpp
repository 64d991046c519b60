#include "posterize.h"

#include "core/error.h"
#include "core/progress.h"
#include "core/util.h"
#include "reduce/color_reducer.h"
#include "tone/value_tables.h"
#include "transform/row_reader.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace mv {

PosterizePalette posterize_default_palette()
{
    PosterizePalette p;
    p.fill(Rgb{255, 255, 255});
    p[0] = Rgb{0, 0, 0};
    return p;
}

namespace {

int colors_in_use(const PosterizeSettings& s)
{
    return std::clamp(s.colors, kPosterizeMinColors, kPosterizeMaxColors);
}

std::uint8_t channel(int v) { return std::uint8_t(clamp_byte(v)); }

bool is_gray_type(int type)
{
    return type == IMAGE_BINARY || type == IMAGE_GRAY || type == IMAGE_GRAY16;
}

int samples_of(int type) { return type == IMAGE_COLOR || type == IMAGE_COLOR48 ? 3 : 1; }

// Pixel (x, y) of `img` as 8-bit samples in the picture's own layout (one gray byte, or
// blue, green, red); binary pixels read 0 or 255, 16-bit samples are narrowed.
void fetch8(const Image& img, int x, int y, std::uint8_t out[3])
{
    const std::uint8_t* narrow = value_tables().narrow16;
    switch (img.type) {
    case IMAGE_BINARY:
        out[0] = bit_test(img.row(y), x) ? 255 : 0;
        break;
    case IMAGE_GRAY:
        out[0] = img.row(y)[x];
        break;
    case IMAGE_GRAY16:
        out[0] = narrow[img.row16(y)[x]];
        break;
    case IMAGE_COLOR:
        std::memcpy(out, img.row(y) + size_t(x) * 3, 3);
        break;
    default: { // IMAGE_COLOR48
        const std::uint16_t* p = img.row16(y) + size_t(x) * 3;
        for (int c = 0; c < 3; ++c)
            out[c] = narrow[p[c]];
        break;
    }
    }
}

class Posterizer {
public:
    Posterizer(const RegionRequest& q, const PosterizeSettings& s, int out_type)
        : q_(q), in_type_(q.input->type), gray_input_(is_gray_type(in_type_)),
          out_channels_(out_type == IMAGE_GRAY ? 1 : 3)
    {
        kd_build(tree_, posterize_entries(s));
        if (gray_input_)
            for (int g = 0; g < 256; ++g) {
                const int v[3] = {g, g, g};
                gray_table_[g] = std::uint8_t(kd_nearest(tree_, v));
            }
        in8_.assign(size_t(std::max(q.columns, 1)) * out_channels_, 0);
    }

    int run_plain(const PosterizeSettings& s);
    int run_antialiased(const PosterizeSettings& s);

private:
    // The tree position of the entry nearest to an 8-bit pixel in the input's layout.
    int nearest(const std::uint8_t* p) const
    {
        if (gray_input_)
            return gray_table_[p[0]];
        const int v[3] = {p[2], p[1], p[0]};
        return kd_nearest(tree_, v);
    }

    // Writes entry k's output colour (gray, or blue, green, red).
    void put(int k, std::uint8_t* dst) const
    {
        const std::uint8_t* o = tree_.entries[size_t(k)].output;
        if (out_channels_ == 1) {
            dst[0] = o[0];
        } else {
            dst[0] = o[2];
            dst[1] = o[1];
            dst[2] = o[0];
        }
    }

    // The input row as 8-bit samples in the output's layout (gray spread to three equal
    // samples for colour output), for the search and the amount blend.
    const std::uint8_t* load(const std::uint8_t* src)
    {
        const int n = q_.columns;
        const bool wide = in_type_ == IMAGE_GRAY16 || in_type_ == IMAGE_COLOR48;
        const std::uint8_t* narrow = value_tables().narrow16;
        const std::uint16_t* s16 = reinterpret_cast<const std::uint16_t*>(src);
        std::uint8_t* d = in8_.data();
        const int in_samples = samples_of(in_type_);
        if (in_samples == out_channels_) {
            const size_t count = size_t(n) * in_samples;
            if (wide)
                for (size_t i = 0; i < count; ++i)
                    d[i] = narrow[s16[i]];
            else
                std::memcpy(d, src, count);
        } else {
            for (int x = 0; x < n; ++x) {
                const std::uint8_t g = wide ? narrow[s16[x]] : src[x];
                d[3 * x] = d[3 * x + 1] = d[3 * x + 2] = g;
            }
        }
        return d;
    }

    // Antialiased value of a border pixel: the output colours of the nearest entries of the
    // 3 x 3 input pixels around (x, y) at full resolution, weighted 1 at the corners, 2 at
    // the edges and 8 at the centre, over 20.
    void smooth(int x, int y, std::uint8_t* dst) const
    {
        const Image& img = *q_.input;
        int sum[3] = {0, 0, 0};
        for (int dy = -1; dy <= 1; ++dy) {
            const int yy = std::clamp(y + dy, 0, img.height - 1);
            for (int dx = -1; dx <= 1; ++dx) {
                const int xx = std::clamp(x + dx, 0, img.width - 1);
                const int w = dx == 0 && dy == 0 ? 8 : (dx == 0 || dy == 0) ? 2 : 1;
                std::uint8_t p[3];
                fetch8(img, xx, yy, p);
                std::uint8_t o[3];
                put(nearest(p), o);
                for (int c = 0; c < out_channels_; ++c)
                    sum[c] += w * o[c];
            }
        }
        for (int c = 0; c < out_channels_; ++c)
            dst[c] = std::uint8_t(sum[c] / 20);
    }

    const RegionRequest& q_;
    int in_type_;
    bool gray_input_;
    int out_channels_;
    KdTree tree_;
    std::uint8_t gray_table_[256] = {};
    std::vector<std::uint8_t> in8_;
};

int Posterizer::run_plain(const PosterizeSettings& s)
{
    RowReader in;
    row_reader_reset(in);
    RowWriter out;
    row_writer_reset(out);
    AmountRun amount;
    if (int e = row_reader_open(*q_.input, q_.x0, q_.y0, q_.zoom, q_.columns, in))
        return e;
    if (int e = region_open_writer(q_, out))
        return e;
    if (int e = amount_begin(s.amount, q_, amount))
        return e;
    ProgressScope progress(region_pixels(q_), 0, q_.rows - 1, "Posterize", true);
    for (int y = 0; y < q_.rows; ++y) {
        const std::uint8_t* src = load(row_reader_next(in));
        std::uint8_t* dst = row_writer_row(out);
        if (!dst)
            break;
        for (int x = 0; x < q_.columns; ++x)
            put(nearest(src + size_t(x) * out_channels_), dst + size_t(x) * out_channels_);
        amount_next_row(amount);
        amount_blend_row(amount, src, dst, q_.columns, out_channels_);
        row_writer_commit(out);
        if (int e = progress.update(y))
            return e;
    }
    return kOk;
}

int Posterizer::run_antialiased(const PosterizeSettings& s)
{
    // Pass 1: the nearest entry of every computed pixel.
    Image index;
    if (int e = image_alloc(index, IMAGE_GRAY, q_.columns, q_.rows, 0))
        return e;
    {
        RowReader in;
        row_reader_reset(in);
        if (int e = row_reader_open(*q_.input, q_.x0, q_.y0, q_.zoom, q_.columns, in))
            return e;
        ProgressScope progress(region_pixels(q_), 0, q_.rows - 1, "Posterize (Pass 1)", true);
        for (int y = 0; y < q_.rows; ++y) {
            const std::uint8_t* src = load(row_reader_next(in));
            std::uint8_t* ix = index.row(y);
            for (int x = 0; x < q_.columns; ++x)
                ix[x] = std::uint8_t(nearest(src + size_t(x) * out_channels_));
            if (int e = progress.update(y))
                return e;
        }
    }

    // Pass 2: pixels inside a region take their entry's colour, border pixels are smoothed.
    RowReader in;
    row_reader_reset(in);
    RowWriter out;
    row_writer_reset(out);
    AmountRun amount;
    if (int e = row_reader_open(*q_.input, q_.x0, q_.y0, q_.zoom, q_.columns, in))
        return e;
    if (int e = region_open_writer(q_, out))
        return e;
    if (int e = amount_begin(s.amount, q_, amount))
        return e;
    const int step = q_.zoom <= -2 ? -q_.zoom : 1;
    const int last_x = q_.input->width - 1, last_y = q_.input->height - 1;
    ProgressScope progress(region_pixels(q_), 0, q_.rows - 1, "Posterize (Pass 2)", true);
    for (int y = 0; y < q_.rows; ++y) {
        const std::uint8_t* src = load(row_reader_next(in));
        std::uint8_t* dst = row_writer_row(out);
        if (!dst)
            break;
        const std::uint8_t* here = index.row(y);
        const std::uint8_t* below = y > 0 ? index.row(y - 1) : nullptr;
        const std::uint8_t* above = y + 1 < q_.rows ? index.row(y + 1) : nullptr;
        const int in_y = std::clamp(q_.y0 + y * step, 0, last_y);
        for (int x = 0; x < q_.columns; ++x) {
            const int k = here[x];
            const int x1 = std::max(x - 1, 0), x2 = std::min(x + 1, q_.columns - 1);
            bool border = false;
            for (int xx = x1; xx <= x2 && !border; ++xx)
                border = here[xx] != k || (below && below[xx] != k) || (above && above[xx] != k);
            std::uint8_t* d = dst + size_t(x) * out_channels_;
            if (!border)
                put(k, d);
            else
                smooth(std::clamp(q_.x0 + x * step, 0, last_x), in_y, d);
        }
        amount_next_row(amount);
        amount_blend_row(amount, src, dst, q_.columns, out_channels_);
        row_writer_commit(out);
        if (int e = progress.update(y))
            return e;
    }
    return kOk;
}

} // namespace

std::vector<KdEntry> posterize_entries(const PosterizeSettings& s)
{
    const int n = colors_in_use(s);
    std::vector<KdEntry> entries(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const Rgb& c = s.color[size_t(i)];
        const Rgb& o = s.remap ? s.remapped[size_t(i)] : c;
        entries[size_t(i)].color[0] = channel(c.red);
        entries[size_t(i)].color[1] = channel(c.green);
        entries[size_t(i)].color[2] = channel(c.blue);
        entries[size_t(i)].output[0] = channel(o.red);
        entries[size_t(i)].output[1] = channel(o.green);
        entries[size_t(i)].output[2] = channel(o.blue);
        entries[size_t(i)].index = std::uint8_t(i);
    }
    return entries;
}

int posterize_output_type(const PosterizeSettings& s, int input_type)
{
    if (!is_gray_type(input_type))
        return IMAGE_COLOR;
    for (const KdEntry& e : posterize_entries(s))
        if (e.output[0] != e.output[1] || e.output[1] != e.output[2])
            return IMAGE_COLOR;
    return IMAGE_GRAY;
}

int posterize_region(const RegionRequest& q, void* settings)
{
    const PosterizeSettings& s = *static_cast<const PosterizeSettings*>(settings);
    if (!q.input || !is_picture_type(q.input->type) || q.input->empty())
        return kIllegalImageType;
    try {
        if (amount_is_identity(s.amount)) {
            if (int e = region_prepare_output(q, region_output_type(q.input->type, q.full)))
                return e;
            return region_copy_input(q);
        }
        const int out_type = posterize_output_type(s, q.input->type);
        if (int e = region_prepare_output(q, out_type))
            return e;
        if (q.columns <= 0 || q.rows <= 0)
            return kOk;
        Posterizer p(q, s, out_type);
        return s.antialias ? p.run_antialiased(s) : p.run_plain(s);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
}

int posterize_auto_palette(const Image& input, PosterizeSettings& s)
{
    const int n = colors_in_use(s);
    PosterizePalette colors = s.color;
    switch (input.type) {
    case IMAGE_BINARY:
        colors = posterize_default_palette();
        break;
    case IMAGE_GRAY:
    case IMAGE_GRAY16:
        for (int i = 0; i < n; ++i) {
            const int g = i * 255 / (n - 1);
            colors[size_t(i)] = Rgb{g, g, g};
        }
        break;
    case IMAGE_COLOR:
    case IMAGE_COLOR48: {
        Palette palette;
        if (int e = color_reduce(input, nullptr, n, false, palette))
            return e;
        if (palette.size < 1)
            return kOk;
        for (int i = 0; i < n; ++i) {
            const std::uint8_t* c = palette.colors[std::min(i, palette.size - 1)];
            colors[size_t(i)] = Rgb{c[0], c[1], c[2]};
        }
        break;
    }
    default:
        return kIllegalImageType;
    }
    s.color = colors;
    s.remapped = colors;
    return kOk;
}

namespace {

int hex_digit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// One "RRGGBB" or "#RRGGBB" entry, blanks around it allowed.
bool parse_hex_color(std::string_view t, Rgb& out)
{
    while (!t.empty() && t.front() == ' ')
        t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ')
        t.remove_suffix(1);
    if (!t.empty() && t.front() == '#')
        t.remove_prefix(1);
    if (t.size() != 6)
        return false;
    int v[6];
    for (int i = 0; i < 6; ++i)
        if ((v[i] = hex_digit(t[size_t(i)])) < 0)
            return false;
    out = {v[0] * 16 + v[1], v[2] * 16 + v[3], v[4] * 16 + v[5]};
    return true;
}

} // namespace

bool posterize_parse_palette(std::string_view text, PosterizePalette& palette)
{
    PosterizePalette read = palette;
    int count = 0;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        const std::string_view item = text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        if (count >= kPosterizeMaxColors || !parse_hex_color(item, read[size_t(count)]))
            return false;
        ++count;
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    palette = read;
    return true;
}

std::string posterize_palette_text(const PosterizePalette& palette, int count)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string text;
    count = std::clamp(count, 0, kPosterizeMaxColors);
    for (int i = 0; i < count; ++i) {
        if (i)
            text += ',';
        for (const int v : {palette[size_t(i)].red, palette[size_t(i)].green, palette[size_t(i)].blue}) {
            text += kHex[(v >> 4) & 15];
            text += kHex[v & 15];
        }
    }
    return text;
}

} // namespace mv
