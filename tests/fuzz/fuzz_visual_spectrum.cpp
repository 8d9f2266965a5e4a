// Fuzz target: the interactive program's free-format reading of a spectrum file. A spectrum that
// loads can be sampled: a running sum from 0 to exactly 1 whose every reachable record has
// an energy the photon table covers. One that does not names its file.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/spectrum_file.h"
#include "records/input_error.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// The last photon table energy of the shipped "water20.dat" [keV].
constexpr double kTableTopKeV = 22000.0;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace dosavia;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  FreeFormatSpectrum s;
  s.energy[7] = -1;  // a sentinel that a failed load must keep
  try {
    // Parsed into its own object first, as the screen does: assigning the call straight to
    // `s` lets the compiler build the result in place, so a throw could leave `s` half new.
    const FreeFormatSpectrum parsed = ParseFreeFormatSpectrum(text, "10MV.csv", kTableTopKeV);
    s = parsed;
  } catch (const InputError& e) {
    FUZZ_CHECK(e.file() == "10MV.csv");
    FUZZ_CHECK(e.line() >= 0);
    FUZZ_CHECK(s.energy[7] == -1);
    return 0;
  }
  FUZZ_CHECK(s.cumulative[kSpectrumBins] == 1.0);
  for (int i = 1; i <= kSpectrumBins; ++i) {
    FUZZ_CHECK(std::isfinite(s.energy[i]));
    FUZZ_CHECK(s.weight[i] >= 0 && std::isfinite(s.weight[i]));
    FUZZ_CHECK(s.cumulative[i] >= 0 && s.cumulative[i] <= 1);
    const double below = i > 1 ? s.cumulative[i - 1] : 0.0;
    FUZZ_CHECK(s.cumulative[i] >= below);
    // A record that sampling can pick (the first with cumulative above r).
    if (s.cumulative[i] > below) FUZZ_CHECK(s.energy[i] >= 0 && s.energy[i] <= kTableTopKeV);
  }
  return 0;
}
