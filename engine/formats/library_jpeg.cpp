// JPEG through libjpeg-turbo. libjpeg reports fatal errors by longjmp; the functions that
// call setjmp keep every C++ object and every value changed after setjmp in a state record
// owned by their caller, so a jump skips no destructor and reads no stale register.
#include "imaging_library.h"

#include "library_bitmap.h"
#include "core/error.h"
#include "core/progress.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <optional>

#include <jpeglib.h>
#include <jerror.h>

namespace mv {
namespace {

struct JpegErrors {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    bool truncated;
};

[[noreturn]] void on_error(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<JpegErrors*>(cinfo->err)->jump, 1);
}

// Warnings are not printed; a file that ends early counts as damaged.
void on_message(j_common_ptr cinfo, int level)
{
    auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
    if (level < 0 && errors->mgr.msg_code == JWRN_JPEG_EOF)
        errors->truncated = true;
}

void init_errors(JpegErrors& errors)
{
    jpeg_std_error(&errors.mgr);
    errors.mgr.error_exit = on_error;
    errors.mgr.emit_message = on_message;
    errors.truncated = false;
}

struct FileCloser {
    std::FILE* f = nullptr;
    ~FileCloser()
    {
        if (f)
            std::fclose(f);
    }
};

struct ReadState {
    jpeg_decompress_struct cinfo;
    JpegErrors errors;
    bool created = false;
    bool show_progress = false;
    int result = 0;
    std::optional<ProgressScope> progress;
};

// Returns 0, 1, 11 or 22; libjpeg errors land on the setjmp and give 22.
int decode(ReadState& s, std::FILE* f, Image& img)
{
    if (setjmp(s.errors.jump))
        return 22;
    jpeg_create_decompress(&s.cinfo);
    s.created = true;
    jpeg_stdio_src(&s.cinfo, f);
    jpeg_read_header(&s.cinfo, TRUE);
    const J_COLOR_SPACE space = s.cinfo.jpeg_color_space;
    int type;
    if (space == JCS_GRAYSCALE && s.cinfo.num_components == 1) {
        s.cinfo.out_color_space = JCS_GRAYSCALE;
        type = IMAGE_GRAY;
    } else if ((space == JCS_YCbCr || space == JCS_RGB) && s.cinfo.num_components == 3) {
        s.cinfo.out_color_space = JCS_EXT_BGR;
        type = IMAGE_COLOR;
    } else {
        return 22;
    }
    if (!library_size_ok(s.cinfo.image_width, s.cinfo.image_height))
        return 22;
    double dpi = 0;
    if (s.cinfo.density_unit == 1)
        dpi = s.cinfo.X_density;
    else if (s.cinfo.density_unit == 2)
        dpi = s.cinfo.X_density * 2.54;
    s.result = image_alloc(img, type, int(s.cinfo.image_width), int(s.cinfo.image_height),
                           bitmap_resolution(dpi));
    if (s.result != 0)
        return s.result;
    s.progress.emplace(s.show_progress ? img.pixels() : 0, 0, img.height - 1, "File Open (JPEG)",
                       true);
    jpeg_start_decompress(&s.cinfo);
    while (s.cinfo.output_scanline < s.cinfo.output_height) {
        const int y = int(s.cinfo.output_scanline);
        JSAMPROW row = img.row(img.height - 1 - y);
        jpeg_read_scanlines(&s.cinfo, &row, 1);
        if (s.progress->update(y) != 0)
            return kAborted;
    }
    jpeg_finish_decompress(&s.cinfo);
    return s.errors.truncated ? 22 : 0;
}

struct WriteState {
    jpeg_compress_struct cinfo;
    JpegErrors errors;
    bool created = false;
    std::optional<ProgressScope> progress;
};

int encode(WriteState& s, std::FILE* f, const Image& img, int format, int quality)
{
    if (setjmp(s.errors.jump))
        return kErrorWritingFile;
    jpeg_create_compress(&s.cinfo);
    s.created = true;
    jpeg_stdio_dest(&s.cinfo, f);
    s.cinfo.image_width = JDIMENSION(img.width);
    s.cinfo.image_height = JDIMENSION(img.height);
    const bool colour = img.type == IMAGE_COLOR;
    s.cinfo.input_components = colour ? 3 : 1;
    s.cinfo.in_color_space = colour ? JCS_EXT_BGR : JCS_GRAYSCALE;
    jpeg_set_defaults(&s.cinfo);
    jpeg_set_quality(&s.cinfo, quality, TRUE);
    if (colour) {
        const int h = format == LIB_JPEG_411 ? 4 : format == LIB_JPEG_422 ? 2 : 1;
        s.cinfo.comp_info[0].h_samp_factor = h;
        s.cinfo.comp_info[0].v_samp_factor = 1;
        for (int c = 1; c < 3; ++c)
            s.cinfo.comp_info[c].h_samp_factor = s.cinfo.comp_info[c].v_samp_factor = 1;
    }
    if (img.resolution > 0) {
        s.cinfo.density_unit = 1;
        const auto dpi = UINT16(std::clamp<long long>(std::llround(img.resolution), 1, 65535));
        s.cinfo.X_density = s.cinfo.Y_density = dpi;
    }
    jpeg_start_compress(&s.cinfo, TRUE);
    while (s.cinfo.next_scanline < s.cinfo.image_height) {
        const int y = int(s.cinfo.next_scanline);
        JSAMPROW row = const_cast<JSAMPROW>(img.row(img.height - 1 - y));
        jpeg_write_scanlines(&s.cinfo, &row, 1);
        if (s.progress->update(y) != 0)
            return kAborted;
    }
    jpeg_finish_compress(&s.cinfo);
    return 0;
}

} // namespace

int library_load_jpeg(const std::string& path, Image& img, bool show_progress)
{
    image_free(img);
    FileCloser file{std::fopen(path.c_str(), "rb")};
    if (!file.f)
        return 22;
    ReadState s;
    init_errors(s.errors);
    s.cinfo.err = &s.errors.mgr;
    s.show_progress = show_progress;
    int result;
    try {
        result = decode(s, file.f, img);
    } catch (const std::bad_alloc&) {
        result = kOutOfMemory;
    }
    if (s.created)
        jpeg_destroy_decompress(&s.cinfo);
    if (result != 0)
        image_free(img);
    return result;
}

int library_save_jpeg(const std::string& path, const Image& img, int format, int factor)
{
    if (img.type != IMAGE_GRAY && img.type != IMAGE_COLOR)
        return kIllegalImageType;
    FileCloser file{std::fopen(path.c_str(), "wb")};
    if (!file.f)
        return kCannotCreateFile;
    WriteState s;
    init_errors(s.errors);
    s.cinfo.err = &s.errors.mgr;
    s.progress.emplace(img.pixels(), 0, img.height - 1, "File Save (JPEG)", true);
    int result = encode(s, file.f, img, format, jpeg_library_quality(factor));
    if (s.created)
        jpeg_destroy_compress(&s.cinfo);
    s.progress.reset();
    const int closed = std::fclose(file.f);
    file.f = nullptr;
    if (result == 0 && closed != 0)
        result = kErrorWritingFile;
    return result;
}

} // namespace mv
