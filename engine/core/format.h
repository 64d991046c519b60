// The program's own message formatter: a small printf with grouped integers ("%,"),
// fixed-width zero-padded integers that turn into asterisks on overflow, floats with a
// chosen number of decimals ("%2f", "%z" to drop trailing zeros) and backslash escapes.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace mv {

struct FormatArg {
    enum Kind { kInt, kFloat, kText, kChar } kind;
    long long i = 0;
    double f = 0;
    std::string_view s;

    FormatArg(int v) : kind(kInt), i(v) {}
    FormatArg(long v) : kind(kInt), i(v) {}
    FormatArg(long long v) : kind(kInt), i(v) {}
    FormatArg(unsigned v) : kind(kInt), i(v) {}
    FormatArg(unsigned long v) : kind(kInt), i(static_cast<long long>(v)) {}
    FormatArg(unsigned long long v) : kind(kInt), i(static_cast<long long>(v)) {}
    FormatArg(double v) : kind(kFloat), f(v) {}
    FormatArg(char v) : kind(kChar), i(static_cast<unsigned char>(v)) {}
    FormatArg(const char* v) : kind(kText), s(v ? v : "") {}
    FormatArg(std::string_view v) : kind(kText), s(v) {}
    FormatArg(const std::string& v) : kind(kText), s(v) {}
};

std::string format_list(std::string_view format, std::initializer_list<FormatArg> args);

template <class... Args>
std::string format_text(std::string_view format, const Args&... args)
{
    return format_list(format, {FormatArg(args)...});
}

// Single conversions, shared with code that builds texts piece by piece.
std::string format_grouped(long long value);                  // "%,"
std::string format_fixed(double value, int decimals, bool trim); // "%Nf", "%Nzf"
std::string format_padded(long long value, int width);         // "%Nd"

} // namespace mv
