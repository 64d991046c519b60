#include "shell/new_image.h"

#include "core/error.h"
#include "tone/value_tables.h"

#include <cstring>

namespace mv {

void new_image_pixel(int type, const Rgb& fill, std::uint16_t out[3])
{
    const int gray = luminance(fill.red, fill.green, fill.blue);
    out[0] = out[1] = out[2] = 0;
    switch (type) {
    case IMAGE_BINARY: out[0] = gray >= 128 ? 1 : 0; break;
    case IMAGE_GRAY: out[0] = std::uint16_t(gray); break;
    case IMAGE_GRAY16: out[0] = std::uint16_t(widen8(gray)); break;
    case IMAGE_COLOR:
        out[0] = std::uint16_t(fill.blue), out[1] = std::uint16_t(fill.green), out[2] = std::uint16_t(fill.red);
        break;
    case IMAGE_COLOR48:
        out[0] = std::uint16_t(widen8(fill.blue)), out[1] = std::uint16_t(widen8(fill.green));
        out[2] = std::uint16_t(widen8(fill.red));
        break;
    default: break;
    }
}

int new_image_create(const NewImageChoice& choice, Image& out)
{
    if (!is_picture_type(choice.type) || choice.width < 1 || choice.height < 1 || choice.width > kNewImageMaxSide ||
        choice.height > kNewImageMaxSide)
        return kIllegalImageType;
    const Rgb fill{choice.fill.red & 255, choice.fill.green & 255, choice.fill.blue & 255};
    if (const int err = image_alloc(out, choice.type, choice.width, choice.height, choice.resolution))
        return err;
    std::uint16_t px[3];
    new_image_pixel(choice.type, fill, px);
    // One row is built, then copied into every row (padding included, as zeros).
    std::vector<std::uint8_t> row(size_t(out.row_bytes), 0);
    const int w = choice.width;
    switch (choice.type) {
    case IMAGE_BINARY:
        if (px[0]) {
            std::memset(row.data(), 0xff, size_t(w / 8));
            if (w % 8)
                row[size_t(w / 8)] = std::uint8_t(0xff00 >> (w % 8));
        }
        break;
    case IMAGE_GRAY: std::memset(row.data(), px[0], size_t(w)); break;
    case IMAGE_COLOR:
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                row[size_t(3 * x + c)] = std::uint8_t(px[c]);
        break;
    case IMAGE_GRAY16:
    case IMAGE_COLOR48: {
        const int channels = choice.type == IMAGE_GRAY16 ? 1 : 3;
        auto* r16 = reinterpret_cast<std::uint16_t*>(row.data());
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < channels; ++c)
                r16[channels * x + c] = px[c];
        break;
    }
    default: break;
    }
    for (int y = 0; y < choice.height; ++y)
        std::memcpy(out.row(y), row.data(), row.size());
    return kOk;
}

} // namespace mv
