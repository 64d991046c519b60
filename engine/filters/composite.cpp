#include "composite.h"

#include "core/error.h"
#include "core/product_table.h"
#include "core/progress.h"
#include "tone/value_tables.h"
#include "transform/row_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <new>
#include <string>

namespace mv {
namespace {

inline bool wide(int type) { return type == IMAGE_GRAY16 || type == IMAGE_COLOR48; }
inline int channels(int type) { return type == IMAGE_COLOR || type == IMAGE_COLOR48 ? 3 : 1; }

// Sample c of overlay pixel (x, y), both inside.
inline int sample(const Image& img, int x, int y, int c, int ch)
{
    const std::uint8_t* row = img.row(y);
    if (img.type == IMAGE_BINARY)
        return bit_test(row, x) ? 255 : 0;
    if (wide(img.type))
        return reinterpret_cast<const std::uint16_t*>(row)[size_t(x) * ch + c];
    return row[size_t(x) * ch + c];
}

inline int mixw(bool is16, int a, int b, int w)
{
    return is16 ? mix16(a, b, w) : mix8(a, b, w);
}

// Points with y counted from the top, turned into stored-row coordinates.
void to_rows(const PointF* p, int count, int height, PointF* out)
{
    for (int i = 0; i < count; ++i)
        out[i] = PointF{p[i].x, height - 1 - p[i].y};
}

int operation_value(int op, int c, int o, int top)
{
    const bool is16 = top > 255;
    switch (op) {
    case kCompLighten: return std::max(c, o);
    case kCompDarken: return std::min(c, o);
    case kCompFilter:
        return is16 ? int((long long)c * o / 65535) : (c * o + 127) / 255;
    case kCompSubtractiveFilter:
        return is16 ? 65535 - int((long long)(65535 - c) * (65535 - o) / 65535)
                    : 255 - ((255 - c) * (255 - o) + 127) / 255;
    case kCompNegative: return c ^ o;
    case kCompAdd: return std::min(c + o, top);
    case kCompSubtract: return std::max(c - o, 0);
    case kCompDifference: return std::abs(c - o);
    default: return o; // Blend, Register
    }
}

} // namespace

void composite_default_points(PointF* points, int width, int height)
{
    const double cx = (width - 1) / 2.0, cy = (height - 1) / 2.0;
    for (int i = 0; i < kAlignMaxPoints; ++i)
        points[i] = PointF{cx, cy};
    points[0] = {0, 0};
    points[1] = {double(width - 1), 0};
    points[2] = {0, double(height - 1)};
    points[3] = {double(width - 1), double(height - 1)};
}

void composite_init(CompositeSettings& st, int base_width, int base_height)
{
    st = CompositeSettings{};
    std::strcpy(st.overlay_amount.label, "Overlay Amount: ");
    composite_default_points(st.base_points, base_width, base_height);
    composite_default_points(st.overlay_points, base_width, base_height);
}

void composite_set_overlay(CompositeSettings& st, const Image* overlay)
{
    st.overlay = overlay;
    if (overlay)
        composite_default_points(st.overlay_points, overlay->width, overlay->height);
}

void composite_set_alignment(CompositeSettings& st, int alignment)
{
    st.alignment = std::clamp(alignment, 0, int(kAlignPerspective));
    st.point_count = alignment_point_count(st.alignment);
}

int composite_output_type(int base_type, const CompositeSettings& st)
{
    const bool gray_colour = st.red == st.green && st.green == st.blue;
    const int ot = st.overlay ? st.overlay->type : (gray_colour ? IMAGE_GRAY : IMAGE_COLOR);
    const bool is16 = wide(base_type) || wide(ot);
    const bool colour = channels(base_type) == 3 || channels(ot) == 3;
    return colour ? (is16 ? IMAGE_COLOR48 : IMAGE_COLOR) : (is16 ? IMAGE_GRAY16 : IMAGE_GRAY);
}

int composite_map(const CompositeSettings& st, int base_height, AlignmentMap& map)
{
    map = AlignmentMap{};
    if (!st.overlay || st.alignment == kAlignNone)
        return kOk;
    PointF b[kAlignMaxPoints], o[kAlignMaxPoints];
    const int n = std::clamp(st.point_count, 0, kAlignMaxPoints);
    to_rows(st.base_points, n, base_height, b);
    to_rows(st.overlay_points, n, st.overlay->height, o);
    return alignment_solve(st.alignment, n, b, o, map);
}

int overlay_sample_row(const Image& ov, const AlignmentMap& map, bool same_size, int row,
                       int x0, int s, int W, OverlayRow& out)
{
    const int ch = channels(ov.type), ow = ov.width, oh = ov.height;
    const bool is16 = wide(ov.type);
    try {
        out.values.assign(size_t(W) * ch, 0);
        out.coverage.assign(size_t(W), 0);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    out.first = 0;
    out.last = -1;
    if (same_size && alignment_is_identity(map)) {
        const int y = std::clamp(row, 0, oh - 1);
        for (int j = 0; j < W; ++j) {
            const int x = std::clamp(x0 + j * s, 0, ow - 1);
            for (int c = 0; c < ch; ++c)
                out.values[size_t(j) * ch + c] = sample(ov, x, y, c, ch);
            out.coverage[size_t(j)] = 255;
        }
        out.last = W - 1;
        return kOk;
    }
    const bool perspective = map.g != 0 || map.h != 0;
    double u0 = 0, v0 = 0, du = 0, dv = 0;
    if (!perspective) {
        double u1, v1;
        alignment_map_point(map, x0, row, u0, v0);
        alignment_map_point(map, x0 + double(W - 1) * s, row, u1, v1);
        if (W > 1)
            du = (u1 - u0) / (W - 1), dv = (v1 - v0) / (W - 1);
    }
    for (int j = 0; j < W; ++j) {
        double u, v;
        if (perspective) {
            if (!alignment_map_point(map, x0 + double(j) * s, row, u, v))
                continue; // no overlay position: nothing of the overlay here
        } else {
            u = u0 + du * j;
            v = v0 + dv * j;
        }
        if (!(u >= -1.0 && u < ow) || !(v >= -1.0 && v < oh))
            continue;
        const int iu = int(std::floor(u)), iv = int(std::floor(v));
        const int fu = std::clamp(int(std::floor((u - iu) * 256)), 0, 255);
        const int fv = std::clamp(int(std::floor((v - iv) * 256)), 0, 255);
        const bool inside = iu >= 0 && iu < ow - 1 && iv >= 0 && iv < oh - 1;
        int cov = 255;
        if (!inside) {
            auto in = [&](int x, int y) { return x >= 0 && x < ow && y >= 0 && y < oh ? 255 : 0; };
            const int top = mix8(in(iu, iv), in(iu + 1, iv), fu);
            const int bot = mix8(in(iu, iv + 1), in(iu + 1, iv + 1), fu);
            cov = mix8(top, bot, fv);
        }
        const int xa = std::clamp(iu, 0, ow - 1), xb = std::clamp(iu + 1, 0, ow - 1);
        const int ya = std::clamp(iv, 0, oh - 1), yb = std::clamp(iv + 1, 0, oh - 1);
        for (int c = 0; c < ch; ++c) {
            const int p = mixw(is16, sample(ov, xa, ya, c, ch), sample(ov, xb, ya, c, ch), fu);
            const int q = mixw(is16, sample(ov, xa, yb, c, ch), sample(ov, xb, yb, c, ch), fu);
            out.values[size_t(j) * ch + c] = mixw(is16, p, q, fv);
        }
        out.coverage[size_t(j)] = std::uint8_t(cov);
        if (out.last < 0)
            out.first = j;
        out.last = j;
    }
    return kOk;
}

int composite_region(const RegionRequest& q, void* settings)
{
    const CompositeSettings& st = *static_cast<const CompositeSettings*>(settings);
    const Image& base = *q.input;
    if (!is_picture_type(base.type) || base.empty())
        return kIllegalImageType;
    if (st.overlay && (!is_picture_type(st.overlay->type) || st.overlay->empty()))
        return kIllegalImageType;
    AlignmentMap map;
    if (int e = composite_map(st, base.height, map))
        return e;
    const int out_type = region_output_type(composite_output_type(base.type, st), q.full);
    if (int e = region_prepare_output(q, out_type))
        return e;
    if (q.columns <= 0 || q.rows <= 0)
        return kOk;
    if (product_table_build())
        return kOutOfMemory;
    const int s = q.zoom < -1 ? -q.zoom : 1, W = q.columns;
    const int oc = channels(out_type);
    const bool out16 = wide(out_type);
    const int top = out16 ? 65535 : 255;
    const int bc = channels(base.type);
    const bool base16 = wide(base.type);
    const ValueTables& vt = value_tables();
    auto to_out = [&](int v, bool src16) {
        return out16 == src16 ? v : out16 ? v * 257 : int(vt.narrow16[v]);
    };

    // The overlay amount: scaled amounts and the mask resampled with the overlay.
    const AmountBlock& oa = st.overlay_amount;
    const bool osigned = oa.is_signed != 0;
    const int o_low = std::clamp(amount_scale(oa.low, osigned), 0, 255);
    const bool o_masked = amount_has_mask(oa) && oa.mask_image->type == IMAGE_GRAY;
    const int o_high = o_masked ? std::clamp(amount_scale(oa.high, osigned), 0, 255) : o_low;
    const bool same_size = st.overlay && st.overlay->width == base.width &&
                           st.overlay->height == base.height;
    const bool mask_same = o_masked && oa.mask_image->width == base.width &&
                           oa.mask_image->height == base.height;

    const int colour[3] = {st.blue, st.green, st.red};
    RowReader reader;
    row_reader_reset(reader);
    RowWriter out;
    row_writer_reset(out);
    AmountRun amount;
    OverlayRow orow, mrow;
    std::vector<int> cvals, result;
    std::vector<std::uint8_t> base8, res8;
    std::vector<std::uint16_t> base16v, res16;
    try {
        cvals.resize(size_t(W) * oc);
        result.resize(size_t(W) * oc);
        if (out16) {
            base16v.resize(size_t(W) * oc);
            res16.resize(size_t(W) * oc);
        } else {
            base8.resize(size_t(W) * oc);
            res8.resize(size_t(W) * oc);
        }
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    if (int e = row_reader_open(base, q.x0, q.y0, q.zoom, W, reader))
        return e;
    if (int e = region_open_writer(q, out))
        return e;
    if (int e = amount_begin(st.amount, q, amount))
        return e;
    const bool register_op = st.operation == kCompRegister;
    ProgressScope progress(region_pixels(q), 0, q.rows - 1, "Composite", true);
    for (int k = 0; k < q.rows; ++k) {
        const int row = std::min(q.y0 + k * s, base.height - 1);
        const std::uint8_t* src = row_reader_next(reader);
        for (int j = 0; j < W; ++j)
            for (int c = 0; c < oc; ++c) {
                const int bcn = bc == 3 ? c : 0;
                const int v = base16 ? reinterpret_cast<const std::uint16_t*>(src)[size_t(j) * bc + bcn]
                                     : src[size_t(j) * bc + bcn];
                cvals[size_t(j) * oc + c] = to_out(v, base16);
            }
        int first = 0, last = W - 1;
        int och = 1;
        bool ov16 = false;
        if (st.overlay) {
            if (int e = overlay_sample_row(*st.overlay, map, same_size, row, q.x0, s, W, orow))
                return e;
            first = orow.first;
            last = orow.last;
            och = channels(st.overlay->type);
            ov16 = wide(st.overlay->type);
        }
        if (o_masked) {
            const AlignmentMap& mm = st.overlay ? map : AlignmentMap{};
            if (int e = overlay_sample_row(*oa.mask_image, mm, mask_same, row, q.x0, s, W, mrow))
                return e;
        }
        for (int j = 0; j < W; ++j) {
            for (int c = 0; c < oc; ++c) {
                const size_t i = size_t(j) * oc + c;
                const int cop = register_op ? 0 : cvals[i];
                if (j < first || j > last) {
                    result[i] = cop;
                    continue;
                }
                int o, cov = 255;
                if (st.overlay) {
                    o = to_out(orow.values[size_t(j) * och + (och == 3 ? c : 0)], ov16);
                    cov = orow.coverage[size_t(j)];
                } else {
                    o = to_out(oc == 3 ? colour[c] : colour[0], false);
                }
                int a = o_masked ? mix8(o_low, o_high, mrow.values[size_t(j)]) : o_low;
                if (cov < a)
                    a = cov;
                const int t = operation_value(st.operation, cop, o, top);
                result[i] = std::clamp(mixw(out16, cop, t, a), 0, top);
            }
        }
        if (!amount.direct)
            amount_next_row(amount);
        std::uint8_t* dst = row_writer_row(out);
        const size_t n = size_t(W) * oc;
        if (out16) {
            for (size_t i = 0; i < n; ++i) {
                base16v[i] = std::uint16_t(cvals[i]);
                res16[i] = std::uint16_t(result[i]);
            }
            if (!amount.direct)
                amount_blend_row16(amount, base16v.data(), res16.data(), W, oc);
            if (dst)
                std::memcpy(dst, res16.data(), n * 2);
        } else {
            for (size_t i = 0; i < n; ++i) {
                base8[i] = std::uint8_t(cvals[i]);
                res8[i] = std::uint8_t(result[i]);
            }
            if (!amount.direct)
                amount_blend_row(amount, base8.data(), res8.data(), W, oc);
            if (dst)
                std::memcpy(dst, res8.data(), n);
        }
        row_writer_commit(out);
        if (int e = progress.update(k))
            return e;
    }
    return kOk;
}

int composite_refine(CompositeSettings& st, const Image& base)
{
    if (st.alignment == kAlignNone || st.point_count <= 0) {
        message_box("Error", "No alignment points to adjust");
        return kOk;
    }
    if (!st.overlay) {
        message_box("Error", "No overlay image to align");
        return kOk;
    }
    const int saved_op = st.operation;
    st.operation = kCompDifference;
    const int n = std::min(st.point_count, kAlignMaxPoints);
    int rc = kOk;
    progress_begin(0, 3 * n - 1, "Refine Alignment Points", true);
    // Scores one candidate: the composite summed over the 41 x 41 window around the point.
    auto score = [&](int p, long long& total) -> int {
        const PointF bp = st.base_points[p];
        const int xl = std::max(0, int(std::floor(bp.x - 20)));
        const int xh = std::min(base.width - 1, int(std::ceil(bp.x + 20)));
        const int yt = std::max(0, int(std::floor(bp.y - 20)));
        const int yb = std::min(base.height - 1, int(std::ceil(bp.y + 20)));
        total = 0;
        if (xl > xh || yt > yb)
            return kOk;
        Image out;
        RegionRequest q = region_full_request(base, out, "Refine Alignment Points");
        q.full = false;
        q.x0 = xl;
        q.y0 = base.height - 1 - yb; // stored rows run from the bottom
        q.output_width = q.columns = xh - xl + 1;
        q.output_height = q.rows = yb - yt + 1;
        q.last_column = q.columns - 1;
        q.last_row = q.rows - 1;
        if (int e = composite_region(q, &st))
            return e;
        const int bytes = out.width * image_pixel_bytes(out.type);
        for (int y = 0; y < out.height; ++y) {
            const std::uint8_t* r = out.row(y);
            for (int i = 0; i < bytes; ++i)
                total += r[i];
        }
        return kOk;
    };
    int step_count = 0;
    bool failed[kAlignMaxPoints] = {};
    for (int pass = 0; pass < 3 && rc == kOk; ++pass) {
        const double step = pass == 0 ? 1.0 : pass == 1 ? 1.0 / 3 : 1.0 / 9;
        for (int p = 0; p < n; ++p) {
            const PointF start = st.overlay_points[p];
            if (failed[p]) { // a point that could not be refined stays where it was
                if (int e = progress_update(step_count++)) {
                    rc = e;
                    break;
                }
                continue;
            }
            long long best = 0;
            int bi = 0, bj = 0;
            bool have = false;
            for (int i = -6; i <= 6 && rc == kOk; ++i)
                for (int j = -6; j <= 6; ++j) {
                    st.overlay_points[p] = PointF{start.x + i * step, start.y + j * step};
                    long long s = 0;
                    const int e = score(p, s);
                    if (e == 61) {
                        continue;
                    }
                    if (e) {
                        rc = e;
                        break;
                    }
                    if (!have || s < best) {
                        best = s;
                        bi = i;
                        bj = j;
                        have = true;
                    }
                }
            if (rc != kOk) {
                st.overlay_points[p] = start;
                break;
            }
            if (pass == 0 && (std::abs(bi) == 6 || std::abs(bj) == 6)) {
                st.overlay_points[p] = start;
                failed[p] = true;
                const char label[2] = {alignment_point_label(p), 0};
                message_box("Warning", "Unable to refine alignment point %s", label);
            } else {
                st.overlay_points[p] = PointF{start.x + bi * step, start.y + bj * step};
            }
            if (int e = progress_update(step_count++)) {
                rc = e;
                break;
            }
        }
    }
    progress_end();
    st.operation = saved_op;
    return rc;
}

std::string composite_points_text(const PointF* base, const PointF* overlay, int count)
{
    std::string text;
    char buffer[32];
    const auto put = [&](double v, char after) {
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
        text.append(buffer, r.ptr);
        if (after)
            text += after;
    };
    for (int i = 0; i < std::clamp(count, 0, kAlignMaxPoints); ++i) {
        if (i)
            text += ';';
        put(base[i].x, ',');
        put(base[i].y, ',');
        put(overlay[i].x, ',');
        put(overlay[i].y, 0);
    }
    return text;
}

bool composite_parse_points(std::string_view text, PointF* base, PointF* overlay, int& count,
                            std::string& message)
{
    const auto trim = [](std::string_view t) {
        while (!t.empty() && t.front() == ' ')
            t.remove_prefix(1);
        while (!t.empty() && t.back() == ' ')
            t.remove_suffix(1);
        return t;
    };
    count = 0;
    text = trim(text);
    if (text.empty())
        return true;
    PointF b[kAlignMaxPoints], o[kAlignMaxPoints];
    int n = 0;
    while (true) {
        const size_t end = text.find(';');
        const std::string_view pair = text.substr(0, end);
        if (n == kAlignMaxPoints) {
            message = "points takes at most 61 pairs";
            return false;
        }
        double v[4];
        std::string_view rest = pair;
        for (int k = 0; k < 4; ++k) {
            const size_t comma = k < 3 ? rest.find(',') : std::string_view::npos;
            if (k < 3 && comma == std::string_view::npos) {
                message = "points takes pairs x,y,u,v separated by ';'";
                return false;
            }
            const std::string_view field = trim(rest.substr(0, comma));
            const char* first = field.data();
            const char* last = first + field.size();
            const auto r = std::from_chars(first, last, v[k]);
            if (field.empty() || r.ec != std::errc() || r.ptr != last || !std::isfinite(v[k]) ||
                std::fabs(v[k]) > 1e6) {
                message = "points: '" + std::string(field) + "' is not a coordinate";
                return false;
            }
            if (k < 3)
                rest.remove_prefix(comma + 1);
        }
        b[n] = PointF{v[0], v[1]};
        o[n] = PointF{v[2], v[3]};
        ++n;
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    std::copy(b, b + n, base);
    std::copy(o, o + n, overlay);
    count = n;
    return true;
}

} // namespace mv
