// The X-ray spectrum file ("10MV.csv"): one record per 50 keV bin from 0 to 20 MeV, the bin's
// centre energy [MeV] and its relative number of photons. Kestrun reads it by its fixed
// columns; the interactive program reads the same records as free-format numbers.
#pragma once

#include <array>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>

namespace dosavia {

// Spectrum bins of 50 keV from 0 to 20 MeV, one record each, indexed 1..400.
inline constexpr int kSpectrumBins = 400;
inline constexpr float kSpectrumBinWidthKeV = 50.0f;

// Centre energy of spectrum bin i [keV]: 50 i - 25.
inline float BinEnergy(int i) {
  return kSpectrumBinWidthKeV * static_cast<float>(i) - kSpectrumBinWidthKeV / 2;
}

// Kestrun's reading.

// One record per bin: energy [MeV] (read and not used), a 2-character separator, intensity.
inline constexpr const char* kSpectrumRecordFormat = "(F6.3,A2,E9.3)";

// The normalised spectrum of one run, 1-based.
struct BeamSpectrum {
  std::array<float, kSpectrumBins + 1> weight{};  // W(i): intensity / sum, in float
  float sum = 0;                                  // S: running float sum in record order
  int imax = 0;                                   // the last bin with W(i) > 0
};

// Reads the 400 records and normalises them. Throws InputError naming the file, the line
// and the field for a missing record, a field that is not a number, a negative intensity,
// or a spectrum without any positive intensity (nothing to simulate, no weight defined).
BeamSpectrum ReadBeamSpectrum(std::string_view content, const std::string& display_name);

// Reads an existing file only; a missing file is an InputError.
BeamSpectrum ReadBeamSpectrumFile(const std::filesystem::path& path,
                                  const std::string& display_name);

// The spectrum that line 1 of Joken.dat names, at `path`. When the file itself cannot be
// read, the report names the line of Joken.dat and quotes the name: a stray character in
// Joken.dat is then seen at once, instead of "cannot open 10MV.csv" beside a 10MV.csv that
// exists.
BeamSpectrum ReadSpectrumNamedInConditions(const std::filesystem::path& path,
                                           const std::string& name);

// Throws InputError naming the spectrum file and the record of the highest bin with weight
// when that bin's centre energy lies above `highest_table_energy_kev`, the last row of the
// photon table: its photons would run on extrapolated attenuation coefficients.
void CheckSpectrumWithinTable(const BeamSpectrum& spectrum, float highest_table_energy_kev,
                              const std::string& display_name);

// The interactive program's reading, shared by the visual run and the spectrum page.

// The records as read, 1-based, with the normalised running sum the visual run samples from.
struct FreeFormatSpectrum {
  std::array<double, kSpectrumBins + 1> energy_mev{};  // photon energy of record i, as written
  std::array<double, kSpectrumBins + 1> energy{};      // the same [keV]
  std::array<double, kSpectrumBins + 1> weight{};      // relative number of photons
  std::array<double, kSpectrumBins + 1> cumulative{};  // running sum / total; entry 400 is 1
};

// Reads the 400 records of `content` (numbers separated by blanks, commas or line ends),
// forms the running sum of the weights and divides it by the total. Throws InputError
// naming `display_name`, and where known the line, for fewer than 400 records, a value
// that is not a number, a negative weight, an energy too large to convert to keV, weights
// that sum to 0 or beyond the double range, and a record with weight whose energy is
// negative or above `highest_energy_kev` (the last row of the photon table: above it the
// attenuation would be extrapolated). Numbers after the 400th record are ignored.
FreeFormatSpectrum ParseFreeFormatSpectrum(
    std::string_view content, const std::string& display_name,
    double highest_energy_kev = std::numeric_limits<double>::infinity());

// Reads the file at `path` (see ParseFreeFormatSpectrum); a missing file is an InputError.
FreeFormatSpectrum ReadFreeFormatSpectrumFile(
    const std::string& path, const std::string& display_name,
    double highest_energy_kev = std::numeric_limits<double>::infinity());

}  // namespace dosavia
