// PNG reading through libpng (png_write.cpp writes PNG files). As with JPEG, libpng's errors
// longjmp back to the function that called setjmp; all state that outlives the jump sits in
// a record owned by the caller.
#include "library_bitmap.h"

#include "core/error.h"
#include "core/progress.h"
#include "core/util.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include <png.h>

namespace mv {
namespace {

void png_on_error(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void png_on_warning(png_structp, png_const_charp) {}

struct FileCloser {
    std::FILE* f = nullptr;
    ~FileCloser()
    {
        if (f)
            std::fclose(f);
    }
};

struct ReadState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    bool show_progress = false;
    BitmapInfo bitmap;
    bool indexed = false;                  // rows arrive as palette indices
    int passes = 1;
    std::vector<std::vector<png_byte>> rows; // index rows (all of them when interlaced)
    std::optional<ProgressScope> progress;
};

double png_dpi(png_structp png, png_infop info)
{
    png_uint_32 x = 0, y = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &x, &y, &unit) && unit == PNG_RESOLUTION_METER && x > 0)
        return x * 0.0254;
    return 0;
}

// Sets up the transformations and the Image; 0, 1 or 22.
int prepare(ReadState& s, Image& img)
{
    png_read_info(s.png, s.info);
    png_uint_32 w = 0, h = 0;
    int depth = 0, colour = 0;
    png_get_IHDR(s.png, s.info, &w, &h, &depth, &colour, nullptr, nullptr, nullptr);
    if (!library_size_ok(w, h))
        return 22;
    s.bitmap.width = int(w);
    s.bitmap.height = int(h);
    if (depth == 16)
        png_set_scale_16(s.png);
    if (colour & PNG_COLOR_MASK_ALPHA)
        png_set_strip_alpha(s.png);
    int type;
    if (colour == PNG_COLOR_TYPE_PALETTE) {
        png_colorp entries = nullptr;
        int count = 0;
        if (!png_get_PLTE(s.png, s.info, &entries, &count))
            return 22;
        for (int i = 0; i < count; ++i)
            s.bitmap.palette.push_back({entries[i].red, entries[i].green, entries[i].blue});
        s.bitmap.bits = depth;
        if (depth < 8)
            png_set_packing(s.png);
        s.indexed = true;
        type = bitmap_image_type(s.bitmap);
    } else if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA) {
        if (depth == 1) {
            type = IMAGE_BINARY; // 1-bit gray rows are already MSB first, 1 = white
        } else {
            if (depth < 8)
                png_set_expand_gray_1_2_4_to_8(s.png);
            type = IMAGE_GRAY;
        }
    } else {
        png_set_bgr(s.png);
        type = IMAGE_COLOR;
    }
    s.passes = png_set_interlace_handling(s.png);
    const int passes = s.passes;
    png_read_update_info(s.png, s.info);
    int r = image_alloc(img, type, int(w), int(h), bitmap_resolution(png_dpi(s.png, s.info)));
    if (r != 0)
        return r;
    if (s.indexed) {
        s.rows.resize(passes > 1 ? h : 1);
        for (auto& row : s.rows)
            row.assign(png_get_rowbytes(s.png, s.info), 0);
    }
    return 0;
}

int decode(ReadState& s, std::FILE* f, Image& img)
{
    if (setjmp(png_jmpbuf(s.png)))
        return 22;
    png_init_io(s.png, f);
    png_set_user_limits(s.png, kLibraryMaxSide, kLibraryMaxSide);
    const int prepared = prepare(s, img);
    if (prepared != 0)
        return prepared;
    const int passes = s.passes;
    const int h = img.height;
    s.progress.emplace(s.show_progress ? img.pixels() : 0, 0, passes * h - 1, "File Open", true);
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < h; ++y) {
            png_bytep target = s.indexed ? s.rows[s.rows.size() > 1 ? y : 0].data()
                                         : img.row(h - 1 - y);
            png_read_row(s.png, target, nullptr);
            if (s.indexed && passes == 1)
                bitmap_put_indices(img, h - 1 - y, target, s.bitmap);
            if (s.progress->update(pass * h + y) != 0)
                return kAborted;
        }
    }
    if (s.indexed && passes > 1)
        for (int y = 0; y < h; ++y)
            bitmap_put_indices(img, h - 1 - y, s.rows[y].data(), s.bitmap);
    png_read_end(s.png, nullptr);
    return 0;
}

} // namespace

int png_load(const std::string& path, Image& img, bool show_progress)
{
    image_free(img);
    FileCloser file{std::fopen(path.c_str(), "rb")};
    if (!file.f)
        return 22;
    ReadState s;
    s.show_progress = show_progress;
    s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, png_on_error, png_on_warning);
    if (!s.png)
        return kOutOfMemory;
    s.info = png_create_info_struct(s.png);
    int result = kOutOfMemory;
    if (s.info) {
        try {
            result = decode(s, file.f, img);
        } catch (const std::bad_alloc&) {
            result = kOutOfMemory;
        }
    }
    png_destroy_read_struct(&s.png, &s.info, nullptr);
    if (result != 0)
        image_free(img);
    return result;
}

} // namespace mv
