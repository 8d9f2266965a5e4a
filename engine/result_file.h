// The result file: the primary kerma and the field depth doses divided by the largest primary
// kerma of the first 5 cm, 600 records "(I4,11E11.4)", primary block then scatter block.
// Kestrun writes it; the interactive program reads it back as free-format numbers.
#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "engine/beam_geometry.h"
#include "engine/dose_tally.h"
#include "engine/field_superposition.h"
#include "physics/slab_layers.h"

namespace dosavia {

inline constexpr const char* kResultRecordFormat = "(I4,11E11.4)";
inline constexpr int kResultRecordsPerBlock = kSlabs;              // one record per depth bin
inline constexpr int kResultRecords = 2 * kResultRecordsPerBlock;  // primary, then scatter
inline constexpr int kResultRecordLength = 4 + 11 * 11;            // [characters]
inline constexpr int kNormalisationBins = 50;                      // the first 5 cm

// The tables as written: ratios to the normalisation value, 1-based.
struct NormalisedResults {
  float kmax = 0;                             // [keV]
  std::array<float, kKermaBins + 1> kerma{};  // K(j) / Kmax
  FieldDoseTable field;                       // D(c, l, j) / Kmax
};

// The largest primary kerma among bins 1..50 [keV]; 0 when none was scored. In a slab phantom
// (`layers`) only the bins in water count where the first 5 cm hold any: the kerma per mass of
// a thin material is scored from few interactions (in 1 mm of air one in a few hundred of
// water's), so its largest bin is a peak of noise that would scale every curve of the run
// down at random; water's kerma at the surface is what a plain run is normalised to, and
// with it a phantom's curves and water's compare as they are.
float KermaMaximum(const DoseTally& tally, const SlabLayers<float>* layers = nullptr);

// Divides the field doses and the kerma by KermaMaximum in float. Throws EngineError when
// no primary kerma was scored in the first 5 cm (too few histories), instead of dividing
// by zero.
NormalisedResults Normalise(const DoseTally& tally, const FieldDoseTable& field,
                            const SlabLayers<float>* layers = nullptr);

// The 600 records, each ended by CR LF.
std::string ResultFileText(const NormalisedResults& results);

// Writes the file under a temporary name in the same folder and renames it into place, so
// that a reader never sees half a file and a failure leaves an earlier file untouched.
// Throws WriteError when any write fails.
void WriteResultFile(const std::filesystem::path& path, const NormalisedResults& results);

// The interactive program's reading.

// Depth bins of 1 mm along the central axis, 0 to 30 cm: one record per bin and block.
inline constexpr int kDepthBins = kKermaBins;
// Square fields in the file (kFieldSideCm: 1, 2, 3, 4, 5, 6, 8, 10, 15 and 20 cm).
inline constexpr int kFieldColumns = kFields;
// Numbers per record: the bin index, the kerma and the ten fields.
inline constexpr int kNumbersPerRecord = 2 + kFieldColumns;
// Dose components of the tables: the total water absorbed dose and its two parts.
inline constexpr int kTotalDose = 0;
inline constexpr int kPrimaryDose = 1;
inline constexpr int kScatterDose = 2;

// The curves of one loaded result file, indexed from 1 as the file's records are.
struct ResultTables {
  // Primary-photon water kerma of depth bin i = 1..300 [relative to the kerma maximum].
  std::array<double, kDepthBins + 1> Kerma{};
  // DoseTable[k][j][i]: component k (0 total, 1 primary, 2 scatter), field column
  // j = 1..10, depth bin i = 1..300 [relative to the kerma maximum].
  std::array<std::array<std::array<double, kDepthBins + 1>, kFieldColumns + 1>, 3> DoseTable{};
};

// Reads the 2 x 300 records from `content` as a stream of numbers separated by blanks,
// commas or line ends, discarding each record's index, and forms the total dose as
// primary plus scatter. Throws InputError naming `name` and the line when fewer than 7200
// numbers come or one of them is not a finite number within the single-precision range
// that the engine writes, or when the text is longer than kMaxInputFileBytes (the limit of
// every reader of the program). Numbers after the last record are ignored. Never returns
// null.
std::unique_ptr<ResultTables> ParseResultFile(std::string_view content, const std::string& name);

// Opens and parses the result file at `path` (see ParseResultFile), naming it
// `display_name` in the InputError; a file that cannot be opened or read, is not a regular
// file, or is larger than kMaxInputFileBytes is one too (it is refused before it is read,
// so a stray large "*.data" file cannot exhaust memory).
std::unique_ptr<ResultTables> ReadResultFile(const std::filesystem::path& path,
                                             const std::string& display_name);

}  // namespace dosavia
