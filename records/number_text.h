// Number texts as the data files write them: Fortran fields ("0.1250E+00", "025" with
// implied decimals, "1.0D-03", "1.0-03") normalised to a plain decimal form, and that form
// converted to float or double with one correct rounding. The fixed-column and free-format
// readers both stand on this, so that they cannot disagree about what a number is.
#pragma once

#include <string>
#include <string_view>

namespace dosavia {

// Blanks and TABs removed from both ends.
std::string_view Trim(std::string_view s);

// Whether the text is one or more decimal digits and nothing else.
bool IsDigits(std::string_view s);

// Normalises a Fortran numeric field to a from_chars-friendly text. A field without a
// decimal point carries `implied_decimals` implied digits after the point ("025" in F6.3
// is 0.025); exponents may be written E-01, D-01 or just -01. False when the text is not
// a number of that form.
bool NormaliseNumber(std::string_view field, int implied_decimals, std::string& out);

// How a number text converts to a real type.
enum class NumberParse {
  kOk,          // converted; a magnitude too small for the type reads as 0
  kNotANumber,  // not a plain decimal number (or infinity, NaN)
  kOutOfRange,  // a number beyond the largest value of the type
};

// Converts a number text ("1.250E-01", "-3", "0.511") to the program's real type with
// one correct rounding; `value` changes only on kOk.
template <typename Real>
NumberParse ParseNumber(std::string_view text, Real& value);

// ParseNumber that answers only whether the text converted.
template <typename Real>
bool ParseReal(std::string_view text, Real& value);

// The shortest decimal text that reads back as `value` (finite), in the scientific form
// "1.2345e+07" ("3e+07", "-5e-01", "0e+00"): the digits a number format rounds from, so
// that 0.1235 rounds to 0.124 although the nearest double lies just below it.
std::string ShortestScientific(double value);

// The same two conversions on the C library alone: strtod/strtof in the "C" locale, which
// round correctly just as from_chars does, and snprintf. Standard libraries without
// floating-point from_chars/to_chars (Emscripten's) run these; elsewhere only the tests
// do, holding them to the standard library's answer for the same texts and values.
template <typename Real>
NumberParse ParseNumberByCLibrary(std::string_view text, Real& value);
std::string ShortestScientificByCLibrary(double value);

}  // namespace dosavia
