#include "settings_io.h"

#include "core/format.h"
#include "core/util.h"
#include "formats/file_types.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace mv {
namespace {

// Entries of the file-open dialog's type list ("All Files" .. "RLE").
constexpr int kOpenTypeCount = 13;
constexpr int kRecentSlots = 10;

// Value texts are split like the lines of the keyword settings files: at most 64 tokens of
// at most 255 characters; blanks and tabs separate; a double quote starts a token that runs
// to the next double quote; the punctuation below ends a token and stands alone as one.
constexpr int kMaxTokens = 64;
constexpr size_t kMaxTokenLength = 255;

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

std::vector<std::string> tokenize(std::string_view text)
{
    std::vector<std::string> tokens;
    size_t i = 0;
    const size_t n = text.size();
    while (int(tokens.size()) < kMaxTokens) {
        while (i < n && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        if (i >= n || text[i] == '\0')
            break;
        std::string token;
        if (text[i] == '"') {
            ++i;
            while (i < n && text[i] != '"' && text[i] != '\0')
                token += text[i++];
            if (i < n && text[i] == '"')
                ++i;
        } else if (is_delimiter(text[i])) {
            token = text[i++];
        } else {
            const bool numeric = text[i] >= '0' && text[i] <= '9';
            while (i < n) {
                const char c = text[i];
                const bool exponent_sign = numeric && c == '+' && !token.empty() &&
                                           (token.back() == 'e' || token.back() == 'E');
                if (is_delimiter(c) && !exponent_sign)
                    break;
                token += c;
                ++i;
            }
        }
        if (token.size() > kMaxTokenLength)
            token.resize(kMaxTokenLength);
        tokens.push_back(std::move(token));
    }
    return tokens;
}

// An optional sign and at least one digit, nothing after them.
std::optional<int> parse_int(std::string_view t)
{
    if (!t.empty() && t.front() == '+')
        t.remove_prefix(1);
    if (t.empty() || t.front() == '+')
        return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (ec != std::errc() || end != t.data() + t.size())
        return std::nullopt;
    return value;
}

// A finite real filling the whole token.
std::optional<double> parse_real(std::string_view t)
{
    if (!t.empty() && t.front() == '+')
        t.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The tokens of a value; nothing when it is missing or does not fit the read buffer.
std::optional<std::vector<std::string>> read_tokens(const KeyValueStore& store, const char* group,
                                                    const char* name)
{
    const std::optional<std::string> text = store.get(group, name);
    if (!text || text->size() + 1 > kSettingsValueBuffer)
        return std::nullopt;
    return tokenize(*text);
}

// Reads `count` integers (at least `required` of them must be present).
bool read_ints(const KeyValueStore& store, const char* group, const char* name, int required,
               std::span<int* const> out)
{
    const auto tokens = read_tokens(store, group, name);
    if (!tokens || int(tokens->size()) < required)
        return false;
    std::vector<int> values;
    for (size_t i = 0; i < out.size() && i < tokens->size(); ++i) {
        const std::optional<int> v = parse_int((*tokens)[i]);
        if (!v)
            return false;
        values.push_back(*v);
    }
    for (size_t i = 0; i < values.size(); ++i)
        *out[i] = values[i];
    return true;
}

std::optional<int> read_int(const KeyValueStore& store, const char* group, const char* name)
{
    int value = 0;
    int* const out[] = {&value};
    if (!read_ints(store, group, name, 1, out))
        return std::nullopt;
    return value;
}

// Reals from tokens first..first+count-1.
bool parse_reals(const std::vector<std::string>& tokens, size_t first, size_t count, double* out)
{
    if (tokens.size() < first + count)
        return false;
    for (size_t i = 0; i < count; ++i) {
        const std::optional<double> v = parse_real(tokens[first + i]);
        if (!v)
            return false;
        out[i] = *v;
    }
    return true;
}

// A colour stored as three fractions of 255.
Rgb color_from(const double* f)
{
    return {clamp_byte(round_nearest(f[0] * 255)), clamp_byte(round_nearest(f[1] * 255)),
            clamp_byte(round_nearest(f[2] * 255))};
}

void read_path(const KeyValueStore& store, const char* name, std::string& path)
{
    const auto tokens = read_tokens(store, kPreferencesGroup, name);
    if (!tokens)
        return;
    path = tokens->empty() ? std::string() : (*tokens)[0].substr(0, kSettingsPathLength);
}

std::string ints_text(std::initializer_list<int> values)
{
    std::string text;
    for (int v : values) {
        if (!text.empty())
            text += ' ';
        text += std::to_string(v);
    }
    return text;
}

std::string slot_name(int slot) { return "openfile" + std::to_string(slot); }

} // namespace

std::string settings_real_text(double value) { return format_fixed(value, 6, false); }

std::string settings_color_text(const Rgb& c)
{
    return settings_real_text(c.red / 255.0) + ' ' + settings_real_text(c.green / 255.0) + ' ' +
           settings_real_text(c.blue / 255.0);
}

std::string settings_quoted(const std::string& path) { return '"' + path + '"'; }

double preferences_limit_resolution(double dpi)
{
    if (std::isnan(dpi))
        return 1.0;
    return std::clamp(dpi, 1.0, 1000.0);
}

void preferences_load(const KeyValueStore& store, Preferences& p)
{
    p = Preferences{};
    const char* g = kPreferencesGroup;

    if (const auto t = read_tokens(store, g, "confirm"); t && !t->empty() &&
                                                          str_equal_nocase((*t)[0], "no"))
        p.confirm = false;

    if (const auto t = read_tokens(store, g, "border"); t && !t->empty()) {
        const std::optional<int> width = parse_int((*t)[0]);
        double f[3];
        if (width && parse_reals(*t, 1, 3, f)) {
            p.border_width = std::clamp(*width, 0, 32);
            p.border_color = color_from(f);
        }
    }

    read_path(store, "pcddirectory", p.pcd_directory);
    read_path(store, "startupdirectory", p.startup_directory);
    read_path(store, "tempdirectory", p.temp_directory);

    if (const auto t = read_tokens(store, g, "workspace")) {
        double f[3];
        if (parse_reals(*t, 0, 3, f))
            p.workspace = color_from(f);
    }

    if (const auto t = read_tokens(store, g, "defaultres")) {
        double dpi;
        if (parse_reals(*t, 0, 1, &dpi))
            p.default_resolution = preferences_limit_resolution(dpi);
    }

    if (const auto t = read_tokens(store, g, "undo"); t && !t->empty()) {
        const std::string& word = (*t)[0];
        if (str_equal_nocase(word, "none"))
            p.undo = kUndoNone;
        else if (str_equal_nocase(word, "single"))
            p.undo = kUndoSingle;
        else if (str_equal_nocase(word, "multiple"))
            p.undo = kUndoMultiple;
    }

    if (const auto n = read_int(store, g, "nfilemenu"))
        p.file_list_length = std::clamp(*n, 0, kRecentSlots);
    // A list index outside its list is ignored, so the dialogs never select a missing entry.
    if (const auto n = read_int(store, g, "defaultfileopentype"); n && *n >= 1 && *n <= kOpenTypeCount)
        p.default_open_type = *n;
    if (const auto n = read_int(store, g, "defaultfilesavetype"); n && *n >= 1 && *n <= kSaveFilterCount)
        p.default_save_type = *n;
}

void preferences_save(KeyValueStore& store, const Preferences& p)
{
    const char* g = kPreferencesGroup;
    static const char* const kUndoWords[] = {"none", "single", "multiple"};
    store.set(g, "confirm", p.confirm ? "yes" : "no");
    store.set(g, "border", std::to_string(p.border_width) + ' ' + settings_color_text(p.border_color));
    store.set(g, "pcddirectory", settings_quoted(p.pcd_directory));
    store.set(g, "startupdirectory", settings_quoted(p.startup_directory));
    store.set(g, "tempdirectory", settings_quoted(p.temp_directory));
    store.set(g, "workspace", settings_color_text(p.workspace));
    store.set(g, "defaultres", settings_real_text(p.default_resolution));
    store.set(g, "undo", kUndoWords[std::clamp(p.undo, 0, 2)]);
    store.set(g, "nfilemenu", std::to_string(p.file_list_length));
    store.set(g, "defaultfileopentype", std::to_string(p.default_open_type));
    store.set(g, "defaultfilesavetype", std::to_string(p.default_save_type));
}

void state_load(const KeyValueStore& store, int file_list_length, ProgramState& s)
{
    s = ProgramState{};
    const char* g = kStateGroup;
    const auto version = read_tokens(store, g, "version");
    if (!version || version->empty() || !str_equal_nocase((*version)[0], kStateVersion))
        return;

    const int slots = std::clamp(file_list_length, 0, kRecentSlots);
    for (int i = 0; i < slots; ++i) {
        const auto t = read_tokens(store, g, slot_name(i).c_str());
        if (t && !t->empty() && !(*t)[0].empty())
            s.recent_files[size_t(i)] = (*t)[0].substr(0, kSettingsPathLength);
    }

    if (const auto n = read_int(store, g, "defaultpcdres"))
        s.default_pcd_resolution = *n;
    if (const auto n = read_int(store, g, "ribbonorientation"); n && *n >= -1 && *n <= 1)
        s.ribbon_orientation = *n;
    if (const auto t = read_tokens(store, g, "printmargins")) {
        double m[4];
        if (parse_reals(*t, 0, 4, m))
            std::copy(m, m + 4, s.print_margins.begin());
    }
    {
        auto& b = s.browse;
        int* const out[] = {&b[0], &b[1], &b[2], &b[3], &b[4], &b[5]};
        read_ints(store, g, "browse", 5, out);
    }
    {
        int* const out[] = {&s.jpeg_quality, &s.jpeg_sampling};
        read_ints(store, g, "jpegquality", 2, out);
    }
    {
        int* const out[] = {&s.fpx_quality, &s.fpx_choice};
        read_ints(store, g, "fpxquality", 2, out);
    }
}

void state_save(KeyValueStore& store, const ProgramState& s)
{
    const char* g = kStateGroup;
    store.set(g, "version", kStateVersion);
    for (int i = 0; i < kRecentSlots; ++i)
        store.set(g, slot_name(i), settings_quoted(s.recent_files[size_t(i)]));
    store.set(g, "defaultpcdres", std::to_string(s.default_pcd_resolution));
    store.set(g, "ribbonorientation", std::to_string(s.ribbon_orientation));
    const auto& m = s.print_margins;
    store.set(g, "printmargins", settings_real_text(m[0]) + ' ' + settings_real_text(m[1]) + ' ' +
                                     settings_real_text(m[2]) + ' ' + settings_real_text(m[3]));
    const auto& b = s.browse;
    store.set(g, "browse", ints_text({b[0], b[1], b[2], b[3], b[4], b[5]}));
    store.set(g, "jpegquality", ints_text({s.jpeg_quality, s.jpeg_sampling}));
    store.set(g, "fpxquality", ints_text({s.fpx_quality, s.fpx_choice}));
}

} // namespace mv
