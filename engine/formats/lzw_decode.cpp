#include "lzw_decode.h"

#include "core/error.h"

#include <memory>
#include <new>

namespace mv {
namespace {

constexpr int kClear = 256;
constexpr int kEndOfInformation = 257;
constexpr int kFirstFree = 258;
constexpr int kTableSize = 4097;
constexpr int kCorrupt = 56;

struct LzwEntry {
    std::uint16_t prefix;
    std::uint16_t length;
    std::uint8_t first;
    std::uint8_t last;
};

// Codes read most significant bit first; -1 once the input cannot supply a whole code.
class CodeReader {
public:
    CodeReader(const std::uint8_t* src, std::size_t length) : src_(src), length_(length) {}
    int next(int width)
    {
        while (bits_ < width) {
            if (pos_ >= length_)
                return -1;
            buffer_ = (buffer_ << 8) | src_[pos_++];
            bits_ += 8;
        }
        bits_ -= width;
        return int((buffer_ >> bits_) & ((1u << width) - 1));
    }

private:
    const std::uint8_t* src_;
    std::size_t length_;
    std::size_t pos_ = 0;
    std::uint32_t buffer_ = 0;
    int bits_ = 0;
};

// Writes the string of `code` at dst[pos], back to front, dropping what lies past the end.
void put_string(const LzwEntry* table, int code, std::uint8_t* dst, std::size_t pos,
                std::size_t dst_length)
{
    std::size_t end = pos + table[code].length;
    while (code >= kFirstFree) {
        --end;
        if (end < dst_length)
            dst[end] = table[code].last;
        code = table[code].prefix;
    }
    if (end - 1 < dst_length)
        dst[end - 1] = std::uint8_t(code);
}

} // namespace

int lzw_decode(const std::uint8_t* src, std::size_t src_length, std::uint8_t* dst,
               std::size_t dst_length)
{
    if (src_length >= 2 && src[0] == 0 && (src[1] & 1))
        return kCorrupt; // the old reversed-bit variant
    std::unique_ptr<LzwEntry[]> table;
    try {
        table.reset(new LzwEntry[kTableSize]);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    for (int i = 0; i < 256; ++i)
        table[i] = {0, 1, std::uint8_t(i), std::uint8_t(i)};

    CodeReader in(src, src_length);
    std::size_t out = 0;
    int width = 9;
    int next_free = kFirstFree;
    int previous = -1; // no previous code before the first Clear
    while (out < dst_length) {
        int code = in.next(width);
        if (code < 0 || code == kEndOfInformation)
            break;
        if (code == kClear) {
            next_free = kFirstFree;
            width = 9;
            do
                code = in.next(9);
            while (code == kClear);
            if (code < 0 || code == kEndOfInformation)
                break;
            if (code > kEndOfInformation)
                return kCorrupt;
            dst[out++] = std::uint8_t(code);
            previous = code;
            continue;
        }
        if (previous < 0 || code > next_free || next_free >= kTableSize)
            return kCorrupt; // no leading Clear, undefined code, or a table full to the brim
        LzwEntry& added = table[next_free];
        added.prefix = std::uint16_t(previous);
        added.length = std::uint16_t(table[previous].length + 1);
        added.first = table[previous].first;
        added.last = code < next_free ? table[code].first : table[previous].first;
        ++next_free;
        if (next_free > 2046)
            width = 12;
        else if (next_free > 1022)
            width = 11;
        else if (next_free > 510)
            width = 10;
        previous = code;
        put_string(table.get(), code, dst, out, dst_length);
        out += table[code].length;
    }
    return kOk;
}

} // namespace mv
