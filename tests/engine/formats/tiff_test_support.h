// Helpers shared by the TIFF and LZW tests: a temporary folder, message and progress sinks
// that record, a builder of small TIFF files byte by byte, and an LZW encoder.
#pragma once

#include "core/error.h"
#include "core/progress.h"
#include "test_files.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tifftest {

using mv::test::Bytes;
using mv::test::read_bytes;
using mv::test::write_bytes;
using TempDir = mv::test::TempFolder;

// Records every message shown while it is installed.
class RecordingSink : public mv::MessageSink {
public:
    RecordingSink() { previous_ = mv::set_message_sink(this); }
    ~RecordingSink() override { mv::set_message_sink(previous_); }
    int show(std::string_view title, std::string_view text, int) override
    {
        titles.emplace_back(title);
        texts.emplace_back(text);
        return mv::kResultOk;
    }
    std::string last() const { return texts.empty() ? std::string() : texts.back(); }
    std::vector<std::string> titles, texts;

private:
    mv::MessageSink* previous_;
};

// Records progress calls; cancels once `cancel_at` is reached (never when negative).
class RecordingProgress : public mv::ProgressSink {
public:
    explicit RecordingProgress(int cancel_at = -1) : cancel_at_(cancel_at)
    {
        previous_ = mv::set_progress_sink(this);
    }
    ~RecordingProgress() override { mv::set_progress_sink(previous_); }
    void begin(int first, int last, std::string_view t, bool c) override
    {
        title = std::string(t);
        range_last = last;
        cancellable = c;
        ++begins;
    }
    int update(int current) override
    {
        updates.push_back(current);
        return cancel_at_ >= 0 && current >= cancel_at_ ? mv::kAborted : 0;
    }
    void end() override { ++ends; }
    void pump() override { ++pumps; }

    std::string title;
    int range_last = 0, begins = 0, ends = 0, pumps = 0;
    bool cancellable = false;
    std::vector<int> updates;

private:
    int cancel_at_;
    mv::ProgressSink* previous_;
};

// Builds a TIFF file with one directory at offset 8 followed by data blocks.
class MiniTiff {
public:
    explicit MiniTiff(bool big_endian = false) : big_(big_endian) {}

    // A value stored in the entry itself; a SHORT sits in the first two bytes.
    void add(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t value)
    {
        Bytes field;
        if (type == 3 && count <= 2) {
            put16(field, value & 0xffff);
            put16(field, value >> 16);
        } else if (type == 1 && count <= 4) {
            for (int i = 0; i < 4; ++i)
                field.push_back(std::uint8_t(value >> (8 * i)));
        } else {
            put32(field, value);
        }
        entries_.push_back({tag, type, count, field, -1});
    }
    // A value that lives in a data block; the entry holds the block's offset.
    void add_block(std::uint16_t tag, std::uint16_t type, std::uint32_t count, int block)
    {
        entries_.push_back({tag, type, count, {}, block});
    }
    int block(const Bytes& b)
    {
        blocks_.push_back(b);
        return int(blocks_.size()) - 1;
    }
    int shorts(const std::vector<std::uint32_t>& v)
    {
        Bytes b;
        for (auto x : v)
            put16(b, x);
        return block(b);
    }
    int longs(const std::vector<std::uint32_t>& v)
    {
        Bytes b;
        for (auto x : v)
            put32(b, x);
        return block(b);
    }
    int rational(std::uint32_t num, std::uint32_t den) { return longs({num, den}); }

    // Leaves room for `n` entries, so offsets taken before all entries are added stay right.
    void reserve(int n) { reserved_ = n; }

    // The offset at which a block will lie.
    std::uint32_t offset_of(int block) const
    {
        std::uint32_t off = 8 + 2 + 12 * std::uint32_t(slots()) + 4;
        for (int i = 0; i < block; ++i)
            off += std::uint32_t(blocks_[i].size());
        return off;
    }

    Bytes bytes() const
    {
        Bytes b;
        b.push_back(big_ ? 'M' : 'I');
        b.push_back(big_ ? 'M' : 'I');
        put16(b, 42);
        put32(b, 8);
        put16(b, std::uint32_t(entries_.size()));
        for (const Entry& e : entries_) {
            put16(b, e.tag);
            put16(b, e.type);
            put32(b, e.count);
            if (e.block >= 0)
                put32(b, offset_of(e.block));
            else
                b.insert(b.end(), e.field.begin(), e.field.end());
        }
        put32(b, 0);
        b.resize(b.size() + 12 * (slots() - entries_.size()), 0);
        for (const Bytes& blk : blocks_)
            b.insert(b.end(), blk.begin(), blk.end());
        return b;
    }

    // A baseline one-strip image: the usual tags with the pixel data in a block.
    static MiniTiff simple(std::uint32_t width, std::uint32_t height, std::uint32_t bits,
                           const Bytes& pixels, bool big_endian = false,
                           std::uint32_t photometric = 1)
    {
        MiniTiff t(big_endian);
        const int data = t.block(pixels);
        t.add(256, 4, 1, width);
        t.add(257, 4, 1, height);
        t.add(258, 3, 1, bits);
        t.add(259, 3, 1, 1);
        t.add(262, 3, 1, photometric);
        t.add_block(273, 4, 1, data);
        t.add(277, 3, 1, 1);
        t.add(278, 4, 1, height);
        t.add(279, 4, 1, std::uint32_t(pixels.size()));
        return t;
    }

private:
    struct Entry {
        std::uint16_t tag, type;
        std::uint32_t count;
        Bytes field;
        int block;
    };
    void put16(Bytes& b, std::uint32_t v) const
    {
        if (big_) {
            b.push_back(std::uint8_t(v >> 8));
            b.push_back(std::uint8_t(v));
        } else {
            b.push_back(std::uint8_t(v));
            b.push_back(std::uint8_t(v >> 8));
        }
    }
    void put32(Bytes& b, std::uint32_t v) const
    {
        if (big_) {
            put16(b, v >> 16);
            put16(b, v & 0xffff);
        } else {
            put16(b, v & 0xffff);
            put16(b, v >> 16);
        }
    }
    std::size_t slots() const { return std::max<std::size_t>(entries_.size(), std::size_t(reserved_)); }
    bool big_;
    int reserved_ = 0;
    std::vector<Entry> entries_;
    std::vector<Bytes> blocks_;
};

// Writes codes most significant bit first.
class CodeWriter {
public:
    void put(int code, int width)
    {
        for (int i = width - 1; i >= 0; --i) {
            acc_ = std::uint8_t(acc_ << 1 | ((code >> i) & 1));
            if (++bits_ == 8) {
                out.push_back(acc_);
                acc_ = 0;
                bits_ = 0;
            }
        }
    }
    Bytes finish()
    {
        if (bits_)
            out.push_back(std::uint8_t(acc_ << (8 - bits_)));
        bits_ = 0;
        return out;
    }
    Bytes out;

private:
    std::uint8_t acc_ = 0;
    int bits_ = 0;
};

// A TIFF LZW encoder written independently of the decoder: Clear first, the code width
// growing when the next free code passes 511, 1023 and 2047, a Clear when the table
// reaches 4094 entries, End of Information last (unless `end_code` is false).
inline Bytes lzw_encode(const Bytes& in, bool end_code = true)
{
    CodeWriter w;
    std::map<std::pair<int, int>, int> dict;
    int width = 9, next = 258, prefix = -1;
    w.put(256, 9);
    auto added = [&] {
        ++next;
        if (next == 4094) {
            w.put(256, width);
            dict.clear();
            next = 258;
            width = 9;
        } else if (next > 2047)
            width = 12;
        else if (next > 1023)
            width = 11;
        else if (next > 511)
            width = 10;
    };
    for (std::uint8_t c : in) {
        if (prefix < 0) {
            prefix = c;
            continue;
        }
        auto it = dict.find({prefix, c});
        if (it != dict.end()) {
            prefix = it->second;
            continue;
        }
        w.put(prefix, width);
        dict[{prefix, c}] = next;
        added();
        prefix = c;
    }
    if (prefix >= 0) {
        w.put(prefix, width);
        added();
    }
    if (end_code)
        w.put(257, width);
    return w.finish();
}

} // namespace tifftest
