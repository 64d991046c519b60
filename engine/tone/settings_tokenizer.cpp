#include "settings_tokenizer.h"

#include "core/error.h"
#include "core/util.h"

#include <climits>
#include <cstdio>

namespace mv {

int settings_read_line(FileHandle& f, std::string& line, std::size_t limit)
{
    line.clear();
    std::FILE* fp = f.get();
    if (!fp)
        return kErrorReadingFile;
    int c;
    while ((c = std::fgetc(fp)) != EOF) {
        if (c == '\r')
            continue;
        if (c == '\n') {
            if (line.empty())
                continue;
            return kOk;
        }
        line += char(c);
        if (line.size() >= limit)
            return kOk; // the rest of a long line is read as the next line
    }
    if (std::ferror(fp))
        return kErrorReadingFile;
    return line.empty() ? kUnexpectedEof : kOk;
}

namespace {

bool is_delimiter(char c)
{
    switch (c) {
    case '\0': case '\t': case ' ': case '(': case ')': case '*': case '+': case ',':
    case '/': case ':': case '=': case '[': case ']':
        return true;
    default:
        return false;
    }
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

} // namespace

int settings_tokenize(std::string_view line, std::vector<std::string>& tokens)
{
    tokens.clear();
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (int(tokens.size()) < kSettingsMaxTokens) {
        while (i < n && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i >= n || line[i] == '\0')
            break;
        std::string token;
        if (line[i] == '"') {
            ++i;
            while (i < n && line[i] != '"') {
                if (token.size() < kSettingsTokenLimit)
                    token += line[i];
                ++i;
            }
            if (i < n)
                ++i; // the closing quote
        } else if (is_delimiter(line[i])) {
            token = line[i++];
        } else {
            const bool numeric = is_digit(line[i]);
            while (i < n) {
                const char c = line[i];
                const bool exponent_sign =
                    c == '+' && numeric && i > 0 && (line[i - 1] == 'e' || line[i - 1] == 'E');
                if (is_delimiter(c) && !exponent_sign)
                    break;
                if (token.size() < kSettingsTokenLimit)
                    token += c;
                ++i;
            }
        }
        tokens.push_back(std::move(token));
    }
    return int(tokens.size());
}

bool settings_keyword_is(std::string_view token, std::string_view keyword)
{
    return str_equal_nocase(token, keyword);
}

bool settings_parse_int(std::string_view token, int& value)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-'))
        negative = token[i++] == '-';
    if (i >= token.size())
        return false;
    long long v = 0;
    for (; i < token.size(); ++i) {
        if (!is_digit(token[i]))
            return false;
        v = v * 10 + (token[i] - '0');
        if (v > (long long)INT_MAX + 1)
            return false;
    }
    if (negative)
        v = -v;
    if (v > INT_MAX || v < INT_MIN)
        return false;
    value = int(v);
    return true;
}

int settings_write_line(FileHandle& f, std::string_view text)
{
    return file_write_line(f, text);
}

} // namespace mv
