// The run's frame over the beam spectrum: the relative intensities of the 400 bins become the
// share of the photon total that each bin runs.
#pragma once

#include <cstdint>

#include "engine/spectrum_file.h"

namespace dosavia {

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
