#include "color_balance.h"

#include "settings_tokenizer.h"
#include "tone_region.h"

#include "core/error.h"
#include "core/format.h"
#include "core/progress.h"
#include "core/util.h"
#include "formats/file_io.h"
#include "tone/value_tables.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace mv {

namespace {

struct LevelSums {
    long long count = 0;
    long long sum[3] = {}; // red, green, blue
};

void average_of(const LevelSums& s, const std::uint8_t* fallback, std::uint8_t* out)
{
    for (int c = 0; c < 3; ++c)
        out[c] = s.count ? std::uint8_t(s.sum[c] / s.count) : fallback[c];
}

// Adds levels from `from` towards `to` until the count exceeds `limit`.
LevelSums gather(const std::vector<LevelSums>& levels, int from, int to, long long limit)
{
    LevelSums total;
    const int dir = to >= from ? 1 : -1;
    for (int a = from;; a += dir) {
        total.count += levels[a].count;
        for (int c = 0; c < 3; ++c)
            total.sum[c] += levels[a].sum[c];
        if (total.count > limit || a == to)
            break;
    }
    return total;
}

void copy3(std::uint8_t* dst, const std::uint8_t* src) { std::memcpy(dst, src, 3); }

void gray_of(const std::uint8_t* rgb, std::uint8_t* out)
{
    const int g = luminance(rgb[0], rgb[1], rgb[2]);
    out[0] = out[1] = out[2] = std::uint8_t(g);
}

const std::uint8_t kWhite[3] = {255, 255, 255};
const std::uint8_t kBlack[3] = {0, 0, 0};

} // namespace

int color_balance_find_points(const Image& img, ColorBalanceSettings& s,
                              double highlight_fraction, double shadow_fraction)
{
    if ((img.type != IMAGE_COLOR && img.type != IMAGE_COLOR48) || img.empty())
        return kIllegalImageType;
    std::vector<LevelSums> levels;
    try {
        levels.resize(256);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    const long long area = img.pixels();
    long long sx = 1, sy = 1;
    while (area / (sx * sy) >= 500001) {
        if (sx == sy)
            ++sy;
        else
            ++sx;
    }
    const long long n = area / (sx * sy);
    const bool wide = img.type == IMAGE_COLOR48;
    const std::uint8_t* narrow = value_tables().narrow16;
    {
        ProgressScope progress(area, 0, img.height - 1, "Finding black & white points", false);
        for (long long y = 0; y < img.height; y += sy) {
            for (long long x = 0; x < img.width; x += sx) {
                int r, g, b;
                if (wide) {
                    const std::uint16_t* p = img.row16(int(y)) + 3 * x;
                    b = narrow[p[0]], g = narrow[p[1]], r = narrow[p[2]];
                } else {
                    const std::uint8_t* p = img.row(int(y)) + 3 * x;
                    b = p[0], g = p[1], r = p[2];
                }
                LevelSums& l = levels[(r + g + b) / 3];
                ++l.count;
                l.sum[0] += r, l.sum[1] += g, l.sum[2] += b;
            }
            progress.update(int(y));
        }
    }
    average_of(gather(levels, 255, 0, round_nearest(n * highlight_fraction)), kWhite,
               s.found_highlight);
    average_of(gather(levels, 0, 255, round_nearest(n * shadow_fraction)), kBlack, s.found_shadow);
    return kOk;
}

void color_balance_apply_modes(ColorBalanceSettings& s)
{
    if (s.highlight_mode == BALANCE_NONE) {
        copy3(s.highlight_remove, kWhite);
        copy3(s.highlight_add, kWhite);
    } else if (s.highlight_mode == BALANCE_AUTO) {
        copy3(s.highlight_remove, s.found_highlight);
        gray_of(s.found_highlight, s.highlight_add);
    }
    if (s.shadow_mode == BALANCE_NONE) {
        copy3(s.shadow_remove, kBlack);
        copy3(s.shadow_add, kBlack);
    } else if (s.shadow_mode == BALANCE_AUTO) {
        copy3(s.shadow_remove, s.found_shadow);
        gray_of(s.found_shadow, s.shadow_add);
    }
    if (s.midtone_mode == MIDTONE_NONE) {
        s.midtone_on = 0;
        for (int c = 0; c < 3; ++c) {
            s.midtone_remove[c] = std::uint8_t((s.highlight_remove[c] + s.shadow_remove[c]) >> 1);
            s.midtone_add[c] = std::uint8_t((s.highlight_add[c] + s.shadow_add[c]) >> 1);
        }
    } else {
        s.midtone_on = 1;
    }
}

void color_balance_reset(ColorBalanceSettings& s)
{
    s.highlight_mode = BALANCE_AUTO;
    s.midtone_mode = MIDTONE_NONE;
    s.shadow_mode = BALANCE_NONE;
    s.probe_target = PROBE_NONE;
    copy3(s.shadow_remove, kBlack);
    copy3(s.shadow_add, kBlack);
    color_balance_apply_modes(s);
}

int color_balance_transfer8(int v, bool midtone_on, int W, int N, int B, int Wa, int Na, int Ba)
{
    if (midtone_on) {
        if (v == N)
            return clamp_byte(Na);
        if (v > N && W != N)
            return clamp_byte(Na + (v - N) * (Wa - Na) / (W - N));
        if (v < N && N != B)
            return clamp_byte(Ba + (v - B) * (Na - Ba) / (N - B));
    }
    if (W == B)
        return clamp_byte(v);
    return clamp_byte(Ba + (v - B) * (Wa - Ba) / (W - B));
}

int color_balance_transfer16(int v, bool midtone_on, int W, int N, int B, int Wa, int Na, int Ba)
{
    double value;
    if (midtone_on && v == N)
        value = Na;
    else if (midtone_on && v > N && W != N)
        value = Na + double(v - N) * (Wa - Na) / (W - N);
    else if (midtone_on && v < N && N != B)
        value = Ba + double(v - B) * (Na - Ba) / (N - B);
    else if (W == B)
        value = v;
    else
        value = Ba + double(v - B) * (Wa - Ba) / (W - B);
    return value < 0 ? 0 : value >= 65535 ? 65535 : int(round_nearest(value));
}

int color_balance_tables(ColorBalanceSettings& s, bool with16)
{
    std::uint8_t* t8[3] = {s.red, s.green, s.blue};
    std::vector<std::uint16_t>* t16[3] = {&s.red16, &s.green16, &s.blue16};
    const bool on = s.midtone_on != 0;
    for (int c = 0; c < 3; ++c) {
        const int W = s.highlight_remove[c], N = s.midtone_remove[c], B = s.shadow_remove[c];
        const int Wa = s.highlight_add[c], Na = s.midtone_add[c], Ba = s.shadow_add[c];
        for (int v = 0; v < 256; ++v)
            t8[c][v] = std::uint8_t(color_balance_transfer8(v, on, W, N, B, Wa, Na, Ba));
        if (!with16)
            continue;
        try {
            t16[c]->resize(65536);
        } catch (const std::bad_alloc&) {
            return kOutOfMemory;
        }
        std::uint16_t* t = t16[c]->data();
        for (int v = 0; v < 65536; ++v)
            t[v] = std::uint16_t(color_balance_transfer16(v, on, widen8(W), widen8(N), widen8(B),
                                                          widen8(Wa), widen8(Na), widen8(Ba)));
    }
    return kOk;
}

int color_balance_file_write(const std::string& path, const ColorBalanceSettings& s)
{
    FileHandle f;
    if (file_create(path, f) != kOk)
        return kCannotCreateFile;
    const std::uint8_t *hr = s.highlight_remove, *ha = s.highlight_add;
    const std::uint8_t *mr = s.midtone_remove, *ma = s.midtone_add;
    const std::uint8_t *sr = s.shadow_remove, *sa = s.shadow_add;
    int err = settings_write_line(f, "ColorBalance 1.0");
    if (!err)
        err = settings_write_line(f, format_text("white %d %d %d %d %d %d", hr[0], hr[1], hr[2],
                                                 ha[0], ha[1], ha[2]));
    if (!err)
        err = settings_write_line(f, format_text("neutral %d %d %d %d %d %d %d",
                                                 s.midtone_on ? 1 : 0, mr[0], mr[1], mr[2], ma[0],
                                                 ma[1], ma[2]));
    if (!err)
        err = settings_write_line(f, format_text("black %d %d %d %d %d %d", sr[0], sr[1], sr[2],
                                                 sa[0], sa[1], sa[2]));
    if (!err)
        err = settings_write_line(f, "end");
    const int closed = f.close();
    return err ? err : closed ? kErrorWritingFile : kOk;
}

namespace {

// Reads `count` levels 0..255 from tokens 1.. into `out` (exactly that many tokens).
bool read_levels(const std::vector<std::string>& t, int first, int count, std::uint8_t* out)
{
    if (int(t.size()) != first + count)
        return false;
    for (int i = 0; i < count; ++i) {
        int v;
        if (!settings_parse_int(t[first + i], v) || v < 0 || v > 255)
            return false;
        out[i] = std::uint8_t(v);
    }
    return true;
}

bool read_balance(FileHandle& f, ColorBalanceSettings& s)
{
    std::string line;
    std::vector<std::string> t;
    if (settings_read_line(f, line) != kOk || settings_tokenize(line, t) != 2 ||
        !settings_keyword_is(t[0], "ColorBalance") || t[1] != "1.0")
        return false;
    while (settings_read_line(f, line) == kOk) {
        if (settings_tokenize(line, t) == 0)
            return false;
        std::uint8_t v[7];
        if (settings_keyword_is(t[0], "end")) {
            return true;
        } else if (settings_keyword_is(t[0], "white")) {
            if (!read_levels(t, 1, 6, v))
                return false;
            copy3(s.highlight_remove, v);
            copy3(s.highlight_add, v + 3);
            s.highlight_mode = BALANCE_CUSTOM;
        } else if (settings_keyword_is(t[0], "black")) {
            if (!read_levels(t, 1, 6, v))
                return false;
            copy3(s.shadow_remove, v);
            copy3(s.shadow_add, v + 3);
            s.shadow_mode = BALANCE_CUSTOM;
        } else if (settings_keyword_is(t[0], "neutral")) {
            if (!read_levels(t, 1, 7, v) || v[0] > 1)
                return false;
            s.midtone_on = v[0];
            s.midtone_mode = v[0] ? MIDTONE_CUSTOM : MIDTONE_NONE;
            copy3(s.midtone_remove, v + 1);
            copy3(s.midtone_add, v + 4);
        } else {
            return false;
        }
    }
    return false;
}

} // namespace

int color_balance_file_read(const std::string& path, ColorBalanceSettings& s)
{
    FileHandle f;
    if (file_open_read(path, f) != kOk)
        return kCannotOpenFile;
    ColorBalanceSettings r = s; // read into a copy so a bad file leaves nothing half-set
    r.red16.clear();
    r.green16.clear();
    r.blue16.clear();
    if (!read_balance(f, r)) {
        color_balance_reset(s);
        return kIllegalColorBalanceFile;
    }
    s.highlight_mode = r.highlight_mode;
    s.shadow_mode = r.shadow_mode;
    s.midtone_mode = r.midtone_mode;
    s.midtone_on = r.midtone_on;
    copy3(s.highlight_remove, r.highlight_remove);
    copy3(s.highlight_add, r.highlight_add);
    copy3(s.shadow_remove, r.shadow_remove);
    copy3(s.shadow_add, r.shadow_add);
    copy3(s.midtone_remove, r.midtone_remove);
    copy3(s.midtone_add, r.midtone_add);
    return kOk;
}

int color_balance_region(const RegionRequest& q, void* settings)
{
    ColorBalanceSettings& s = *static_cast<ColorBalanceSettings*>(settings);
    const int type = q.input->type;
    if (type != IMAGE_COLOR && type != IMAGE_COLOR48)
        return kIllegalImageType;
    if (int e = region_prepare_output(q, tone_output_type(type, q.full)))
        return e;
    color_balance_apply_modes(s);
    const bool wide = tone_is_wide(q);
    if (int e = color_balance_tables(s, wide))
        return e;
    bool identity = true;
    for (int v = 0; v < 256; ++v)
        identity = identity && s.red[v] == v && s.green[v] == v && s.blue[v] == v;
    if (identity || amount_is_identity(s.amount))
        return region_copy_input(q);
    AmountRun amount;
    if (int e = amount_begin(s.amount, q, amount))
        return e;
    const int count = q.columns;
    return tone_region_run(
        q, q.title, [&] { amount_next_row(amount); },
        [&](const std::uint8_t* src, std::uint8_t* dst) {
            for (int x = 0; x < 3 * count; x += 3) {
                dst[x] = s.blue[src[x]];
                dst[x + 1] = s.green[src[x + 1]];
                dst[x + 2] = s.red[src[x + 2]];
            }
            amount_blend_row(amount, src, dst, count, 3);
        },
        [&](const std::uint16_t* src, std::uint16_t* dst) {
            const std::uint16_t *r = s.red16.data(), *g = s.green16.data(), *b = s.blue16.data();
            for (int x = 0; x < 3 * count; x += 3) {
                dst[x] = b[src[x]];
                dst[x + 1] = g[src[x + 1]];
                dst[x + 2] = r[src[x + 2]];
            }
            amount_blend_row16(amount, src, dst, count, 3);
        });
}

} // namespace mv
