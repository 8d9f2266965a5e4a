// The beam spectrum of one run: 400 bins of 50 keV whose relative intensities become the
// share of the photon total that each bin runs.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "engine/beam_geometry.h"

namespace dosavia {

// One record per bin: energy [MeV] (read and not used), a 2-character separator, intensity.
inline constexpr const char* kSpectrumRecordFormat = "(F6.3,A2,E9.3)";

// The normalised spectrum, 1-based.
struct BeamSpectrum {
  std::array<float, kSpectrumBins + 1> weight{};  // W(i): intensity / sum, in float
  float sum = 0;                                  // S: running float sum in record order
  int imax = 0;                                   // the last bin with W(i) > 0
};

// Reads the 400 records and normalises them. Throws InputError naming the file, the line
// and the field for a missing record, a field that is not a number, a negative intensity,
// or a spectrum without any positive intensity (nothing to simulate, no weight defined).
BeamSpectrum ReadBeamSpectrum(std::string_view content, const std::string& display_name);

// Throws InputError naming the spectrum file and the record of the highest bin with weight
// when that bin's centre energy lies above `highest_table_energy_kev`, the last row of the
// photon table: its photons would run on extrapolated attenuation coefficients.
void CheckSpectrumWithinTable(const BeamSpectrum& spectrum, float highest_table_energy_kev,
                              const std::string& display_name);

// Reads an existing file only; a missing file is an InputError.
BeamSpectrum ReadBeamSpectrumFile(const std::filesystem::path& path, const std::string& display_name);

// Histories of a bin: trunc(w N), the product formed exactly from the two floats.
// N must lie within 0..kMaxPhotonTotal, so that the count fits 32 bits.
std::int32_t HistoriesInBin(float w, float n);

// The run's frame over the spectrum: bins 1..400 in increasing order; a bin of weight 0 is
// passed over silently; every other bin calls on_bin(i) and then run_history(E) trunc(W(i) N)
// times with its centre energy E [keV]. Returns the number of histories run.
template <typename OnBin, typename RunHistory>
std::int64_t RunSpectrumBins(const BeamSpectrum& spectrum, float n, OnBin&& on_bin,
                             RunHistory&& run_history) {
  std::int64_t total = 0;
  for (int i = 1; i <= kSpectrumBins; ++i) {
    if (spectrum.weight[i] == 0.0f) continue;
    on_bin(i);
    const std::int32_t histories = HistoriesInBin(spectrum.weight[i], n);
    const float energy = BinEnergy(i);
    for (std::int32_t h = 1; h <= histories; ++h) run_history(energy);
    total += histories;
  }
  return total;
}

}  // namespace dosavia
