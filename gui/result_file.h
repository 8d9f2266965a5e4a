// The non-visual screen's reading of a Kestrun result file: 2 blocks of 300 depth-bin
// records (primary, then scatter), each holding the bin index, the primary water kerma and
// the dose of the ten square fields, all relative to the kerma maximum of the first 5 cm.
#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "engine/beam_geometry.h"

namespace dosavia::gui {

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

// Why a load failed; `message` names the file and, where known, the line.
struct ResultFileProblem {
  std::string message;
};

// Reads the 2 x 300 records from `content` as a stream of numbers separated by blanks,
// commas or line ends, discarding each record's index, and forms the total dose as
// primary plus scatter. Returns null (and the reason in `problem` when given) when fewer
// than 7200 numbers come or one of them is not a finite number within the single-precision
// range that the engine writes. Numbers after the last record are ignored.
std::unique_ptr<ResultTables> ParseResultFile(std::string_view content, const std::string& name,
                                              ResultFileProblem* problem = nullptr);

// Opens and parses the result file at `path` (see ParseResultFile), naming it
// `display_name` in problems; a file that cannot be opened or read is a failure too. Only
// the first megabytes are read, far more than 600 records need, so a stray large "*.data"
// file cannot exhaust memory.
std::unique_ptr<ResultTables> ReadResultFile(const std::filesystem::path& path,
                                             const std::string& display_name,
                                             ResultFileProblem* problem = nullptr);

}  // namespace dosavia::gui
