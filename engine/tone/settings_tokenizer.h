// The tokenizer shared by every keyword settings file of the program (curves, colour curves,
// colour balance, colour line, page layout, slide show, monitor calibration): lines of
// blank-separated tokens with quoted strings, case-blind keywords, lines ended by carriage
// return and line feed.
#pragma once

#include "formats/file_io.h"

#include <string>
#include <string_view>
#include <vector>

namespace mv {

inline constexpr std::size_t kSettingsLineLimit = 255;
inline constexpr std::size_t kSettingsTokenLimit = 255;
inline constexpr int kSettingsMaxTokens = 64;

// Reads the next line, byte by byte: carriage returns are ignored, empty lines skipped; a
// line longer than `limit` is cut there and the rest comes back as the next line. 0, 2 at
// the end of the file (no character read) or 5 on a read error.
int settings_read_line(FileHandle& f, std::string& line, std::size_t limit = kSettingsLineLimit);

// Splits a line into at most 64 tokens of at most 255 characters; returns their count.
// Blanks and tabs separate tokens. A token starting with a double quote runs to the next
// one (quotes removed). Otherwise a token runs up to a delimiter: tab, blank, ( ) * + , / :
// = [ ]; a "+" right after an "E" or "e" stays inside a token that starts with a digit, so
// 1.5e+3 is one token. A delimiter other than a blank or tab met at a token's start is a
// token of its own, so a=b gives a, = and b.
int settings_tokenize(std::string_view line, std::vector<std::string>& tokens);

// The token equals the keyword, ignoring letter case.
bool settings_keyword_is(std::string_view token, std::string_view keyword);

// An optional sign and at least one decimal digit, nothing else, within the range of int.
bool settings_parse_int(std::string_view token, int& value);

// Writes the text and a carriage return and line feed unless it already ends with them.
// 0 or 6.
int settings_write_line(FileHandle& f, std::string_view text);

} // namespace mv
