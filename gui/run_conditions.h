// The conditions of one batch run as the non-visual screen hands them to Kestrun: the three
// lines of "Joken.dat" built from the two texts the user typed (X-ray energy, photon count).
#pragma once

#include <string>
#include <string_view>

namespace dosavia::gui {

// Name of the conditions file in the working directory.
inline constexpr char kConditionsFileName[] = "Joken.dat";

// Kestrun reads lines 1 and 2 as fields of this many characters and drops the rest.
inline constexpr std::size_t kEngineNameColumns = 20;

// Photons per million: the unit of the count in the result file's name.
inline constexpr double kPhotonsPerMillion = 1.0e6;

// The three lines of "Joken.dat", without line ends.
struct RunConditions {
  std::string spectrum_file;  // energy text + "MV.csv", e.g. "10MV.csv"
  std::string result_file;    // energy text + "MV-" + millions + "M.data", e.g. "10MV-30M.data"
  std::string photon_count;   // count text as "0.00E+00", e.g. "3.00E+07"
};

// The number at the start of a text, 0 when the text does not begin with a finite one:
// leading blanks, a sign, digits, a decimal point and an exponent (E or D) are taken, and
// reading stops at the first character that cannot continue the number. "12abc" gives
// 12, "abc" 0.
double LeadingNumber(std::string_view text);

// True when the whole text, apart from surrounding blanks, is one number; its value in
// `value`. Non-finite values (an exponent beyond the double range) are not numbers.
bool WholeNumber(std::string_view text, double& value);

// A number with one digit before the point, two after it and a signed two-digit exponent,
// rounded half away from zero on the decimal digits: 30000000 -> "3.00E+07",
// 12345678 -> "1.23E+07", 99950000 -> "1.00E+08", 0 -> "0.00E+00".
std::string FormatThreeDigitExponent(double value);

// Line 3 of the conditions: the count text formatted as above when it is a number, the
// text unchanged otherwise.
std::string FormatPhotonCountLine(std::string_view count_text);

// The millions in the result file's name: floor(leading number / 1e6) as a plain integer
// without blanks ("12" for "12345678", "0" for "999999" or "abc").
std::string MillionsText(std::string_view count_text);

// Builds the three lines from the energy text [MV] and the count text, both taken exactly
// as typed; nothing is validated.
RunConditions BuildRunConditions(std::string_view energy_text, std::string_view count_text);

// True when lines 1 and 2 fit Kestrun's 20-character fields. A longer name is cut there,
// so the engine would read another spectrum file or write another result file than the
// screen then tries to load.
bool NamesFitEngine(const RunConditions& conditions);

// The file's content: the three lines, each ended by CR LF.
std::string ConditionsFileText(const RunConditions& conditions);

// Creates or replaces the conditions file at `path` with the three lines. The file is
// written beside its final name and renamed into place, so Kestrun never reads half of it.
// Throws std::runtime_error when it cannot be written.
void WriteConditionsFile(const std::string& path, const RunConditions& conditions);

// Deletes the conditions file at `path`; a missing file or any other failure is ignored.
void DeleteConditionsFile(const std::string& path);

}  // namespace dosavia::gui
