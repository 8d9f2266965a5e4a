// The visual screen's reading of an X-ray spectrum file: 400 pairs of photon energy [MeV]
// and relative weight in free format, turned into the energies and the normalised running
// sum that the visual run samples from. Plain C++ without Qt, so that the reading can be
// tested and fuzzed on its own.
#pragma once

#include <array>
#include <limits>
#include <string>
#include <string_view>

#include "engine/beam_geometry.h"

namespace dosavia::gui {

// One spectrum as the visual run uses it, 1-based like the file's records.
struct VisualSpectrum {
  std::array<double, kSpectrumBins + 1> energy{};      // photon energy of record i [keV]
  std::array<double, kSpectrumBins + 1> cumulative{};  // running sum / total; entry 400 is 1
};

// Reads the 400 records of `content` (numbers separated by blanks, commas or line ends),
// forms the running sum of the weights and divides it by the total. Throws InputError
// naming `display_name`, and where known the line, for fewer than 400 records, a value
// that is not a number, a negative weight, an energy too large to convert to keV, weights
// that sum to 0 or beyond the double range, and a record with weight whose energy is
// negative or above `highest_energy_kev` (the last row of the photon table: above it the
// attenuation would be extrapolated). Numbers after the 400th record are ignored.
VisualSpectrum ParseVisualSpectrum(
    std::string_view content, const std::string& display_name,
    double highest_energy_kev = std::numeric_limits<double>::infinity());

}  // namespace dosavia::gui
