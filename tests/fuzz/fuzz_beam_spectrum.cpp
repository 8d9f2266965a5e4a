// Fuzz target: the engine's reading of a beam spectrum file, "(F6.3,A2,E9.3)" records. A
// spectrum that loads gives weights the run can use; one that does not names its file and
// line.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/beam_geometry.h"
#include "engine/beam_spectrum.h"
#include "engine/conditions_file.h"
#include "engine/spectrum_file.h"
#include "records/input_error.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace dosavia;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  BeamSpectrum s;
  try {
    s = ReadBeamSpectrum(text, "10MV.csv");
  } catch (const InputError& e) {
    FUZZ_CHECK(e.file() == "10MV.csv");
    FUZZ_CHECK(e.line() >= 0 && e.line() <= kSpectrumBins + 1);
    return 0;
  }
  FUZZ_CHECK(std::isfinite(s.sum) && s.sum > 0);
  FUZZ_CHECK(s.imax >= 1 && s.imax <= kSpectrumBins);
  FUZZ_CHECK(s.weight[s.imax] > 0);
  double total = 0;
  double histories = 0;
  for (int i = 1; i <= kSpectrumBins; ++i) {
    const float w = s.weight[i];
    FUZZ_CHECK(std::isfinite(w) && w >= 0 && w <= 1);
    if (i > s.imax) FUZZ_CHECK(w == 0);
    total += w;
    // The largest photon total keeps every bin's count within 32 bits.
    const std::int32_t h = HistoriesInBin(w, kMaxPhotonTotal);
    FUZZ_CHECK(h >= 0);
    histories += h;
  }
  // Float sums of non-negative numbers: relative error at most 400 roundings.
  FUZZ_CHECK(std::fabs(total - 1.0) < 1e-4);
  FUZZ_CHECK(histories <= static_cast<double>(kMaxPhotonTotal) * (1 + 1e-4));

  // Both programs read one beam from one file: where the interactive program's free-format
  // reading also accepts it, every bin's share agrees to float precision.
  try {
    const FreeFormatSpectrum free = ParseFreeFormatSpectrum(text, "10MV.csv", 1e30);
    const double free_total = free.cumulative[kSpectrumBins] > 0 ? 1.0 : 0.0;
    double running = 0;
    for (int i = 1; i <= kSpectrumBins && free_total > 0; ++i) {
      const double share = free.cumulative[i] - running;
      running = free.cumulative[i];
      FUZZ_CHECK(std::fabs(share - s.weight[i]) <= 1e-4 * (share + s.weight[i]) + 1e-6);
    }
  } catch (const InputError&) {
  }

  // The highest weighted bin decides whether the photon table covers the spectrum.
  const float top = BinEnergy(s.imax);
  CheckSpectrumWithinTable(s, top, "10MV.csv");
  try {
    CheckSpectrumWithinTable(s, top - 1.0f, "10MV.csv");
    FUZZ_CHECK(false);
  } catch (const InputError& e) {
    FUZZ_CHECK(e.file() == "10MV.csv" && e.line() == s.imax);
  }
  return 0;
}
