// The result file: the primary kerma and the field depth doses divided by the largest primary
// kerma of the first 5 cm, 600 records "(I4,11E11.4)", primary block then scatter block.
#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "engine/beam_geometry.h"
#include "engine/dose_tally.h"
#include "engine/field_superposition.h"

namespace dosavia {

inline constexpr const char* kResultRecordFormat = "(I4,11E11.4)";
inline constexpr int kResultRecordsPerBlock = kSlabs;           // one record per depth bin
inline constexpr int kResultRecords = 2 * kResultRecordsPerBlock;  // primary, then scatter
inline constexpr int kResultRecordLength = 4 + 11 * 11;           // [characters]
inline constexpr int kNormalisationBins = 50;                    // the first 5 cm

// The tables as written: ratios to the normalisation value, 1-based.
struct NormalisedResults {
  float kmax = 0;                              // [keV]
  std::array<float, kKermaBins + 1> kerma{};   // K(j) / Kmax
  FieldDoseTable field;                        // D(c, l, j) / Kmax
};

// The largest primary kerma among bins 1..50 [keV]; 0 when none was scored.
float KermaMaximum(const DoseTally& tally);

// Divides the field doses and the kerma by KermaMaximum in float. Throws EngineError when
// no primary kerma was scored in the first 5 cm (too few histories), instead of dividing
// by zero.
NormalisedResults Normalise(const DoseTally& tally, const FieldDoseTable& field);

// The 600 records, each ended by CR LF.
std::string ResultFileText(const NormalisedResults& results);

// Writes the file under a temporary name in the same folder and renames it into place, so
// that a reader never sees half a file and a failure leaves an earlier file untouched.
// Throws std::runtime_error when any write fails.
void WriteResultFile(const std::filesystem::path& path, const NormalisedResults& results);

}  // namespace dosavia
