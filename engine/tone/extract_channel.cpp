#include "extract_channel.h"

#include "core/error.h"
#include "core/progress.h"
#include "tone/color_space.h"
#include "tone/value_tables.h"
#include "transform/row_reader.h"

namespace mv {

bool extract_channel_valid(int channel)
{
    return channel >= 0 && channel <= 12 && channel != 1 && channel != 5 && channel != 9;
}

int extract_channel8(int channel, int r, int g, int b)
{
    int h = 0, s = 0, v = 0;
    switch (channel) {
    case kChannelLuminance: return luminance(r, g, b);
    case kChannelRed: return r;
    case kChannelGreen: return g;
    case kChannelBlue: return b;
    case kChannelHsvHue:
        rgb8_to_hsv12(r, g, b, h, s, v);
        return (h * 255) >> 12;
    case kChannelHsvSaturation: return hsv_saturation8(r, g, b);
    case kChannelHsvValue: return color_max(r, g, b);
    case kChannelHslHue:
        rgb8_to_hsl12(r, g, b, h, s, v);
        return (h * 255) >> 12;
    case kChannelHslSaturation: return hsl_saturation8(r, g, b);
    case kChannelHslLightness: return hsl_lightness(r, g, b);
    default: return 0;
    }
}

int extract_channel16(int channel, int r, int g, int b)
{
    int h = 0, s = 0, v = 0;
    switch (channel) {
    case kChannelLuminance: return luminance(r, g, b);
    case kChannelRed: return r;
    case kChannelGreen: return g;
    case kChannelBlue: return b;
    case kChannelHsvHue:
        rgb16_to_hsv16(r, g, b, h, s, v);
        return h;
    case kChannelHsvSaturation: return hsv_saturation16(r, g, b);
    case kChannelHsvValue: return color_max(r, g, b);
    case kChannelHslHue:
        rgb16_to_hsl16(r, g, b, h, s, v);
        return h;
    case kChannelHslSaturation: return hsl_saturation16(r, g, b);
    case kChannelHslLightness: return hsl_lightness(r, g, b);
    default: return 0;
    }
}

int extract_channel_region(const RegionRequest& q, void* settings)
{
    const ExtractChannelSettings& s = *static_cast<const ExtractChannelSettings*>(settings);
    const int type = q.input->type;
    if ((type != IMAGE_COLOR && type != IMAGE_COLOR48) || !extract_channel_valid(s.channel))
        return kIllegalImageType;
    const bool wide = type == IMAGE_COLOR48 && q.full;
    if (int e = region_prepare_output(q, wide ? IMAGE_GRAY16 : IMAGE_GRAY))
        return e;

    RowReader in;
    row_reader_reset(in);
    RowWriter out;
    row_writer_reset(out);
    if (int e = row_reader_open(*q.input, q.x0, q.y0, q.zoom, q.columns, in))
        return e;
    if (int e = region_open_writer(q, out))
        return e;
    const std::uint8_t* narrow = value_tables().narrow16;
    const int c = s.channel;
    ProgressScope progress(region_pixels(q), 0, q.rows - 1, q.title, true);
    for (int y = 0; y < q.rows; ++y) {
        const std::uint8_t* src = row_reader_next(in);
        std::uint8_t* dst = row_writer_row(out);
        if (!dst)
            break;
        if (type == IMAGE_COLOR) {
            for (int x = 0; x < q.columns; ++x, src += 3)
                dst[x] = std::uint8_t(extract_channel8(c, src[2], src[1], src[0]));
        } else {
            const auto* s16 = reinterpret_cast<const std::uint16_t*>(src);
            if (wide) {
                auto* d16 = reinterpret_cast<std::uint16_t*>(dst);
                for (int x = 0; x < q.columns; ++x, s16 += 3)
                    d16[x] = std::uint16_t(extract_channel16(c, s16[2], s16[1], s16[0]));
            } else {
                for (int x = 0; x < q.columns; ++x, s16 += 3)
                    dst[x] = std::uint8_t(extract_channel8(c, narrow[s16[2]], narrow[s16[1]],
                                                           narrow[s16[0]]));
            }
        }
        row_writer_commit(out);
        if (int e = progress.update(y))
            return e;
    }
    return kOk;
}

} // namespace mv
