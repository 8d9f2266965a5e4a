// The result file's companion: the run's own measure of its noise. Beside "10MV-30M.data"
// Kestrun writes "10MV-30M.stat", a text of
//   Kestrun run statistics 1
//   result_checksum 9f3c...          FNV-1a 64 of the result file's bytes, in hex
//   histories 300000
//   seed 0                           0: the fixed sequence of a run without --seed
//   without none                     or the --without words, blank-separated
//   transport accurate               only after a run in the accurate transport; a
//                                    companion without it describes an exact run
//   groups 16
//   kerma_maximum_keV 1.23456E+06    what the result file's ratios are relative to
//   uncertainty                      then 300 rows: bin, u(kerma), u(total) of the ten
//                                    fields, u(primary) of the ten fields
//   group 1                          then 300 rows: bin, kerma, total of the ten fields
//   ...                              (one such block per group)
// lines ended by CR LF, numbers in C's %E form. Every value is relative to the kerma
// maximum, as the result file's are. A group's rows are its estimate of the whole run (its
// sum times the number of groups), so the groups scatter about the result's curves; u is
// their standard deviation over the root of the number of groups, the standard
// uncertainty of the result's value (the normalisation's own noise, common to every bin,
// is not in it). The checksum ties the companion to the very result it describes: a result
// replaced by another run or another program no longer matches, and its readers fall back
// to an estimate from the curve alone.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/history_groups.h"
#include "engine/result_file.h"
#include "engine/run_seed.h"
#include "physics/physics_switches.h"

namespace dosavia {

inline constexpr const char* kRunStatisticsExtension = ".stat";

// The companion's name for a result named `result_file`: a final ".data" (in any case)
// replaced by ".stat", otherwise ".stat" appended, so that it never names the result
// itself. The folder part is kept.
std::string RunStatisticsFileName(std::string_view result_file);

// FNV-1a (64 bits) of `bytes`.
std::uint64_t ResultChecksum(std::string_view bytes);

struct RunStatistics {
  std::uint64_t result_checksum = 0;
  std::int64_t histories = 0;
  RunSeed seed = kDefaultSeed;
  PhysicsSwitches physics;
  int groups = kHistoryGroups;
  double kerma_maximum_kev = 0;
  // Curves, index 0 the primary kerma, 1..10 the total dose of field 1..10, 11..20 (in u
  // only) the primary dose of field 1..10; bins 1..300, element 0 unused.
  static constexpr int kKerma = 0;
  static constexpr int kGroupCurves = 1 + kFields;
  static constexpr int kUncertaintyCurves = 1 + 2 * kFields;
  using Curve = std::array<double, kDepthBins + 1>;
  std::array<Curve, kUncertaintyCurves> u{};
  std::vector<std::array<Curve, kGroupCurves>> group;  // [g][curve][bin]
};

// The statistics of a run from its groups' curves [keV] and the result's kerma maximum.
std::unique_ptr<RunStatistics> MakeRunStatistics(const GroupCurves& groups, float kerma_maximum_kev,
                                                 std::int64_t histories, RunSeed seed,
                                                 const PhysicsSwitches& physics,
                                                 std::uint64_t result_checksum);

std::string RunStatisticsText(const RunStatistics& statistics);

// Writes the companion atomically, as the result file is written. Throws WriteError.
void WriteRunStatisticsFile(const std::filesystem::path& path, const RunStatistics& statistics);

// Reads a companion as RunStatisticsText writes it; throws InputError naming `name`, the
// line and what was expected there for anything else.
std::unique_ptr<RunStatistics> ParseRunStatistics(std::string_view content, const std::string& name);

// The companion of the result at `result_path` whose bytes are `result_bytes`, when there
// is one that reads and matches them; null otherwise (none, unreadable, or written for
// another result), since a result stands without its companion.
std::unique_ptr<RunStatistics> ReadMatchingRunStatistics(const std::filesystem::path& result_path,
                                                         std::string_view result_bytes);

// A result file read with its statistics, when it has matching ones.
struct LoadedResult {
  std::unique_ptr<ResultTables> tables;
  std::unique_ptr<RunStatistics> statistics;  // null: none, unreadable or another run's
};

// Reads the result at `path` as ReadResultFile does (throwing its InputError), and its
// statistics beside it (ReadMatchingRunStatistics).
LoadedResult ReadResultWithStatistics(const std::filesystem::path& path,
                                      const std::string& display_name);

}  // namespace dosavia
