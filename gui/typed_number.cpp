#include "gui/typed_number.h"

#include <cctype>
#include <cstdlib>
#include <string>

namespace dosavia::gui {

double LeadingNumber(const QString& text) {
  // Blanks anywhere are skipped, as a typed "1 000" means 1000.
  std::string compact;
  for (const QChar c : text) {
    if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n') continue;
    if (c.unicode() > 0x7f) break;
    compact.push_back(static_cast<char>(c.unicode()));
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

QString PlainTypedText(const QString& text) {
  return text.normalized(QString::NormalizationForm_KC);
}

QString FieldSizeText(const QString& text) {
  const QString plain = PlainTypedText(text);
  QString field;
  for (const QChar c : plain) {
    if (c.isSpace()) continue;
    field += (c == u'x' || c == u'X' || c == u'*') ? QChar(u'×') : c;
  }
  return field;
}

}  // namespace dosavia::gui
