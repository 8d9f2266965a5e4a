// Inputs that the engine tests build for themselves: spectra, conditions, result tables and
// a grid of the engine's slab thicknesses.
#pragma once

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "engine/beam_geometry.h"
#include "engine/result_file.h"
#include "engine/spectrum_file.h"
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
  const FixedFormat format(kSpectrumRecordFormat);
  std::string s;
  for (int i = 1; i <= records; ++i)
    s += format.WriteRecord({BinEnergy(i) / 1000.0, ", ", intensity[i]}) + "\r\n";
  return s;
}

// A smooth build-up curve and field columns that differ from each other, so a curve taken
// from the wrong column, block or record shows up; all values lie between 0 and 1.2.
inline NormalisedResults SyntheticResults(float scale = 1.0f) {
  NormalisedResults r;
  r.kmax = 1.0f;
  for (int j = 1; j <= kKermaBins; ++j) {
    const float depth = 0.1f * static_cast<float>(j);  // [cm]
    r.kerma[j] = scale * std::exp(-0.045f * depth) * (j < 20 ? 0.9f + 0.005f * j : 1.0f);
    for (int l = 1; l <= kFields; ++l) {
      const float buildup = 1.0f - std::exp(-depth / (0.6f + 0.02f * l));
      r.field.at(kPrimary, l, j) = r.kerma[j] * buildup * (0.55f + 0.03f * l);
      r.field.at(kScatter, l, j) = scale * 0.012f * l * (1.0f - std::exp(-depth / 3.0f));
    }
  }
  return r;
}

// The engine's 300 slab thicknesses of 0.1 cm, 1-based.
inline std::array<float, kSlabs + 1> EngineSlabWidths() {
  std::array<float, kSlabs + 1> w{};
  for (int k = 1; k <= kSlabs; ++k) w[k] = 0.1f;
  return w;
}

}  // namespace dosavia::testing
