#include "format.h"

#include <cmath>
#include <cstdlib>

namespace mv {

std::string format_grouped(long long value)
{
    const bool negative = value < 0;
    unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                            : static_cast<unsigned long long>(value);
    std::string digits = std::to_string(magnitude);
    std::string out;
    for (size_t k = 0; k < digits.size(); ++k) {
        if (k > 0 && (digits.size() - k) % 3 == 0)
            out += ',';
        out += digits[k];
    }
    return negative ? "-" + out : out;
}

std::string format_padded(long long value, int width)
{
    std::string text = std::to_string(value);
    if (width <= 0)
        return text;
    if (static_cast<int>(text.size()) > width)
        return std::string(width, '*');
    const size_t sign = value < 0 ? 1 : 0;
    text.insert(sign, width - text.size(), '0');
    return text;
}

std::string format_fixed(double value, int decimals, bool trim)
{
    const double scaled = value * std::pow(10.0, decimals);
    // Rounds half away from zero; the magnitude is kept as an unsigned integer of digits.
    const double rounded = std::floor(std::fabs(scaled) + 0.5);
    const bool negative = value < 0 && rounded != 0;
    std::string digits = rounded < 1.8e19 ? std::to_string(static_cast<unsigned long long>(rounded))
                                          : std::string("0");
    if (static_cast<int>(digits.size()) <= decimals)
        digits.insert(0, decimals + 1 - digits.size(), '0');
    std::string out = digits.substr(0, digits.size() - decimals);
    if (decimals > 0)
        out += '.' + digits.substr(digits.size() - decimals);
    if (trim && decimals > 0) {
        while (out.back() == '0')
            out.pop_back();
        if (out.back() == '.')
            out.pop_back();
    }
    return negative ? "-" + out : out;
}

namespace {

char escaped(char c)
{
    switch (c) {
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    default: return c;
    }
}

long long as_int(const FormatArg& a)
{
    return a.kind == FormatArg::kFloat ? static_cast<long long>(a.f) : a.i;
}

double as_float(const FormatArg& a)
{
    return a.kind == FormatArg::kFloat ? a.f : static_cast<double>(a.i);
}

} // namespace

std::string format_list(std::string_view format, std::initializer_list<FormatArg> args)
{
    std::string out;
    const FormatArg* next = args.begin();
    const FormatArg* const end = args.end();
    static const FormatArg kMissing(0);
    auto take = [&]() -> const FormatArg& { return next != end ? *next++ : kMissing; };

    for (size_t k = 0; k < format.size(); ++k) {
        const char c = format[k];
        if (c == '\\') {
            if (++k < format.size())
                out += escaped(format[k]);
            continue;
        }
        if (c != '%') {
            out += c;
            continue;
        }
        int width = -1;
        bool trim = false;
        // Modifiers (a width digit, "z") come before the conversion character.
        while (++k < format.size()) {
            const char m = format[k];
            if (m >= '0' && m <= '6')
                width = m - '0';
            else if (m == 'z')
                trim = true;
            else
                break;
        }
        if (k >= format.size())
            break;
        switch (format[k]) {
        case '%': out += '%'; break;
        case 'c': out += static_cast<char>(take().i); break;
        case 's': {
            const FormatArg& a = take();
            if (a.kind == FormatArg::kText)
                out += a.s;
            break;
        }
        case 'd': out += format_padded(as_int(take()), width); break;
        case ',': {
            std::string text = format_grouped(as_int(take()));
            out += width > 0 && static_cast<int>(text.size()) > width ? std::string(width, '*')
                   : width > 0 ? std::string(width - text.size(), '0') + text
                               : text;
            break;
        }
        case 'f': out += format_fixed(as_float(take()), width < 0 ? 4 : width, trim); break;
        default: break; // unknown conversions vanish together with their percent sign
        }
    }
    return out;
}

} // namespace mv
