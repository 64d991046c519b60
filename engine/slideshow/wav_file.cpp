#include "wav_file.h"

#include "core/error.h"
#include "formats/file_io.h"

#include <cmath>
#include <cstring>
#include <new>

namespace mv {
namespace {

constexpr int kFormatPcm = 1;
constexpr int kFormatFloat = 3;
constexpr int kFormatExtensible = 0xFFFE;
constexpr int kMaxChannels = 16;
constexpr int kMaxRate = 1000000;

std::uint32_t le32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }
int le16(const std::uint8_t* p) { return p[0] | p[1] << 8; }

struct Layout {
    WavFormat format;
    std::int64_t data_offset = 0;
    std::int64_t data_bytes = 0;
    int block_align = 0;
};

int bad(std::string& problem, const char* text)
{
    problem = text;
    return kErrorReadingFile;
}

int parse_fmt(const std::uint8_t* p, std::uint32_t size, Layout& out, std::string& problem)
{
    if (size < 16)
        return bad(problem, "the format chunk is too short");
    int tag = le16(p);
    WavFormat& f = out.format;
    f.channels = le16(p + 2);
    f.sample_rate = int(le32(p + 4));
    out.block_align = le16(p + 12);
    f.bits = le16(p + 14);
    if (tag == kFormatExtensible) {
        if (size < 40)
            return bad(problem, "the extensible format chunk is too short");
        tag = le16(p + 24); // the sub-format GUID starts with the format tag
    }
    if (tag != kFormatPcm && tag != kFormatFloat)
        return bad(problem, "unsupported sample format (compressed sound)");
    f.floating = tag == kFormatFloat;
    if (f.channels < 1 || f.channels > kMaxChannels)
        return bad(problem, "unsupported number of channels");
    if (f.sample_rate < 1 || f.sample_rate > kMaxRate)
        return bad(problem, "illegal sampling rate");
    const bool bits_ok = f.floating ? f.bits == 32
                                    : f.bits == 8 || f.bits == 16 || f.bits == 24 || f.bits == 32;
    if (!bits_ok)
        return bad(problem, "unsupported bits per sample");
    if (out.block_align != f.channels * f.bits / 8)
        return bad(problem, "inconsistent block alignment");
    return kOk;
}

int read_layout(FileHandle& file, Layout& out, std::string& problem)
{
    std::int64_t file_bytes = 0;
    if (int code = file_size(file, file_bytes); code != kOk)
        return kErrorReadingFile;
    std::uint8_t header[12];
    if (file_bytes < 12 || file_read_exact(file, 12, header) != kOk)
        return bad(problem, "the file is too short");
    if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0)
        return bad(problem, "not a RIFF/WAVE file");
    bool have_fmt = false;
    std::int64_t at = 12;
    while (at + 8 <= file_bytes) {
        std::uint8_t chunk[8];
        if (file_seek(file, at) != kOk || file_read_exact(file, 8, chunk) != kOk)
            return bad(problem, "cannot read a chunk header");
        const std::uint32_t size = le32(chunk + 4);
        const std::int64_t body = at + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size > 1024 || body + size > file_bytes)
                return bad(problem, "the format chunk is damaged");
            std::uint8_t fmt[1024];
            if (file_read_exact(file, size, fmt) != kOk)
                return bad(problem, "cannot read the format chunk");
            if (int code = parse_fmt(fmt, size, out, problem); code != kOk)
                return code;
            have_fmt = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!have_fmt)
                return bad(problem, "the data chunk comes before the format chunk");
            if (body + size > file_bytes)
                return bad(problem, "the data chunk runs past the end of the file");
            out.data_offset = body;
            out.data_bytes = size - size % out.block_align;
            out.format.frames = out.data_bytes / out.block_align;
            return kOk;
        }
        at = body + size + (size & 1);
    }
    return bad(problem, have_fmt ? "no data chunk" : "no format chunk");
}

// One sample of `bits` at `p` as a 16-bit value.
std::int16_t to16(const std::uint8_t* p, int bits, bool floating)
{
    if (floating) {
        float v;
        const std::uint32_t u = le32(p);
        std::memcpy(&v, &u, 4);
        if (!(v == v))
            return 0;
        v = v < -1.0f ? -1.0f : v > 1.0f ? 1.0f : v;
        return std::int16_t(std::lround(v * 32767.0f));
    }
    switch (bits) {
    case 8: return std::int16_t((p[0] - 128) * 256);
    case 16: return std::int16_t(le16(p));
    case 24: return std::int16_t(le16(p + 1));
    default: return std::int16_t(le16(p + 2));
    }
}

} // namespace

int wav_read_format(const std::string& path, WavFormat& format, std::string& problem)
{
    FileHandle file;
    if (int code = file_open_read(path, file); code != kOk) {
        problem = "cannot open the file";
        return code;
    }
    Layout layout;
    if (int code = read_layout(file, layout, problem); code != kOk)
        return code;
    format = layout.format;
    return kOk;
}

int wav_read(const std::string& path, WavSound& sound, std::string& problem)
{
    sound = {};
    FileHandle file;
    if (int code = file_open_read(path, file); code != kOk) {
        problem = "cannot open the file";
        return code;
    }
    Layout layout;
    if (int code = read_layout(file, layout, problem); code != kOk)
        return code;
    const WavFormat& f = layout.format;
    const int bytes = f.bits / 8;
    try {
        std::vector<std::uint8_t> raw(std::size_t(layout.data_bytes));
        if (file_seek(file, layout.data_offset) != kOk ||
            (!raw.empty() && file_read_exact(file, raw.size(), raw.data()) != kOk))
            return bad(problem, "cannot read the sound data");
        sound.samples.resize(raw.size() / bytes);
        for (std::size_t i = 0; i < sound.samples.size(); ++i)
            sound.samples[i] = to16(raw.data() + i * bytes, f.bits, f.floating);
    } catch (const std::bad_alloc&) {
        sound = {};
        problem = "the sound does not fit in memory";
        return kOutOfMemory;
    }
    sound.channels = f.channels;
    sound.sample_rate = f.sample_rate;
    sound.bits = f.bits;
    sound.floating = f.floating;
    return kOk;
}

} // namespace mv
