#include "models/typed_text.h"

#include <array>
#include <cctype>

#include "engine/conditions_file.h"
#include "records/input_error.h"

namespace dosavia {

namespace {

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
