// Fuzz target: the engine's reading of the conditions file "Joken.dat", and the conditions
// that the non-visual screen writes, read back by the engine. Input: the file's text; its
// first two lines also serve as the energy and photon count texts typed on the screen.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/beam_spectrum.h"
#include "engine/conditions_file.h"
#include "records/input_error.h"
#include "records/utf8_text.h"
#include "records/number_text.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using dosavia::InputError;
using dosavia::RunConditions;

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// A name the engine may open or create: a plain file of the working directory.
void CheckName(const std::string& name) {
  FUZZ_CHECK(!name.empty() && name.size() <= dosavia::kFileNameLength);
  FUZZ_CHECK(name.back() != ' ');
  FUZZ_CHECK(name != "." && name != "..");
  for (char c : name) {
    FUZZ_CHECK(c != '/' && c != '\\' && c != ':');
    FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7f);
  }
}

void CheckConditions(const RunConditions& c) {
  CheckName(c.spectrum_file);
  CheckName(c.result_file);
  for (std::string_view input : {"water20.dat", "ELDAT.dat", "Joken.dat"})
    FUZZ_CHECK(!SameIgnoringCase(c.result_file, input));
  FUZZ_CHECK(!SameIgnoringCase(c.result_file, c.spectrum_file));
  // Every bin's history count fits the 32-bit counter, even with all the weight in one bin.
  FUZZ_CHECK(std::isfinite(c.photon_total));
  FUZZ_CHECK(c.photon_total >= 0 && c.photon_total <= dosavia::kMaxPhotonTotal);
  const std::int32_t all = dosavia::HistoriesInBin(1.0f, c.photon_total);
  FUZZ_CHECK(all >= 0 && static_cast<double>(all) == std::floor(c.photon_total));
}

void CheckError(const InputError& e) {
  FUZZ_CHECK(e.file() == "Joken.dat");
  FUZZ_CHECK(e.line() >= 1 && e.line() <= 3);
  FUZZ_CHECK(!e.field().empty());
}

// The name as the engine takes it from a line: a byte-order mark (which only the file's
// first line can carry) and leading blanks dropped, 20 bytes cut at a character boundary,
// filling blanks dropped.
std::string AsRead(std::string_view name, bool first_line) {
  if (first_line && name.substr(0, 3) == "\xEF\xBB\xBF") name.remove_prefix(3);
  while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) name.remove_prefix(1);
  std::string s(dosavia::Utf8Prefix(name, dosavia::kFileNameLength));
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    CheckConditions(dosavia::ReadConditions(text));
  } catch (const InputError& e) {
    CheckError(e);
  }

  // The screen's two texts: whatever it writes, the engine reads the same names and the
  // same rounded photon total, or refuses the file with a reason.
  const std::size_t cut = text.find('\n');
  const std::string_view energy = text.substr(0, cut);
  const std::string_view rest =
      cut == std::string_view::npos ? std::string_view() : text.substr(cut + 1);
  const std::string_view count = rest.substr(0, rest.find('\n'));
  if (energy.find('\r') != std::string_view::npos || count.find('\r') != std::string_view::npos)
    return 0;  // a typed text holds no line end
  const std::string spectrum = dosavia::SpectrumFileName(energy);
  const std::string result = dosavia::ResultFileName(energy, count);
  const std::string total = dosavia::PhotonTotalText(count);
  const std::string written = dosavia::ConditionsFileText(spectrum, result, total);
  try {
    const RunConditions c = dosavia::ReadConditions(written);
    CheckConditions(c);
    FUZZ_CHECK(c.spectrum_file == AsRead(spectrum, true));
    FUZZ_CHECK(c.result_file == AsRead(result, false));
    float n = 0;
    if (dosavia::ParseReal(total, n)) FUZZ_CHECK(c.photon_total == n);
  } catch (const InputError& e) {
    CheckError(e);
  }
  return 0;
}
