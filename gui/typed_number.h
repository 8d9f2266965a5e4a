// How the forms read a count typed into a text box.
#pragma once

#include <QString>

namespace dosavia::gui {

// The number at the start of `text`, as the forms read a typed count: blanks are skipped,
// then an optional sign, digits, a decimal point and an exponent (E or D) are taken as far
// as they form a number. 0 when the text does not begin with a number.
double LeadingNumber(const QString& text);

}  // namespace dosavia::gui
