#include "formats/lzw_decode.h"

#include "tiff_test_support.h"

#include <gtest/gtest.h>

using namespace mv;
using tifftest::Bytes;
using tifftest::CodeWriter;
using tifftest::lzw_encode;

namespace {

Bytes noise(std::size_t n, std::uint32_t seed)
{
    Bytes b(n);
    for (auto& v : b) {
        seed = seed * 1103515245u + 12345u;
        v = std::uint8_t(seed >> 16);
    }
    return b;
}

int decode(const Bytes& src, Bytes& dst)
{
    return lzw_decode(src.data(), src.size(), dst.data(), dst.size());
}

} // namespace

TEST(Lzw, DecodesWhatAnIndependentEncoderWrote)
{
    // Runs of one byte exercise codes defined by the code itself (KwKwK); noise fills the
    // table so the width reaches 12 bits and the encoder clears it several times.
    const std::vector<Bytes> inputs = {
        Bytes{42},
        Bytes(5000, 7),
        noise(70000, 1),
        [] {
            Bytes b;
            for (int i = 0; i < 30000; ++i)
                b.push_back(std::uint8_t((i / 7) % 5 + (i % 3)));
            return b;
        }(),
    };
    for (const Bytes& in : inputs) {
        Bytes out(in.size(), 0xEE);
        ASSERT_EQ(decode(lzw_encode(in), out), 0) << in.size();
        EXPECT_EQ(out, in);
    }
}

TEST(Lzw, EndsWithSuccessWhenInputOrOutputRunsOut)
{
    const Bytes in = noise(3000, 9);
    // Output full before End of Information: the rest of the stream is not looked at.
    Bytes part(1000, 0);
    ASSERT_EQ(decode(lzw_encode(in), part), 0);
    EXPECT_TRUE(std::equal(part.begin(), part.end(), in.begin()));

    // A stream without End of Information that stops early leaves the rest untouched.
    Bytes out(3000, 0xEE);
    const Bytes stream = lzw_encode(in, false);
    ASSERT_EQ(lzw_decode(stream.data(), stream.size() / 2, out.data(), out.size()), 0);
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + 500, in.begin()));
    EXPECT_EQ(out.back(), 0xEE);

    // Nothing at all, or only a Clear, decodes to nothing.
    Bytes untouched(4, 0xEE);
    EXPECT_EQ(lzw_decode(nullptr, 0, untouched.data(), untouched.size()), 0);
    CodeWriter w;
    w.put(256, 9);
    w.put(256, 9); // a second Clear in a row is harmless
    w.put(65, 9);
    w.put(257, 9);
    ASSERT_EQ(decode(w.finish(), untouched), 0);
    EXPECT_EQ(untouched, (Bytes{65, 0xEE, 0xEE, 0xEE}));
}

TEST(Lzw, RefusesCorruptStreams)
{
    Bytes out(100, 0);
    // Old reversed-bit variant: first byte 0, second byte odd.
    EXPECT_EQ(decode(Bytes{0x00, 0x01, 0x02}, out), 56);
    {
        CodeWriter w; // no leading Clear
        w.put(65, 9);
        w.put(66, 9);
        EXPECT_EQ(decode(w.finish(), out), 56);
    }
    {
        CodeWriter w; // a code two beyond the next free one
        w.put(256, 9);
        w.put(65, 9);
        w.put(259, 9);
        EXPECT_EQ(decode(w.finish(), out), 56);
    }
    {
        CodeWriter w; // the first code after a Clear must be a byte
        w.put(256, 9);
        w.put(300, 9);
        EXPECT_EQ(decode(w.finish(), out), 56);
    }
    {
        // A table that would grow past 4097 entries: never cleared, codes of 12 bits.
        CodeWriter w;
        w.put(256, 9);
        w.put(1, 9);
        int next = 258, width = 9;
        for (int i = 0; i < 4000; ++i) {
            w.put(1, width);
            ++next;
            width = next > 2046 ? 12 : next > 1022 ? 11 : next > 510 ? 10 : 9;
        }
        Bytes big(10000, 0);
        EXPECT_EQ(decode(w.finish(), big), 56);
    }
}
