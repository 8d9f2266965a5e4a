#include "records/utf8_text.h"

namespace dosavia {

std::size_t Utf8SequenceLength(std::string_view s) {
  if (s.empty()) return 0;
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(0);
  std::size_t n = 0;
  unsigned lowest_second = 0x80, highest_second = 0xbf;
  if (lead < 0x80) return 1;
  if (lead >= 0xc2 && lead <= 0xdf)
    n = 2;
  else if (lead >= 0xe0 && lead <= 0xef)
    n = 3;
  else if (lead >= 0xf0 && lead <= 0xf4)
    n = 4;
  else
    return 0;
  // No overlong forms, no surrogates, nothing above U+10FFFF.
  if (lead == 0xe0) lowest_second = 0xa0;
  if (lead == 0xed) highest_second = 0x9f;
  if (lead == 0xf0) lowest_second = 0x90;
  if (lead == 0xf4) highest_second = 0x8f;
  if (s.size() < n || byte(1) < lowest_second || byte(1) > highest_second) return 0;
  for (std::size_t i = 2; i < n; ++i)
    if (byte(i) < 0x80 || byte(i) > 0xbf) return 0;
  return n;
}

std::string_view Utf8Prefix(std::string_view s, std::size_t max_bytes) {
  if (s.size() <= max_bytes) return s;
  std::size_t end = 0;
  while (end < max_bytes) {
    const std::size_t n = Utf8SequenceLength(s.substr(end));
    if (n == 0) {  // not UTF-8 at all: cut by bytes, as the field would
      end += 1;
      continue;
    }
    if (end + n > max_bytes) break;
    end += n;
  }
  return s.substr(0, end);
}

std::string Excerpt(std::string_view text, std::size_t max_chars) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  std::size_t chars = 0;
  while (!text.empty()) {
    if (chars == max_chars) return out + "...";
    const std::size_t n = Utf8SequenceLength(text);
    const unsigned char c = static_cast<unsigned char>(text.front());
    // A byte-order mark or zero-width space quoted as it is would show as nothing between
    // the quotes; its code point is what a reader can act on.
    if (n == 3 && (text.substr(0, 3) == "\xEF\xBB\xBF" || text.substr(0, 3) == "\xE2\x80\x8B")) {
      out += text[1] == '\xBB' ? "\\uFEFF" : "\\u200B";
      text.remove_prefix(3);
    } else if (n == 0 || c < 0x20 || c == 0x7f) {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
      text.remove_prefix(1);
    } else {
      out.append(text.substr(0, n));
      text.remove_prefix(n);
    }
    ++chars;
  }
  return out;
}

bool StartsWithByteOrderMark(std::string_view text) { return text.substr(0, 3) == "\xEF\xBB\xBF"; }

}  // namespace dosavia
