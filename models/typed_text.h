// How a front end reads what the user types: a photon count, and a field size written with
// x, X, * or the multiplication sign. Texts are UTF-8 and already made plain by Unicode
// compatibility normalisation (NFKC) where the front end has it: Qt's QString::normalized on
// the desktop, String.prototype.normalize in the browser; that is how full-width digits typed
// with a Japanese input method become plain ones.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace dosavia {

// A typed photon count as every count box and every link reads it, the visual screen's and
// the engine screen's alike: digit grouping dropped ("30,000", "30 000"), then one number
// as the engine reads the photon total ("1e5", "2.5E6"; words after it are a comment).
// -1 when the text is no such number or lies outside 0..2147483520, so that "30,000" can
// never run 30 photons and "1,5E6" never 1.
double TypedPhotonCount(std::string_view plain_text);

// A typed field size in the form of the field items ("10×10"): blanks are dropped, and x,
// X and * become the multiplication sign.
std::string FieldSizeText(std::string_view plain_text);

// The square fields of the visual simulation, as its field box lists them.
struct FieldChoice {
  const char* item;  // UTF-8, "10×10"
  double side;       // [cm]
};
std::span<const FieldChoice> VisualFieldChoices();

// The field that a typed text plainly means, or nullptr when it names none of the choices.
const FieldChoice* FindFieldChoice(std::string_view plain_text);

}  // namespace dosavia
