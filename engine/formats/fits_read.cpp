#include "fits_read.h"

#include "core/error.h"
#include "core/progress.h"
#include "core/util.h"
#include "formats/file_io.h"
#include "formats/fits_card.h"
#include "settings/preferences.h"

#include <cstring>
#include <limits>
#include <optional>
#include <vector>

namespace mv {
namespace {

constexpr int kErrorReadingFits = 84;

// What the header says about the data; 0 stands for "not given".
struct FitsHeader {
    int type = IMAGE_EMPTY;
    long long width = 0;
    long long height = 0;
    int offset = 0; // round_nearest(BZERO)
};

// Shows the detailed message and gives the reader's failure code.
template <class... Args>
int header_error(std::string_view format, const Args&... args)
{
    error_message(format, args...);
    return kErrorReadingFits;
}

// A positive axis length that fits the Image's 32-bit size fields.
int parse_axis(const char* card, long long& out, const char* unrecognized)
{
    const std::string_view value = fits_card_value(card);
    long long n = 0;
    if (!fits_parse_int(value, n) || n <= 0 || n > std::numeric_limits<std::int32_t>::max())
        return header_error(unrecognized, value);
    out = n;
    return kOk;
}

// Applies one card before END to the header.
int parse_card(const char* card, FitsHeader& h)
{
    const std::string_view value = fits_card_value(card);
    long long n = 0;
    double f = 0;
    if (fits_card_is(card, "SIMPLE")) {
        if (value != "T")
            return header_error("Nonconforming FITS file");
    } else if (fits_card_is(card, "BITPIX")) {
        if (!fits_parse_int(value, n))
            return header_error("Unrecognized BITPIX value; %s", value);
        if (n == 8)
            h.type = IMAGE_GRAY;
        else if (n == 16)
            h.type = IMAGE_GRAY16;
        else if (n == -64 || n == -32 || n == 32)
            return header_error("BITPIX must be 8 or 16");
        else
            return header_error("Unrecognized BITPIX value; %s", value);
    } else if (fits_card_is(card, "NAXIS")) {
        if (!fits_parse_int(value, n))
            return header_error("Unrecognized NAXIS value; %s", value);
        if (n != 2)
            return header_error("NAXIS must be 2");
    } else if (fits_card_is(card, "NAXIS1")) {
        return parse_axis(card, h.width, "Unrecognized NAXIS1 value; %s");
    } else if (fits_card_is(card, "NAXIS2")) {
        return parse_axis(card, h.height, "Unrecognized NAXIS2 value; %s");
    } else if (fits_card_is(card, "BZERO")) {
        if (!fits_parse_float(value, f))
            return header_error("Unrecognized BZERO value; %s", value);
        if (!(f >= -65536.0 && f <= 65536.0))
            return header_error("Unsupported BZERO value; %s", value);
        h.offset = int(round_nearest(f));
    } else if (fits_card_is(card, "BSCALE")) {
        if (!fits_parse_float(value, f))
            return header_error("Unrecognized BSCALE value; %s", value);
        if (f != 1.0)
            return header_error("Unsupported BSCALE value; %s", value);
    }
    return kOk;
}

// Reads blocks of cards up to and including the block with the END card; the file is then
// positioned at the first data byte.
int read_header(FileHandle& f, FitsHeader& h)
{
    std::vector<char> block(kFitsBlockBytes);
    for (;;) {
        if (file_read_exact(f, block.size(), block.data()) != kOk)
            return header_error("Error reading FITS file header");
        for (int c = 0; c < kFitsCardsPerBlock; ++c) {
            const char* card = block.data() + c * kFitsCardBytes;
            if (fits_card_is(card, "END"))
                return kOk;
            if (fits_card_blank(card))
                continue;
            if (const int err = parse_card(card, h))
                return err;
        }
    }
}

// Converts one row read from the file in place: big-endian samples to the machine's order,
// then the offset added modulo the sample range.
void convert_row(std::uint8_t* row, int width, int type, int offset)
{
    if (type == IMAGE_GRAY) {
        if (offset != 0)
            for (int x = 0; x < width; ++x)
                row[x] = std::uint8_t(row[x] + offset);
        return;
    }
    std::uint16_t* out = reinterpret_cast<std::uint16_t*>(row);
    for (int x = 0; x < width; ++x) {
        const std::uint8_t* b = row + 2 * x;
        out[x] = std::uint16_t(((b[0] << 8) | b[1]) + offset);
    }
}

int read_data(FileHandle& f, const FitsHeader& h, Image& img, bool show_progress)
{
    const int width = img.width;
    const int height = img.height;
    const size_t data_bytes = size_t(width) * size_t(image_pixel_bytes(img.type));
    std::optional<ProgressScope> progress;
    if (show_progress)
        progress.emplace(img.pixels(), 0, height - 1, "FITS Read", true);
    for (int i = 0; i < height; ++i) {
        std::uint8_t* row = img.row(height - 1 - i);
        if (file_read_exact(f, data_bytes, row) != kOk)
            return kErrorReadingFits;
        convert_row(row, width, img.type, h.offset);
        std::memset(row + data_bytes, 0, size_t(img.row_bytes) - data_bytes);
        if (progress)
            if (const int err = progress->update(i))
                return err;
    }
    return kOk;
}

// The data must be in the file before any memory is spent on it.
bool data_fits_in_file(FileHandle& f, const FitsHeader& h)
{
    std::int64_t size = 0, at = 0;
    if (file_size(f, size) != kOk || file_tell(f, at) != kOk)
        return false;
    const long long sample_bytes = h.type == IMAGE_GRAY16 ? 2 : 1;
    const long long available = size - at;
    // width and height are at most 2^31 - 1 each, so only the row count can overflow here.
    return available >= 0 && h.width * sample_bytes <= available &&
           h.height <= available / (h.width * sample_bytes);
}

int read_file(FileHandle& f, Image& img, bool show_progress)
{
    FitsHeader h;
    if (const int err = read_header(f, h))
        return err;
    // Without a sample size or an image size there is no picture to make.
    if (h.type == IMAGE_EMPTY || h.width == 0 || h.height == 0)
        return header_error("Nonconforming FITS file");
    if (!data_fits_in_file(f, h))
        return kErrorReadingFits;
    if (const int err = image_alloc(img, h.type, int(h.width), int(h.height),
                                    preferences().default_resolution)) {
        error_box(err);
        return kErrorReadingFits;
    }
    return read_data(f, h, img, show_progress);
}

} // namespace

int fits_read(const std::string& path, Image& img, bool show_progress)
{
    image_free(img);
    FileHandle f;
    if (const int err = file_open_read(path, f))
        return err;
    int err = kErrorReadingFits;
    try {
        err = read_file(f, img, show_progress);
    } catch (const std::bad_alloc&) {
        err = kOutOfMemory;
    }
    if (err)
        image_free(img);
    return err;
}

} // namespace mv
