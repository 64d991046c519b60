#include "fits_card.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace mv {
namespace {

constexpr int kKeywordColumns = 8;

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

char upper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

// Skips a run of digits from `k`; returns where it stopped.
size_t skip_digits(std::string_view t, size_t k)
{
    while (k < t.size() && is_digit(t[k]))
        ++k;
    return k;
}

// The decimal order of magnitude of a syntactically valid float text whose value does not
// fit a double: the power of ten of its first non-zero digit, saturated.
long long decimal_order(std::string_view t)
{
    size_t k = (t[0] == '+' || t[0] == '-') ? 1 : 0;
    long long order = 0;
    bool seen = false; // a non-zero digit met
    for (; k < t.size() && is_digit(t[k]); ++k) {
        if (seen)
            ++order;
        else if (t[k] != '0')
            seen = true;
    }
    if (k < t.size() && t[k] == '.')
        for (++k; k < t.size() && is_digit(t[k]); ++k) {
            if (!seen) {
                --order;
                seen = t[k] != '0';
            }
        }
    long long exponent = 0;
    if (k < t.size() && (t[k] == 'E' || t[k] == 'e')) {
        ++k;
        const bool minus = t[k] == '-';
        if (t[k] == '+' || t[k] == '-')
            ++k;
        for (; k < t.size(); ++k)
            exponent = std::min(exponent * 10 + (t[k] - '0'), 1000000000LL);
        if (minus)
            exponent = -exponent;
    }
    return std::clamp(order, -1000000000LL, 1000000000LL) + exponent;
}

} // namespace

bool fits_card_is(const char* card, std::string_view keyword)
{
    for (int k = 0; k < kKeywordColumns; ++k) {
        const char want = size_t(k) < keyword.size() ? keyword[k] : ' ';
        if (upper(card[k]) != upper(want))
            return false;
    }
    return keyword.size() <= size_t(kKeywordColumns);
}

bool fits_card_blank(const char* card)
{
    return std::all_of(card, card + kKeywordColumns, [](char c) { return c == ' '; });
}

std::string_view fits_card_value(const char* card)
{
    if (card[8] != ' ' && card[9] != ' ')
        return {};
    int start = 10;
    while (start < kFitsCardBytes && card[start] == ' ')
        ++start;
    int end = start;
    while (end < kFitsCardBytes && card[end] != ' ')
        ++end;
    return std::string_view(card + start, size_t(end - start));
}

bool fits_parse_int(std::string_view text, long long& value)
{
    size_t k = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '+' || text[0] == '-'))
        k = 1;
    if (k == text.size() || skip_digits(text, k) != text.size())
        return false;
    unsigned long long magnitude = 0;
    const auto [end, ec] = std::from_chars(text.data() + k, text.data() + text.size(), magnitude);
    if (ec != std::errc() || end != text.data() + text.size())
        return false;
    constexpr unsigned long long kMax = std::numeric_limits<long long>::max();
    if (magnitude > kMax + (negative ? 1ULL : 0ULL))
        return false;
    value = negative ? (magnitude == kMax + 1ULL ? std::numeric_limits<long long>::min()
                                                 : -(long long)magnitude)
                     : (long long)magnitude;
    return true;
}

bool fits_parse_float(std::string_view text, double& value)
{
    // Check the syntax first: from_chars alone would also take "inf", "nan" and hex forms.
    size_t k = 0;
    if (k < text.size() && (text[k] == '+' || text[k] == '-'))
        ++k;
    const size_t int_start = k;
    k = skip_digits(text, k);
    size_t digits = k - int_start;
    if (k < text.size() && text[k] == '.') {
        const size_t frac_start = ++k;
        k = skip_digits(text, k);
        digits += k - frac_start;
    }
    if (digits == 0)
        return false;
    if (k < text.size() && (text[k] == 'E' || text[k] == 'e')) {
        ++k;
        if (k < text.size() && (text[k] == '+' || text[k] == '-'))
            ++k;
        const size_t exp_start = k;
        k = skip_digits(text, k);
        if (k == exp_start)
            return false;
    }
    if (k != text.size())
        return false;

    // from_chars takes no leading '+'.
    const char* first = text.data() + (text[0] == '+' ? 1 : 0);
    const char* last = text.data() + text.size();
    double v = 0;
    const auto [end, ec] = std::from_chars(first, last, v);
    if (ec == std::errc::result_out_of_range) {
        // Too large becomes infinity, too small zero; the caller judges the range.
        const bool negative = text[0] == '-';
        const double big = std::numeric_limits<double>::infinity();
        v = decimal_order(text) > 0 ? (negative ? -big : big) : (negative ? -0.0 : 0.0);
    } else if (ec != std::errc() || end != last) {
        return false;
    }
    value = v;
    return true;
}

void fits_card_put(char* card, std::string_view text)
{
    const size_t n = std::min(text.size(), size_t(kFitsCardBytes));
    std::memcpy(card, text.data(), n);
    std::memset(card + n, ' ', kFitsCardBytes - n);
}

} // namespace mv
