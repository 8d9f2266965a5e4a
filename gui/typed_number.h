// How the forms read a count typed into a text box.
#pragma once

#include <QString>

namespace dosavia::gui {

// The number at the start of `text`, as the forms read a typed count: blanks are skipped,
// then an optional sign, digits, a decimal point and an exponent (E or D) are taken as far
// as they form a number. 0 when the text does not begin with a number.
double LeadingNumber(const QString& text);

// Typed text with the full-width characters of a Japanese input method (digits, signs,
// letters, the ideographic blank) made plain, by Unicode compatibility normalisation.
QString PlainTypedText(const QString& text);

// A typed field size in the form of the field items ("10×10"): full-width characters as
// typed with a Japanese input method become plain ones, blanks are dropped, and x, X and *
// become the multiplication sign.
QString FieldSizeText(const QString& text);

}  // namespace dosavia::gui
