// Inputs that the engine tests build for themselves: spectra, conditions and a grid of
// the engine's slab thicknesses.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/beam_geometry.h"
#include "records/fixed_format.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace dosavia::testing {

// A scratch folder name of this process, so that test runs of several build trees at once
// do not share folders.
inline std::string ScratchName(const std::string& base) {
#ifdef _WIN32
  return base + "_" + std::to_string(_getpid());
#else
  return base + "_" + std::to_string(getpid());
#endif
}

// 400 intensities, all zero.
inline std::array<double, kSpectrumBins + 1> ZeroSpectrum() { return {}; }

// A spectrum file as the engine reads it: "(F6.3,A2,E9.3)", bin centre energy [MeV], ", ",
// intensity, one record per bin, CR LF.
inline std::string SpectrumText(const std::array<double, kSpectrumBins + 1>& intensity,
                                int records = kSpectrumBins) {
  const FixedFormat format("(F6.3,A2,E9.3)");
  std::string s;
  for (int i = 1; i <= records; ++i)
    s += format.WriteRecord({0.05 * i - 0.025, ", ", intensity[i]}) + "\r\n";
  return s;
}

// The engine's 300 slab thicknesses of 0.1 cm, 1-based.
inline std::array<float, kSlabs + 1> EngineSlabWidths() {
  std::array<float, kSlabs + 1> w{};
  for (int k = 1; k <= kSlabs; ++k) w[k] = 0.1f;
  return w;
}

}  // namespace dosavia::testing
