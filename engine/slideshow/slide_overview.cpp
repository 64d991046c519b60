#include "slide_overview.h"

#include "core/error.h"
#include "core/format.h"
#include "core/progress.h"
#include "formats/file_io.h"
#include "tone/settings_tokenizer.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace mv {
namespace {

std::string encode_caption(std::string text)
{
    std::replace(text.begin(), text.end(), '"', kCaptionQuoteByte);
    return text;
}

std::string decode_caption(std::string text)
{
    std::replace(text.begin(), text.end(), kCaptionQuoteByte, '"');
    return text;
}

int write_slides(FileHandle& f, const Overview& overview)
{
    const int count = int(overview.slides.size());
    progress_begin(0, std::max(count - 1, 0), "Writing Overview File", true);
    int code = kOk;
    for (int i = 0; i < count && code == kOk; ++i) {
        const OverviewSlide& s = overview.slides[i];
        code = settings_write_line(f, format_text("caption %d \"%s\" %s %d", i,
                                                  encode_caption(s.caption),
                                                  s.loop ? "loop" : "single", s.duration));
        if (code == kOk && !s.description.empty()) {
            code = settings_write_line(
                f, format_text("description %d %d", i, (long long)s.description.size()));
            if (code == kOk)
                code = file_write(f, s.description.size(), s.description.data());
        }
        if (code == kOk)
            code = settings_write_line(f, format_text("palette %d %d", i, kPaletteBytes));
        if (code == kOk)
            code = file_write(f, kPaletteBytes, s.palette.data());
        if (code == kOk)
            code = progress_update(i);
    }
    progress_end();
    return code;
}

int write_overview(FileHandle& f, const Overview& overview)
{
    int code = settings_write_line(f, "SlideShow 1.0");
    if (code == kOk)
        code = settings_write_line(f, format_text("nslides %d", int(overview.slides.size())));
    if (code == kOk)
        code = settings_write_line(f, format_text("duration %d", overview.duration));
    if (code == kOk)
        code = write_slides(f, overview);
    if (code == kOk)
        code = settings_write_line(f, "end");
    return code;
}

bool parse_version(const std::string& token)
{
    char* end = nullptr;
    const double v = std::strtod(token.c_str(), &end);
    return !token.empty() && end && *end == '\0' && v == 1.0;
}

struct Reader {
    FileHandle& file;
    std::int64_t file_bytes;
    Overview& out;

    // The slide of a line's index, created when first named; nullptr for a bad index.
    OverviewSlide* slide(const std::vector<std::string>& tokens)
    {
        int index = -1;
        if (tokens.size() < 2 || !settings_parse_int(tokens[1], index) || index < 0 ||
            index >= kSlideMax)
            return nullptr;
        if (index >= int(out.slides.size()))
            out.slides.resize(index + 1);
        return &out.slides[index];
    }

    // Reads the counted bytes that follow a "description" or "palette" line.
    bool counted(const std::vector<std::string>& tokens, std::string& bytes)
    {
        int count = -1;
        std::int64_t at = 0;
        if (tokens.size() < 3 || !settings_parse_int(tokens[2], count) || count < 0 ||
            file_tell(file, at) != kOk || at + count > file_bytes)
            return false;
        bytes.resize(std::size_t(count));
        return count == 0 || file_read_exact(file, bytes.size(), bytes.data()) == kOk;
    }

    // 0 after "end"; -1 for an illegal file; other codes for read failures.
    int run()
    {
        std::string line;
        std::vector<std::string> tokens;
        if (settings_read_line(file, line) != kOk || settings_tokenize(line, tokens) != 2 ||
            !settings_keyword_is(tokens[0], "SlideShow") || !parse_version(tokens[1]))
            return -1;
        int declared = 0;
        for (;;) {
            const int r = settings_read_line(file, line);
            if (r != kOk)
                return r == kUnexpectedEof ? -1 : r;
            if (settings_tokenize(line, tokens) == 0)
                continue;
            const std::string& key = tokens[0];
            if (settings_keyword_is(key, "end")) {
                if (int(out.slides.size()) < declared)
                    out.slides.resize(declared);
                return kOk;
            }
            if (settings_keyword_is(key, "nslides")) {
                if (tokens.size() < 2 || !settings_parse_int(tokens[1], declared) ||
                    declared < 0 || declared > kSlideMax)
                    return -1;
            } else if (settings_keyword_is(key, "duration")) {
                int d = 0;
                if (tokens.size() >= 2 && settings_parse_int(tokens[1], d))
                    out.duration = std::clamp(d, kShowDurationMin, kShowDurationMax);
            } else if (settings_keyword_is(key, "caption")) {
                OverviewSlide* s = slide(tokens);
                if (!s)
                    return -1;
                s->caption = decode_caption(tokens.size() > 2 ? tokens[2].substr(0, kCaptionMax) : "");
                s->loop = tokens.size() > 3 && settings_keyword_is(tokens[3], "loop");
                int d = 0;
                if (tokens.size() > 4 && settings_parse_int(tokens[4], d))
                    s->duration = std::clamp(d, 0, kSlideDurationMax);
            } else if (settings_keyword_is(key, "description")) {
                OverviewSlide* s = slide(tokens);
                if (!s || !counted(tokens, s->description))
                    return -1;
            } else if (settings_keyword_is(key, "palette")) {
                OverviewSlide* s = slide(tokens);
                std::string bytes;
                if (!s || !counted(tokens, bytes))
                    return -1;
                s->palette.fill(0);
                std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), kPaletteBytes),
                            s->palette.begin());
            }
        }
    }
};

} // namespace

Overview slideshow_overview(const SlideShow& show)
{
    Overview o;
    o.duration = show.duration;
    o.slides.resize(show.slides.size());
    for (std::size_t i = 0; i < show.slides.size(); ++i) {
        const Slide& s = show.slides[i];
        o.slides[i] = {s.caption, s.description, s.loop, s.duration, s.palette};
    }
    return o;
}

int overview_write(const std::string& path, const Overview& overview)
{
    FileHandle f;
    if (int code = file_create(path, f); code != kOk)
        return code;
    int code = write_overview(f, overview);
    if (int closed = f.close(); code == kOk)
        code = closed;
    if (code == kOk)
        return kOk;
    file_delete(path);
    if (code == kAborted || code == kOutOfMemory)
        return code;
    error_message("Error saving slide show (disk full?)");
    return kSlideShowShown;
}

int overview_read(const std::string& path, Overview& overview)
{
    overview = {};
    FileHandle f;
    if (int code = file_open_read(path, f); code != kOk)
        return code;
    std::int64_t bytes = 0;
    if (int code = file_size(f, bytes); code != kOk)
        return kErrorReadingFile;
    int code;
    try {
        Reader reader{f, bytes, overview};
        code = reader.run();
    } catch (const std::bad_alloc&) {
        code = kOutOfMemory;
    }
    if (code == kOk)
        return kOk;
    overview = {};
    if (code != -1)
        return code;
    error_message("Illegal overview file");
    return kSlideShowShown;
}

} // namespace mv
