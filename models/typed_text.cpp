#include "models/typed_text.h"

#include <array>
#include <cctype>
#include <cstdlib>

#include "engine/conditions_file.h"
#include "records/input_error.h"

namespace dosavia {

namespace {

bool IsAsciiBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Length of the white-space character that starts `text` (0: none). Compatibility
// normalisation has already turned the ideographic and no-break blanks into plain ones; the
// line and paragraph separators and the next-line character remain.
std::size_t BlankLength(std::string_view text) {
  if (text.empty()) return 0;
  const auto c = static_cast<unsigned char>(text[0]);
  if (std::isspace(c)) return 1;
  if (text.substr(0, 2) == "\xC2\x85") return 2;
  if (text.substr(0, 3) == "\xE2\x80\xA8" || text.substr(0, 3) == "\xE2\x80\xA9" ||
      text.substr(0, 3) == "\xE1\x9A\x80")
    return 3;
  return 0;
}

constexpr std::array<FieldChoice, 8> kVisualFieldChoices{{{"1×1", 1.0},
                                                          {"2×2", 2.0},
                                                          {"3×3", 3.0},
                                                          {"4×4", 4.0},
                                                          {"5×5", 5.0},
                                                          {"6×6", 6.0},
                                                          {"8×8", 8.0},
                                                          {"10×10", 10.0}}};

}  // namespace

double LeadingNumber(std::string_view text) {
  // Blanks anywhere are skipped, as a typed "1 000" means 1000; the number ends at the
  // first character beyond ASCII.
  std::string compact;
  for (const char c : text) {
    if (IsAsciiBlank(c)) continue;
    if (static_cast<unsigned char>(c) > 0x7f) break;
    compact.push_back(c);
  }
  std::size_t i = 0;
  std::string number;
  if (i < compact.size() && (compact[i] == '+' || compact[i] == '-')) number += compact[i++];
  bool digits = false;
  while (i < compact.size() && std::isdigit(static_cast<unsigned char>(compact[i]))) {
    number += compact[i++];
    digits = true;
  }
  if (i < compact.size() && compact[i] == '.') {
    number += compact[i++];
    while (i < compact.size() && std::isdigit(static_cast<unsigned char>(compact[i]))) {
      number += compact[i++];
      digits = true;
    }
  }
  if (!digits) return 0;
  // An exponent counts only when digits follow it ("2e" is 2).
  if (i < compact.size() && (compact[i] == 'e' || compact[i] == 'E' || compact[i] == 'd' ||
                             compact[i] == 'D')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < compact.size() && (compact[j] == '+' || compact[j] == '-')) exponent += compact[j++];
    bool exponent_digits = false;
    while (j < compact.size() && std::isdigit(static_cast<unsigned char>(compact[j]))) {
      exponent += compact[j++];
      exponent_digits = true;
    }
    if (exponent_digits) number += exponent;
  }
  return std::strtod(number.c_str(), nullptr);
}

double TypedPhotonCount(std::string_view plain_text) {
  try {
    return ReadPhotonTotal(PlainCountText(plain_text));
  } catch (const InputError&) {
    return -1;
  }
}

std::string FieldSizeText(std::string_view plain_text) {
  std::string field;
  while (!plain_text.empty()) {
    if (const std::size_t blank = BlankLength(plain_text); blank > 0) {
      plain_text.remove_prefix(blank);
      continue;
    }
    const char c = plain_text.front();
    if (c == 'x' || c == 'X' || c == '*')
      field += "×";
    else
      field += c;
    plain_text.remove_prefix(1);
  }
  return field;
}

std::span<const FieldChoice> VisualFieldChoices() { return kVisualFieldChoices; }

const FieldChoice* FindFieldChoice(std::string_view plain_text) {
  const std::string field = FieldSizeText(plain_text);
  for (const FieldChoice& choice : kVisualFieldChoices)
    if (field == choice.item) return &choice;
  return nullptr;
}

}  // namespace dosavia
