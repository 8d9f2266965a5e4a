// The compared curve sets of the engine screen without the window system: the energy a
// result name carries, the legend text, the value table's row and the CSV of the drawn
// curves. Dosavia's table and CSV and the browser edition's both come from here.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "engine/result_file.h"
#include "engine/run_statistics.h"
#include "models/curve_metrics.h"

namespace dosavia {

// Field column of the 10 x 10 cm field, where TPR20,10 is defined.
inline constexpr int kReferenceFieldColumn = 8;

// The X-ray energy a result file's name carries: "10MV-30M.data" gives "10 MV" (the "MV-"
// in any case, after at least one character; a folder part is ignored); empty otherwise.
std::string EnergyOfResultFileName(std::string_view file);

// "10 × 10 cm" for field column 1..10.
std::string FieldSizeLabel(int field);

// What a legend says of a drawn set, besides its curves.
struct CurveLegendFacts {
  std::string_view energy;  // "10 MV"; empty when unknown
  int field = 8;
  std::string_view file;
  // The physics the run recorded (its run statistics); without them, the file's name tells.
  const PhysicsSwitches* physics = nullptr;
  RunSeed seed = kDefaultSeed;
  double ssd_cm = 0;  // > 0: the curves of a point source at this SSD
  // The slab phantom's layers the run recorded (RunStatistics::phantom) where `physics` is
  // given; without statistics the file's name tells (its phantom mark).
  std::string_view phantom;
};

// The legend entry in parts: what comes before the file's name ("10 MV, 10 × 10 cm, "), the
// name, and the notes after it: switched-off physics (" [なし: 電子・陽電子の輸送]"), so that
// such a run is never read as a full simulation, a seeded run's seed (", 乱数の種 7"), so that
// a class can tell its runs apart and repeat one, the slab phantom (", 肺スラブ (水 3 cm,
// 肺 10 cm)"), so that a phantom's curves are never read as water's, and the SSD (", SSD 100 cm");
// Japanese or English. A narrow key or table shortens only the name, or puts `compact_head`, the
// field alone ("10×10, "), before it where the name says the energy (empty otherwise).
struct CurveLegend {
  std::string head;
  std::string file;
  std::string tail;
  std::string compact_head;
  std::string Text() const { return head + file + tail; }
};
CurveLegend CurveLegendParts(const CurveLegendFacts& facts, bool english = false);

// The legend entry "energy, field, file" and its notes ("?" for an unknown energy), whole.
std::string CurveLegendText(std::string_view energy, int field, std::string_view file,
                            bool english = false);

// The note on switched-off physics that a legend or table row adds for a result name
// (" [without ...]"); empty for a full-physics name.
std::string SwitchedPhysicsNote(std::string_view file, bool english = false);
// The same for the switches a run recorded (its statistics), which no renaming changes.
std::string SwitchedPhysicsNote(const PhysicsSwitches& physics, bool english = false);

// The factor that puts a result's curves on the scale of its fitted surface kerma
// (FittedSurfaceKerma): drawn so, runs of one beam line up whatever their photon count,
// where the file's own scale (its noisiest kerma bin of the first 5 cm) moves them by the
// noise of that bin. 1 when the kerma cannot be fitted.
double DisplayScale(const ResultTables& tables);

// One row of the value table: the total dose of `field` of a result.
struct CurveTableRow {
  double dmax_cm = 0;
  double dmax_sigma_cm = -1;  // -1: not known
  double surface_percent = 0;
  double d10_percent = 0;
  double tpr2010 = 0;  // of the result's 10 x 10 cm field
  double tpr2010_sigma = -1;
  // Whether the uncertainties were measured from the run's history groups (its statistics
  // file) rather than estimated from the curve alone.
  bool measured = false;
  // What the curve lets a reader say of its build-up (ReadBuildUp): a d_max is shown only
  // where a build-up is established (ShowsDmax).
  BuildUp build_up = BuildUp::kYes;
  double surface_sigma_percent = -1;
  double d10_sigma_percent = -1;
  long long seed = -1;  // the run's seed; -1 when not known
  // "exact" or "accurate", the electron transport the run's statistics record; empty when
  // the result has none.
  std::string_view transport;
  // The slab phantom's layers the run's statistics record ("water 3 lung 10 water 17"),
  // "water" for a run in water; empty when the result has none.
  std::string phantom;
};

// Whether the row's d_max is shown as a number (DmaxReadable).
inline bool ShowsDmax(const CurveTableRow& row) {
  return row.dmax_cm > 0 && DmaxReadable(row.build_up, row.dmax_sigma_cm);
}

// The fewest histories whose groups measure a spread: below, some of the 16 groups hold
// fewer than 16 photons, each group's curve is one or two photons' tracks, and the run is
// too short for any number of it to be read.
inline constexpr std::int64_t kFewestMeasuredHistories = 16 * 16;

// The row of `field` of a result, with `statistics` (its matching statistics file, or null):
// the numbers from the result's curves, their uncertainties measured over the statistics'
// history groups (the jackknife) or, without statistics, the d_max
// uncertainty estimated from the curve's own noise and none for the others. A run of fewer
// than kFewestMeasuredHistories keeps no uncertainty and is read as too few photons.
// TPR20,10 is a ratio of the parallel beam (of constant field size): for the curves of a
// point source (ClinicalGeometryTables) pass the parallel tables they were made from as
// `beam_quality`, else the ratio would be a PDD20,10 under the heading of TPR20,10; the
// statistics then give only the run's seed (their groups are the parallel beam's).
CurveTableRow MeasureCurveSet(const ResultTables& tables, int field,
                              const RunStatistics* statistics = nullptr,
                              const ResultTables* beam_quality = nullptr);

// A row of the value table as it is shown, on the screen and in a saved picture alike:
// d_max with its uncertainty ("2.88 ± 0.15", the uncertainty at least 0.01 so that a smooth
// curve does not claim an exact maximum; "2.88 ± 0.15*" where it is estimated from the curve
// alone), surface and D10 in per cent to one decimal with their measured uncertainties,
// TPR20,10 to three with its measured uncertainty; "—" where a number is not known (a curve
// without a maximum); for a curve without build-up, or one of too few photons to tell, the
// words that say so in place of a d_max.
struct CurveTableCells {
  std::string dmax;
  std::string surface;
  std::string d10;
  std::string tpr;
};
CurveTableCells CurveTableText(const CurveTableRow& row, bool english = false);

// The value table as tab-separated UTF-8 text for a spreadsheet or a script: a header row
// of machine names (set, energy, field_cm, d_max_cm, d_max_u_cm, surface_pct, surface_u_pct,
// d10_pct, d10_u_pct, tpr20_10, tpr20_10_u, build_up, uncertainty, seed, ssd_cm, transport,
// phantom), then one row per set; an unknown number is an empty cell, build_up is "yes",
// "none" or "unknown" (too few photons to tell; d_max_cm is then empty), uncertainty
// "measured" or "estimated", ssd_cm the point source's SSD, empty for the parallel beam,
// transport "exact" or "accurate" and phantom "water" or the slab phantom's layers (both
// empty without statistics). LF line ends.
struct TableTsvRow {
  std::string set;     // the result file's name
  std::string energy;  // "10 MV"; empty when unknown
  int field = 8;
  CurveTableRow row;
  double ssd_cm = 0;  // the curves of a point source at this SSD; 0: the parallel beam
};
std::string CurveTableTsv(std::span<const TableTsvRow> rows);

// A drawn set as the CSV names it.
struct CsvCurveSet {
  const ResultTables* tables = nullptr;
  int field = 8;
  std::string energy;  // "10 MV"; empty when unknown
  std::string file;
  // The run's statistics, whose record names a slab phantom's layers; without them a
  // preset's mark in the file's name tells.
  const RunStatistics* statistics = nullptr;
};

// The column names in the interface language.
struct CurveCsvNames {
  std::string depth;                // "深さ [cm]"
  std::string kerma;                // "一次線水カーマ"
  std::array<std::string, 3> dose;  // total, primary, scatter
  // After every value column's name: what the numbers are relative to, since a result file
  // holds ratios, not grays ("（0～5 cm の一次線水カーマ最大値 = 1）"); none when empty.
  std::string relative;
  bool english = false;  // the language of the phantom's name after a phantom set's columns
};

// A header row, then one row per depth bin: the bin's centre [cm], the kerma of `kerma`
// (when given, named after `kerma_file`), then total, primary and scatter of each set (a
// phantom set's named with its layers as the legend names them, so that a spreadsheet never
// reads a slab's curve as water's), each
// set of other tables led by their own kerma (once per tables), as
// the file's ratios to its kerma maximum in the first 5 cm (each value column's name says
// so with `relative`), six significant digits. UTF-8 with a byte-order
// mark so that a Japanese spreadsheet does not read it as Shift-JIS, CR LF line ends.
std::string CurvesCsvText(const ResultTables* kerma, std::string_view kerma_file,
                          std::span<const CsvCurveSet> sets, const CurveCsvNames& names);

}  // namespace dosavia
