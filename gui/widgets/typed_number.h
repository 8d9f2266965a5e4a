// How the forms read a count or a field size typed into a text box: the rules themselves are
// the Qt-free ones of models/typed_text.h; here the typed QString is made plain first.
#pragma once

#include <QString>

namespace dosavia::gui {

// Typed text with the full-width characters of a Japanese input method (digits, signs,
// letters, the ideographic blank) made plain, by Unicode compatibility normalisation.
QString PlainTypedText(const QString& text);

// A typed field size in the form of the field items ("10×10"), full-width input included.
QString FieldSizeText(const QString& text);

}  // namespace dosavia::gui
