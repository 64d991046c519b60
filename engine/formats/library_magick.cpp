// BMP, RLE, Targa, PCX, GIF, EPS (written only), Photo CD and other raster files through
// GraphicsMagick's C interface. Files are read into memory by the program and handed over as
// blobs with an explicit coder name, so GraphicsMagick never interprets a path (no "name:"
// prefixes, no "[...]" scene specs, no URLs); only coders on the allow list below are used,
// which keeps PostScript, SVG, MSL and every delegate program out of reach.
#include "imaging_library.h"

#include "library_bitmap.h"
#include "magick_library.h"
#include "file_io.h"
#include "core/error.h"
#include "core/progress.h"
#include "core/util.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>


namespace mv {
namespace {

// Files larger than this are not read into memory.
constexpr std::int64_t kMaxFileBytes = std::int64_t(1) << 30;

// Coders a file may be recognised as. Targa has no signature and is only used when the
// caller names it.
constexpr const char* kReadable[] = {"BMP", "GIF", "PCX", "TIFF", "PCD", "PNM", "SGI",
                                     "SUN", "WEBP", "DPX", "TGA", "JPEG", "PNG"};

// ---- set-up ------------------------------------------------------------------------------

// The library's functions; only called once imaging_library_init has loaded them.
const MagickLibrary& gm()
{
    return *magick_library();
}

MagickPassFail refuse_urls(const ConfirmAccessMode mode, const char*, ExceptionInfo*)
{
    return mode == URLGetFTPConfirmAccessMode || mode == URLGetFileConfirmAccessMode ||
                   mode == URLGetHTTPConfirmAccessMode || mode == FileExecuteConfirmAccessMode
               ? MagickFail
               : MagickPass;
}

void quiet_handler(const ExceptionType, const char*, const char*) {}

// The progress window the current load or save reports to. GraphicsMagick's monitor
// callback has no user data and is called on the thread doing the work, so each thread
// keeps its own target: files read or written on several threads at once (the batch tool)
// report to their own progress.
struct MonitorTarget {
    ProgressScope* scope = nullptr;
    int base = 0;  // progress value at the start of the library's work
    int rows = 0;  // progress steps the library's work spans
    bool cancelled = false;
};
thread_local MonitorTarget* g_monitor = nullptr;

MagickPassFail on_monitor(const char*, const magick_int64_t quantum, const magick_uint64_t span,
                          ExceptionInfo*)
{
    MonitorTarget* t = g_monitor;
    if (!t || !t->scope || span == 0)
        return MagickPass;
    const auto done = quantum < 0 ? 0 : magick_uint64_t(quantum) > span ? span : magick_uint64_t(quantum);
    const int value = t->base + int(done * magick_uint64_t(t->rows) / span);
    if (t->scope->update(value) != 0) {
        t->cancelled = true;
        return MagickFail;
    }
    return MagickPass;
}

class MonitorGuard {
public:
    explicit MonitorGuard(MonitorTarget& t) : previous_(g_monitor) { g_monitor = &t; }
    ~MonitorGuard() { g_monitor = previous_; }
    MonitorGuard(const MonitorGuard&) = delete;
    MonitorGuard& operator=(const MonitorGuard&) = delete;

private:
    MonitorTarget* previous_;
};

// ---- RAII over the C interface -----------------------------------------------------------

struct Exception {
    ExceptionInfo info;
    Exception() { gm().GetExceptionInfo(&info); }
    ~Exception() { gm().DestroyExceptionInfo(&info); }
    Exception(const Exception&) = delete;
    Exception& operator=(const Exception&) = delete;
};

struct ImageInfoDeleter {
    void operator()(ImageInfo* p) const { gm().DestroyImageInfo(p); }
};
struct ImageDeleter {
    void operator()(::Image* p) const { gm().DestroyImageList(p); }
};
struct BlobDeleter {
    void operator()(void* p) const { gm().MagickFree(p); }
};
using InfoPtr = std::unique_ptr<ImageInfo, ImageInfoDeleter>;
using MagickImagePtr = std::unique_ptr<::Image, ImageDeleter>;

InfoPtr make_info(const char* magick)
{
    InfoPtr info(gm().CloneImageInfo(nullptr));
    if (info) {
        // "NAME:" affirms the coder, so the blob's contents cannot redirect it elsewhere.
        std::snprintf(info->filename, sizeof info->filename, "%s:image", magick);
        std::snprintf(info->magick, sizeof info->magick, "%s", magick);
    }
    return info;
}

// ---- reading -----------------------------------------------------------------------------

int read_whole_file(const std::string& path, std::vector<unsigned char>& bytes)
{
    FileHandle f;
    if (file_open_read(path, f) != 0)
        return 22;
    std::int64_t size = 0;
    if (file_size(f, size) != 0 || size <= 0 || size > kMaxFileBytes)
        return 22;
    try {
        bytes.resize(size_t(size));
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    return file_read_exact(f, bytes.size(), bytes.data()) == 0 ? 0 : 22;
}

const char* hinted_coder(int format)
{
    switch (format) {
    case LIB_PCX: return "PCX";
    case LIB_GIF: return "GIF";
    case LIB_TARGA: return "TGA";
    case LIB_BMP:
    case LIB_RLE: return "BMP";
    case LIB_TIFF: return "TIFF";
    case LIB_PHOTOCD: return "PCD";
    default: return nullptr;
    }
}

// The coder for a file: what its contents say when that coder is allowed, else the coder
// its format names.
const char* choose_coder(const std::vector<unsigned char>& bytes, int format)
{
    const char* found = gm().GetImageMagick(bytes.data(), bytes.size());
    if (found)
        for (const char* allowed : kReadable)
            if (std::strcmp(found, allowed) == 0)
                return allowed;
    return hinted_coder(format);
}

std::uint32_t le32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

// The bits per pixel and colour count a BMP's headers declare (14-byte file header, then an
// information header of 12 bytes or of 40 and more).
void bmp_declared(const std::vector<unsigned char>& b, int& bits, int& colors)
{
    bits = 0;
    colors = -1;
    if (b.size() < 26 || b[0] != 'B' || b[1] != 'M')
        return;
    const std::uint32_t header = le32(&b[14]);
    if (header == 12) {
        bits = b[24] | b[25] << 8;
    } else if (header >= 40 && b.size() >= 50) {
        bits = b[28] | b[29] << 8;
        colors = int(std::min<std::uint32_t>(le32(&b[46]), 0x7fffffff));
    }
}

bool gray_like(const ::Image* im)
{
    return im->is_grayscale || im->colorspace == GRAYColorspace;
}

// Describes the decoded picture the way the loading rules need it. Returns true when the
// palette indices are to be taken from the pixel values rather than the colour map (gray
// and black-and-white pictures).
bool describe(const ::Image* im, const char* coder, const std::vector<unsigned char>& bytes,
              BitmapInfo& info)
{
    bool by_value = false;
    info.width = int(im->columns);
    info.height = int(im->rows);
    int declared_bits = 0;
    if (std::strcmp(coder, "BMP") == 0)
        bmp_declared(bytes, declared_bits, info.declared_colors);
    const bool mono = im->is_monochrome && declared_bits == 0;
    if (!mono && im->storage_class == PseudoClass && im->colormap && im->colors >= 1 &&
        im->colors <= 256 && declared_bits <= 8) {
        for (unsigned long i = 0; i < im->colors; ++i)
            info.palette.push_back({ScaleQuantumToChar(im->colormap[i].red),
                                    ScaleQuantumToChar(im->colormap[i].green),
                                    ScaleQuantumToChar(im->colormap[i].blue)});
        info.bits = declared_bits ? declared_bits : im->colors <= 2 ? 1 : 8;
    } else if (mono || gray_like(im)) {
        by_value = true;
        // Gray pictures without a colour map: the value itself is the index into a ramp.
        const int levels = mono ? 2 : 256;
        for (int i = 0; i < levels; ++i) {
            const auto v = std::uint8_t(levels == 2 ? i * 255 : i);
            info.palette.push_back({v, v, v});
        }
        info.bits = levels == 2 ? 1 : 8;
    } else {
        info.bits = 24;
    }
    double res = im->x_resolution;
    if (im->units == PixelsPerCentimeterResolution)
        res *= 2.54;
    else if (im->units != PixelsPerInchResolution)
        res = 0;
    info.resolution = res;
    return by_value;
}

// Copies the decoded rows into `img`, top row of the file into the last Image row.
int store_rows(const ::Image* im, const BitmapInfo& info, bool by_value, Image& img,
               ProgressScope& progress, int base)
{
    Exception ex;
    std::vector<std::uint8_t> indices(size_t(info.width));
    const bool pseudo = !by_value;
    for (int y = 0; y < info.height; ++y) {
        const PixelPacket* p = gm().AcquireImagePixels(im, 0, y, im->columns, 1, &ex.info);
        if (!p)
            return 22;
        std::uint8_t* out = img.row(img.height - 1 - y);
        if (info.bits == 24) {
            for (int x = 0; x < info.width; ++x, out += 3) {
                out[0] = ScaleQuantumToChar(p[x].blue);
                out[1] = ScaleQuantumToChar(p[x].green);
                out[2] = ScaleQuantumToChar(p[x].red);
            }
        } else {
            const IndexPacket* idx = pseudo ? gm().AccessImmutableIndexes(im) : nullptr;
            if (pseudo && !idx)
                return 22;
            const bool two = info.palette.size() == 2 && !pseudo;
            for (int x = 0; x < info.width; ++x) {
                if (idx)
                    indices[x] = std::uint8_t(idx[x] < 256 ? idx[x] : 0);
                else {
                    const unsigned char v = ScaleQuantumToChar(p[x].red);
                    indices[x] = two ? (v >= 128 ? 1 : 0) : v;
                }
            }
            bitmap_put_indices(img, img.height - 1 - y, indices.data(), info);
        }
        if (progress.update(base + y) != 0)
            return kAborted;
    }
    return 0;
}

// ---- writing -----------------------------------------------------------------------------

const char* writer_coder(int format)
{
    switch (format) {
    case LIB_PCX: return "PCX";
    case LIB_GIF: return "GIF";
    case LIB_TARGA: return "TGA";
    case LIB_BMP:
    case LIB_RLE: return "BMP3";
    case LIB_EPS: return "EPS";
    default: return nullptr;
    }
}

void set_entry(PixelPacket& c, int red, int green, int blue)
{
    c.red = ScaleCharToQuantum(red);
    c.green = ScaleCharToQuantum(green);
    c.blue = ScaleCharToQuantum(blue);
    c.opacity = OpaqueOpacity;
}

// Builds GraphicsMagick's picture from ours: binary with the palette black, white; gray with
// a 256-entry gray ramp; palette pictures with their palette; colour as direct colour.
// Binary pictures going to RLE are widened to the gray ramp, since RLE8 needs 8 bits.
int build_picture(const Image& img, const Palette* palette, int format, ::Image* im,
                  ProgressScope& progress)
{
    im->columns = unsigned(img.width);
    im->rows = unsigned(img.height);
    im->x_resolution = im->y_resolution = img.resolution > 0 ? img.resolution : 0;
    im->units = PixelsPerInchResolution;
    const bool binary_as_gray = img.type == IMAGE_BINARY && format == LIB_RLE;
    int entries = 0;
    if (palette)
        entries = std::max(1, palette->size);
    else if (img.type == IMAGE_BINARY && !binary_as_gray)
        entries = 2;
    else if (img.type == IMAGE_GRAY || binary_as_gray)
        entries = 256;
    if (entries) {
        if (!gm().AllocateImageColormap(im, unsigned(entries)))
            return kOutOfMemory;
        for (int i = 0; i < entries; ++i) {
            if (palette)
                set_entry(im->colormap[i], palette->colors[i][0], palette->colors[i][1],
                          palette->colors[i][2]);
            else if (entries == 2)
                set_entry(im->colormap[i], i * 255, i * 255, i * 255);
            else
                set_entry(im->colormap[i], i, i, i);
        }
    }
    Exception ex;
    for (int y = 0; y < img.height; ++y) {
        PixelPacket* q = gm().SetImagePixelsEx(im, 0, y, im->columns, 1, &ex.info);
        if (!q)
            return kOutOfMemory;
        const std::uint8_t* in = img.row(img.height - 1 - y);
        if (!entries) {
            for (int x = 0; x < img.width; ++x, in += 3)
                set_entry(q[x], in[2], in[1], in[0]);
        } else {
            IndexPacket* idx = gm().AccessMutableIndexes(im);
            if (!idx)
                return kOutOfMemory;
            for (int x = 0; x < img.width; ++x) {
                int i;
                if (img.type == IMAGE_BINARY)
                    i = bit_test(in, x) ? (binary_as_gray ? 255 : 1) : 0;
                else
                    i = in[x] < entries ? in[x] : 0;
                idx[x] = IndexPacket(i);
                q[x] = im->colormap[i];
            }
        }
        if (!gm().SyncImagePixelsEx(im, &ex.info))
            return kOutOfMemory;
        if (progress.update(y) != 0)
            return kAborted;
    }
    return 0;
}

int write_blob(const std::string& path, const void* data, size_t size)
{
    FileHandle f;
    int r = file_create(path, f);
    if (r == 0)
        r = file_write(f, size, data);
    const int closed = f.close();
    return r != 0 ? r : closed != 0 ? kErrorWritingFile : 0;
}

} // namespace

bool imaging_library_init()
{
    static const bool ready = [] {
        if (!magick_library())
            return false;
        Exception ex;
        gm().InitializeMagickEx(nullptr, MAGICK_OPT_NO_SIGNAL_HANDER, &ex.info);
        gm().SetMagickResourceLimit(PixelsResource, kLibraryMaxPixels);
        gm().SetMagickResourceLimit(WidthResource, kLibraryMaxSide);
        gm().SetMagickResourceLimit(HeightResource, kLibraryMaxSide);
        gm().SetMagickResourceLimit(MemoryResource, std::int64_t(2) << 30);
        gm().SetMagickResourceLimit(MapResource, std::int64_t(2) << 30);
        gm().SetMagickResourceLimit(ReadResource, kMaxFileBytes * 4);
        gm().MagickSetConfirmAccessHandler(refuse_urls);
        gm().SetMonitorHandler(on_monitor);
        gm().SetWarningHandler(quiet_handler);
        gm().SetErrorHandler(quiet_handler);
        return true;
    }();
    return ready;
}

std::string imaging_library_version()
{
    int major = 0, minor = 0;
    if (std::sscanf(MagickLibVersionText, "%d.%d", &major, &minor) == 2 && major >= 1)
        return format_text("%d.%d", major, minor);
    return "Unknown";
}

int magick_load(const std::string& path, int format, Image& img, bool show_progress,
                int photocd_resolution)
{
    image_free(img);
    if (!imaging_library_init())
        return 22;
    image_free(img);
    std::vector<unsigned char> bytes;
    int r = read_whole_file(path, bytes);
    if (r != 0)
        return r;
    const char* coder = choose_coder(bytes, format);
    if (!coder)
        return 22;
    InfoPtr info = make_info(coder);
    if (!info)
        return kOutOfMemory;
    if (std::strcmp(coder, "PCD") == 0) {
        // The coder numbers its sizes from 1 (128x192); 512x768 is its third.
        info->subimage = unsigned(std::clamp(photocd_resolution, 2, 4) + 1);
        info->subrange = 1;
    }
    Exception ex;
    MagickImagePtr pinged(gm().PingBlob(info.get(), bytes.data(), bytes.size(), &ex.info));
    if (!pinged || !library_size_ok(pinged->columns, pinged->rows))
        return 22;
    const long long w = pinged->columns, h = pinged->rows;
    pinged.reset();

    ProgressScope progress(show_progress ? w * h : 0, 0, int(2 * h - 1), "File Open", true);
    MonitorTarget target{&progress, 0, int(h), false};
    MagickImagePtr decoded;
    {
        MonitorGuard guard(target);
        decoded.reset(gm().BlobToImage(info.get(), bytes.data(), bytes.size(), &ex.info));
    }
    if (target.cancelled)
        return kAborted;
    if (!decoded || ex.info.severity >= ErrorException)
        return 22;
    BitmapInfo bitmap;
    const bool by_value = describe(decoded.get(), coder, bytes, bitmap);
    bytes = {};
    const int type = bitmap_image_type(bitmap);
    if (type == IMAGE_EMPTY || bitmap.width != w || bitmap.height != h)
        return 22;
    r = image_alloc(img, type, int(w), int(h), bitmap_resolution(bitmap.resolution));
    if (r == 0)
        r = store_rows(decoded.get(), bitmap, by_value, img, progress, int(h));
    if (r != 0)
        image_free(img);
    return r;
}

int magick_save(const std::string& path, const Image& img, const Palette* palette, int format)
{
    if (!imaging_library_init())
        return kErrorWritingFile;
    const char* coder = writer_coder(format);
    if (!coder)
        return kErrorWritingFile;
    if (palette ? img.type != IMAGE_GRAY
                : img.type != IMAGE_BINARY && img.type != IMAGE_GRAY && img.type != IMAGE_COLOR)
        return kIllegalImageType;
    InfoPtr info = make_info(coder);
    if (!info)
        return kOutOfMemory;
    if (format == LIB_RLE)
        info->compression = RLECompression;
    MagickImagePtr picture(gm().AllocateImage(info.get()));
    if (!picture)
        return kOutOfMemory;
    const long long h = img.height;
    ProgressScope progress(img.pixels(), 0, int(2 * h - 1), "File Save", true);
    int r = build_picture(img, palette, format, picture.get(), progress);
    if (r != 0)
        return r;
    std::snprintf(picture->magick, sizeof picture->magick, "%s", coder);
    std::snprintf(picture->filename, sizeof picture->filename, "%s:image", coder);
    if (format == LIB_RLE)
        picture->compression = RLECompression;
    Exception ex;
    MonitorTarget target{&progress, int(h), int(h), false};
    size_t size = 0;
    std::unique_ptr<void, BlobDeleter> blob;
    {
        MonitorGuard guard(target);
        blob.reset(gm().ImageToBlob(info.get(), picture.get(), &size, &ex.info));
    }
    if (target.cancelled)
        return kAborted;
    if (!blob || size == 0 || ex.info.severity >= ErrorException)
        return kErrorWritingFile;
    return write_blob(path, blob.get(), size);
}

} // namespace mv
