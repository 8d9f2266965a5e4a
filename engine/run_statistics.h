// The result file's companion: the run's own measure of its noise. Beside "10MV-30M.data"
// Kestrun writes "10MV-30M.stat", a text of
//   Kestrun run statistics 2
//   result_checksum 9f3c...          FNV-1a 64 of the result file's bytes, in hex
//   histories 300000
//   seed 0                           0: the fixed sequence of a run without --seed
//   without none                     or the --without words, blank-separated
//   transport accurate               only after a run in the accurate transport; a
//                                    companion without it describes an exact run
//   phantom water 3 lung 10 water 17 only after a run in a slab phantom: its layers [cm]
//                                    (further "key value" records may follow here)
//   groups 16
//   kerma_maximum_keV 1.23456E+06    what the result file's ratios are relative to
//   curve kerma                      then 300 rows "bin m q d1 ... d16": group g's value
//   ...                              at that depth is m + q * dg, m the groups' mean to
//   curve total 1                    five digits, q a step of two digits, dg whole numbers
//   ...                              of at most 99 steps; then the same for the total dose
//   curve total 10                   of the ten fields; nothing after the last row
// lines ended by CR LF. Every value is relative to the kerma maximum, as the result file's
// are. A group's values are its estimate of the whole run (its sum times the number of
// groups), so the groups scatter about the result's curves; their standard deviation over
// the root of the number of groups is the standard uncertainty of the result's value (the
// normalisation's own noise, common to every bin, is not in it). The steps keep the
// groups' scatter to about a hundredth of itself: the file is some three times the result,
// where the groups' full numbers made it ten times. The checksum ties the companion to the
// very result it describes: a result replaced by another run or another program no longer
// matches, and its readers fall back to an estimate from the curve alone; so do they for
// statistics that cannot be a run's (StatisticsProblem).
//
// Version 1 files ("Kestrun run statistics 1", written until the format above) are read as
// before: after kerma_maximum_keV a block "uncertainty" of 300 rows (bin, u of the kerma,
// of the ten fields' total and primary dose), then "group 1" ... "group 16", each 300 rows
// of bin, kerma and the ten totals in C's %E form.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/history_groups.h"
#include "engine/result_file.h"
#include "engine/run_seed.h"
#include "records/file_io.h"
#include "physics/physics_switches.h"
#include "records/problem.h"

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
  std::string phantom;  // a slab phantom's layers ("water 3 lung 10 water 17"); empty: water
  int groups = kHistoryGroups;
  double kerma_maximum_kev = 0;
  // Records of the header this version does not know ("key value ..."), kept as read.
  std::vector<std::string> other_records;
  // Curves, index 0 the primary kerma, 1..10 the total dose of field 1..10, 11..20 (in u
  // only, and only as the run made them or a version 1 file holds them) the primary dose of
  // field 1..10; bins 1..300, element 0 unused.
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

// Reads a companion as RunStatisticsText writes it, or one of version 1; throws InputError
// naming `name`, the line and what was expected there for anything else, text after the last
// row included. The u of a version 2 file are made from its groups.
std::unique_ptr<RunStatistics> ParseRunStatistics(std::string_view content,
                                                  const std::string& name);

// Whether the file at `path` (followed through a link) reads as run statistics.
bool IsRunStatisticsFile(const std::filesystem::path& path);

// Why statistics that read cannot be the measure of `result`'s noise: not 16 groups, a value
// that is not finite, a group's dose below zero, the groups' mean away from the result's
// curve by more than the result's rounding and three uncertainties (no more than the
// result's value: groups of dose never below zero spread no further), or groups that do not
// scatter over most of a field's curve (a run too short to measure its noise, or numbers
// edited); none when they can. The problem names `name`.
std::optional<Problem> StatisticsProblem(const RunStatistics& statistics,
                                         const ResultTables& result, const std::string& name);

// Statistics for a result, or why there are none to use.
struct MatchedStatistics {
  std::unique_ptr<RunStatistics> statistics;  // null: none to use
  // Why a companion there is not used (unreadable, another result's, implausible); none
  // when there is no companion or it is used.
  std::optional<Problem> problem;
};

// The companion's text `content` (named `name`) taken for the result of `result_bytes`,
// read as `result`.
MatchedStatistics MatchRunStatistics(std::string_view content, const std::string& name,
                                     std::string_view result_bytes, const ResultTables& result);

// The companion of the result at `result_path` whose bytes are `result_bytes` and tables
// `result`, when there is one that reads, matches them (its checksum) and is plausible.
MatchedStatistics ReadMatchingRunStatistics(const std::filesystem::path& result_path,
                                            std::string_view result_bytes,
                                            const ResultTables& result);

// A result file read with its statistics, when it has matching ones.
struct LoadedResult {
  std::unique_ptr<ResultTables> tables;
  std::unique_ptr<RunStatistics> statistics;  // null: none, unreadable or another run's
  std::optional<Problem> statistics_problem;  // why a companion there is not used
};

// Reads the result at `path` as ReadResultFile does (throwing its InputError), and its
// statistics beside it (ReadMatchingRunStatistics).
LoadedResult ReadResultWithStatistics(const std::filesystem::path& path,
                                      const std::string& display_name);

// The writing of a run's pair of files.

// Throws WriteError naming `path` unless the companion may be written there: a new name, or
// a file of the same folder that reads as run statistics. A link that leads to another
// folder is never written through (it would turn another folder's file into statistics),
// and no other file is replaced (a user's "notes.stat", a result named "X.stat").
void CheckStatisticsTarget(const std::filesystem::path& path);

// Before any history runs: whether the result at `result_path` and its companion can be
// written and renamed into place (CheckNotProgramFile, CheckCanWrite, CheckStatisticsTarget);
// throws WriteError naming the file that cannot.
void CheckResultPairTargets(const std::filesystem::path& result_path);

// The lock a run holds on its result's name while it runs (WriteLock on the result, with the
// companion's temporary files cleared too).
std::unique_ptr<WriteLock> LockResultPair(const std::filesystem::path& result_path);

// Writes the result, then its companion: both are written in full before either is put in
// place, the result first, so that a run killed between the two renames leaves its new
// result with statistics that match nothing, never an earlier result with new statistics.
// Throws WriteError when the result cannot be written (nothing then changed). When only the
// statistics cannot be, the result stands and the problem is returned, for the console to
// say that the uncertainties were not written.
std::optional<Problem> WriteResultWithStatistics(const std::filesystem::path& result_path,
                                                 const NormalisedResults& results,
                                                 const RunStatistics& statistics);

}  // namespace dosavia
