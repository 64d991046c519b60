#include "tone/color_space.h"

#include "tone/value_tables.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace mv;

namespace {

std::array<int, 3> hsv12(int r, int g, int b)
{
    int h, s, v;
    rgb8_to_hsv12(r, g, b, h, s, v);
    return {h, s, v};
}

std::array<int, 3> hsl12(int r, int g, int b)
{
    int h, s, l;
    rgb8_to_hsl12(r, g, b, h, s, l);
    return {h, s, l};
}

std::array<int, 3> from_hsv12(int h, int s, int v)
{
    int r, g, b;
    hsv12_to_rgb8(h, s, v, r, g, b);
    return {r, g, b};
}

std::array<int, 3> from_hsl12(int h, int s, int l)
{
    int r, g, b;
    hsl12_to_rgb8(h, s, l, r, g, b);
    return {r, g, b};
}

using Triple = std::array<int, 3>;

} // namespace

TEST(ValueTables, WidenNarrowAndTwelveBitScales)
{
    EXPECT_EQ(widen8(255), 65535);
    EXPECT_EQ(widen8(1), 257);
    EXPECT_EQ(narrow16(65535), 255);
    EXPECT_EQ(narrow16(128), 0);
    EXPECT_EQ(narrow16(129), 1);
    EXPECT_EQ(to12(255), 4096);
    EXPECT_EQ(to12(128), 2056);
    EXPECT_EQ(from12(4096), 255);
    EXPECT_EQ(from12(2052), 127);
    EXPECT_EQ(luminance(255, 255, 255), 255);
}

TEST(ColorSpace, ComponentMeasures)
{
    EXPECT_EQ(color_max(3, 9, 4), 9);
    EXPECT_EQ(hsv_saturation8(200, 100, 50), 191);
    EXPECT_EQ(hsv_saturation8(0, 0, 0), 0);
    EXPECT_EQ(hsv_saturation16(65535, 0, 32768), 65535);
    EXPECT_EQ(hsl_lightness(200, 100, 51), 125);
    EXPECT_EQ(hsl_saturation8(255, 255, 254), 255); // 510 - sum = 1
    EXPECT_EQ(hsl_saturation8(200, 100, 50), 153);
    EXPECT_EQ(hsl_saturation8(255, 255, 255), 0);
    EXPECT_EQ(hsl_saturation8(0, 0, 0), 0);
    EXPECT_EQ(hsl_saturation16(65535, 65535, 65534), 65535);
    EXPECT_EQ(hsl_saturation16(65535, 0, 0), 65535);
}

TEST(ColorSpace, TwelveBitHsvWorkedNumbers)
{
    // Pure red: green and blue are both the minimum, so the second red rule applies:
    // (4096 + 5 * 4096) / 6 = 4096; back in sector 6, treated as sector 0.
    EXPECT_EQ(hsv12(255, 0, 0), (Triple{4096, 4096, 4096}));
    EXPECT_EQ(from_hsv12(4096, 4096, 4096), (Triple{255, 0, 0}));
    EXPECT_EQ(hsv12(0, 255, 0), (Triple{1365, 4096, 4096}));
    EXPECT_EQ(hsv12(0, 0, 255), (Triple{2730, 4096, 4096}));
    EXPECT_EQ(hsv12(128, 128, 128), (Triple{0, 0, 2056}));
    // Back through from12: 2056 * 255 >> 12 = 127, one below where it came from.
    EXPECT_EQ(from_hsv12(0, 0, 2056), (Triple{127, 127, 127}));
    // Orange: h = (4096 - (4096 - 2056)) / 6 = 342; back, t = 2052, which from12 makes 127.
    EXPECT_EQ(hsv12(255, 128, 0), (Triple{342, 4096, 4096}));
    EXPECT_EQ(from_hsv12(342, 4096, 4096), (Triple{255, 127, 0}));
    EXPECT_EQ(from_hsv12(100, 4096, 0), (Triple{0, 0, 0}));
    // Every pure hue round-trips within one step.
    for (int k = 0; k < 256; k += 5) {
        const Triple in{255, k, 0};
        const Triple hsv = hsv12(in[0], in[1], in[2]);
        const Triple out = from_hsv12(hsv[0], hsv[1], hsv[2]);
        EXPECT_EQ(out[0], 255);
        EXPECT_NEAR(out[1], k, 1) << k;
        EXPECT_EQ(out[2], 0);
    }
}

TEST(ColorSpace, TwelveBitHslWorkedNumbers)
{
    EXPECT_EQ(hsl12(255, 0, 0), (Triple{4096, 4096, 2048}));
    EXPECT_EQ(from_hsl12(4096, 4096, 2048), (Triple{255, 0, 0}));
    EXPECT_EQ(hsl12(128, 128, 128), (Triple{0, 0, 2056}));
    EXPECT_EQ(from_hsl12(0, 0, 2056), (Triple{from12(2056), from12(2056), from12(2056)}));
    EXPECT_EQ(from_hsl12(123, 456, 0), (Triple{0, 0, 0}));
    EXPECT_EQ(from_hsl12(123, 456, 4096), (Triple{255, 255, 255}));
    // (200, 100, 50): to12 gives 3212, 1606, 803; l = 2007, s = (2409 << 12) / 4015 = 2457,
    // h = (4096 - 1606 * 4096 / 2409) / 6 = (4096 - 2730) / 6 = 227.
    EXPECT_EQ(hsl12(200, 100, 50), (Triple{227, 2457, 2007}));
    // m2 = 2007 * 6553 >> 12 = 3210, m1 = 804, f = 1362, x = 1203 * 2 * 1362 >> 12 = 800:
    // (m2, up, m1) = (3210, 1604, 804) through from12.
    EXPECT_EQ(from_hsl12(227, 2457, 2007), (Triple{199, 99, 50}));
}

TEST(ColorSpace, SixteenBitPairs)
{
    int h, s, v, r, g, b;
    rgb16_to_hsv16(65535, 0, 0, h, s, v);
    EXPECT_EQ(h, 65535);
    EXPECT_EQ(s, 65535);
    EXPECT_EQ(v, 65535);
    hsv16_to_rgb16(h, s, v, r, g, b);
    EXPECT_EQ((Triple{r, g, b}), (Triple{65535, 0, 0}));
    rgb16_to_hsv16(0, 30000, 60000, h, s, v);
    // Blue is the maximum and red the minimum: ((60000 - 30000) * F / 60000 + 3F) / 6.
    EXPECT_EQ(h, (32767 + 196605) / 6);
    EXPECT_EQ(s, 65535);
    hsv16_to_rgb16(h, s, v, r, g, b);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(g, 30004);
    EXPECT_EQ(b, 60000);

    rgb16_to_hsl16(40000, 40000, 40000, h, s, v);
    EXPECT_EQ((Triple{h, s, v}), (Triple{0, 0, 40000}));
    hsl16_to_rgb16(0, 0, 40000, r, g, b);
    EXPECT_EQ((Triple{r, g, b}), (Triple{40000, 40000, 40000}));
    rgb16_to_hsl16(0, 65535, 0, h, s, v);
    EXPECT_EQ((Triple{h, s, v}), (Triple{21845, 65535, 32767}));
    hsl16_to_rgb16(h, s, v, r, g, b);
    // m2 = (65535 + 65535) * 32767 / 65535 = 65534, m1 = 0, sector 2 with f = 0.
    EXPECT_EQ((Triple{r, g, b}), (Triple{0, 65534, 0}));
    hsl16_to_rgb16(5, 5, 65535, r, g, b);
    EXPECT_EQ((Triple{r, g, b}), (Triple{65535, 65535, 65535}));
}

TEST(ColorSpace, SetValueAndLightness)
{
    int r = 200, g = 100, b = 50;
    set_value(r, g, b, 200, 100);
    EXPECT_EQ((Triple{r, g, b}), (Triple{100, 50, 25}));
    set_value(r, g, b, 100, 100);
    EXPECT_EQ((Triple{r, g, b}), (Triple{100, 50, 25}));
    set_value(r, g, b, 0, 70);
    EXPECT_EQ((Triple{r, g, b}), (Triple{70, 70, 70}));
    r = 60000, g = 30000, b = 0;
    set_value(r, g, b, 60000, 65535); // 16-bit products do not overflow
    EXPECT_EQ((Triple{r, g, b}), (Triple{65535, 32767, 0}));

    r = 200, g = 100, b = 50;
    set_lightness8(r, g, b, 125, 255);
    EXPECT_EQ((Triple{r, g, b}), (Triple{255, 255, 255}));
    r = 200, g = 100, b = 50;
    set_lightness8(r, g, b, 125, 0);
    EXPECT_EQ((Triple{r, g, b}), (Triple{0, 0, 0}));
    r = 128, g = 128, b = 128;
    set_lightness8(r, g, b, 128, 64); // gray: from12(64 * 4096 / 255 = 1028) = 63
    EXPECT_EQ((Triple{r, g, b}), (Triple{63, 63, 63}));
    r = 1000, g = 1000, b = 1000;
    set_lightness16(r, g, b, 1000, 50000);
    EXPECT_EQ((Triple{r, g, b}), (Triple{50000, 50000, 50000}));
}

TEST(ColorSpace, SetValueDividesExactly)
{
    // Scaling by a value multiplies and divides; the result must be the plain integer
    // quotient for every 8-bit case and for every 16-bit divisor at the largest products.
    const auto expect_quotients = [](int r, int g, int b, int from, int to) {
        int sr = r, sg = g, sb = b;
        set_value(sr, sg, sb, from, to);
        const auto q = [&](int c) { return int((long long)c * to / from); };
        ASSERT_EQ((Triple{sr, sg, sb}), (Triple{q(r), q(g), q(b)})) << from << " " << to;
    };
    for (int from = 1; from < 256; ++from)
        for (int to = 1; to < 256; ++to)
            for (int c = 0; c < 256; c += 3)
                expect_quotients(c, (c + 1) & 255, (c + 2) & 255, from, to);
    for (int from = 1; from < 65536; ++from) {
        expect_quotients(65535, from - 1, 65534, from, 65535);
        expect_quotients(from, 65535 - from, 1, from, 65534 - from % 3);
    }
}

TEST(ColorSpace, SaturationChangesKeepValueOrLightness)
{
    std::uint8_t none[256], full[256], same[256];
    for (int k = 0; k < 256; ++k)
        none[k] = 0, full[k] = 255, same[k] = std::uint8_t(k);

    int r = 200, g = 100, b = 50;
    set_hsv_saturation8(r, g, b, none);
    EXPECT_EQ((Triple{r, g, b}), (Triple{200, 200, 200}));
    r = 200, g = 100, b = 50;
    set_hsv_saturation8(r, g, b, full); // min 0, middle 200 - 200 * 100 / 150 = 67
    EXPECT_EQ((Triple{r, g, b}), (Triple{200, 67, 0}));
    r = 50, g = 100, b = 200; // blue the maximum, green the middle
    set_hsv_saturation8(r, g, b, same);
    EXPECT_EQ((Triple{r, g, b}), (Triple{50, 100, 200}));
    r = 0, g = 0, b = 0;
    set_hsv_saturation8(r, g, b, full);
    EXPECT_EQ((Triple{r, g, b}), (Triple{0, 0, 0}));

    r = 200, g = 100, b = 50; // sum 250
    set_hsl_saturation8(r, g, b, none);
    EXPECT_EQ((Triple{r, g, b}), (Triple{125, 125, 125}));
    r = 200, g = 100, b = 50; // max' 250, min' 0, middle 250 - 250 * 100 / 150 = 84
    set_hsl_saturation8(r, g, b, full);
    EXPECT_EQ((Triple{r, g, b}), (Triple{250, 84, 0}));
    // Green the maximum, blue the middle; sum 350: S = 150 * 255 / 160 = 239,
    // max' = 239 + 16 * 350 / 510 = 249, min' = 101, middle 249 - 148 * 50 / 150 = 200.
    r = 100, g = 250, b = 200;
    set_hsl_saturation8(r, g, b, same);
    EXPECT_EQ((Triple{r, g, b}), (Triple{101, 249, 200}));
    r = 255, g = 255, b = 255;
    set_hsl_saturation8(r, g, b, none);
    EXPECT_EQ((Triple{r, g, b}), (Triple{255, 255, 255}));

    std::vector<std::uint16_t> zero(65536, 0);
    r = 60000, g = 30000, b = 0;
    set_hsv_saturation16(r, g, b, zero.data());
    EXPECT_EQ((Triple{r, g, b}), (Triple{60000, 60000, 60000}));
    r = 60000, g = 30000, b = 0;
    set_hsl_saturation16(r, g, b, zero.data());
    EXPECT_EQ((Triple{r, g, b}), (Triple{30000, 30000, 30000}));
}
