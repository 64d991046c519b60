// Header cards of FITS files: 80-character cards in blocks of 36, a keyword in columns 1-8,
// a value after column 10, and the number syntax of the values.
#pragma once

#include <string>
#include <string_view>

namespace mv {

inline constexpr int kFitsCardBytes = 80;
inline constexpr int kFitsCardsPerBlock = 36;
inline constexpr int kFitsBlockBytes = kFitsCardBytes * kFitsCardsPerBlock; // 2880

// True when columns 1-8 of the card equal `keyword` padded with spaces, ignoring case.
bool fits_card_is(const char* card, std::string_view keyword);

// True when columns 1-8 are all spaces.
bool fits_card_blank(const char* card);

// The value of a card: when column 9 or 10 is a space, the text from the first non-space
// character of column 11 on up to the next space (a trailing "/ comment" is dropped);
// empty otherwise.
std::string_view fits_card_value(const char* card);

// An optional sign and decimal digits, nothing else; false also when it overflows.
bool fits_parse_int(std::string_view text, long long& value);

// An optional sign, digits, an optional point and fraction and an optional exponent
// ("E" or "e", optional sign, digits), nothing else. Too large a magnitude gives infinity.
bool fits_parse_float(std::string_view text, double& value);

// Fills one 80-byte card with `text` followed by spaces (text beyond 80 characters is cut).
void fits_card_put(char* card, std::string_view text);

} // namespace mv
