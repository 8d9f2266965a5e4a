// Text as the programs show and cut it: file names and lines are UTF-8 (Japanese names
// included), but a file may hold anything.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace dosavia {

// Length of the valid UTF-8 sequence at the start of `s` (1 to 4), or 0 when it is not one
// (a stray continuation byte, an overlong form, a surrogate, a cut-off sequence).
std::size_t Utf8SequenceLength(std::string_view s);

// The longest start of `s` of at most `max_bytes` bytes that does not end inside a UTF-8
// character: a name cut to a fixed field stays a valid name.
std::string_view Utf8Prefix(std::string_view s, std::size_t max_bytes);

// A piece of a file quoted in a message: at most `max_chars` characters (then "..."), with
// control characters and bytes that are not UTF-8 written as \xNN, so that a binary or
// Shift-JIS file cannot garble the console or a message box.
std::string Excerpt(std::string_view text, std::size_t max_chars = 80);

// Whether the text begins with the UTF-8 byte-order mark (EF BB BF) that some editors put
// before the first character of a file saved as UTF-8.
bool StartsWithByteOrderMark(std::string_view text);

}  // namespace dosavia
