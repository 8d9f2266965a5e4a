// The compared curve sets of the engine screen without the window system: the energy a
// result name carries, the legend text, the value table's row and the CSV of the drawn
// curves. Dosavia's table and CSV and the browser edition's both come from here.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "engine/result_file.h"

namespace dosavia {

// Field column of the 10 x 10 cm field, where TPR20,10 is defined.
inline constexpr int kReferenceFieldColumn = 8;

// The X-ray energy a result file's name carries: "10MV-30M.data" gives "10 MV" (the "MV-"
// in any case, after at least one character; a folder part is ignored); empty otherwise.
std::string EnergyOfResultFileName(std::string_view file);

// "10 × 10 cm" for field column 1..10.
std::string FieldSizeLabel(int field);

// The legend entry "energy, field, file" ("?" for an unknown energy). A result whose name
// carries the tag of switched-off physics says so after it, in Japanese or English
// ("10 MV, 10 × 10 cm, 10MV-30M-noe.data [なし: 電子・陽電子の輸送]"), so that it is never
// read as a full simulation.
std::string CurveLegendText(std::string_view energy, int field, std::string_view file,
                            bool english = false);

// The note on switched-off physics that a legend or table row adds for a result name
// (" [without ...]"); empty for a full-physics name.
std::string SwitchedPhysicsNote(std::string_view file, bool english = false);

// One row of the value table: the total dose of `field` of a result.
struct CurveTableRow {
  double dmax_cm = 0;
  double dmax_sigma_cm = -1;  // -1: not known
  double surface_percent = 0;
  double d10_percent = 0;
  double tpr2010 = 0;  // of the result's 10 x 10 cm field
  double tpr2010_sigma = -1;
};
// TPR20,10 is a ratio of the parallel beam (of constant field size): for the curves of a
// point source (ClinicalGeometryTables) pass the parallel tables they were made from as
// `beam_quality`, else the ratio would be a PDD20,10 under the heading of TPR20,10.
CurveTableRow MeasureCurveSet(const ResultTables& tables, int field,
                              const ResultTables* beam_quality = nullptr);

// A row of the value table as it is shown, on the screen and in a saved picture alike:
// d_max with the uncertainty of its fit ("2.88 ± 0.15", the uncertainty at least 0.01 so
// that a smooth curve does not claim an exact maximum), surface and D10 in per cent to one
// decimal, TPR20,10 to three; "—" where a number is not known (a curve without a maximum).
struct CurveTableCells {
  std::string dmax;
  std::string surface;
  std::string d10;
  std::string tpr;
};
CurveTableCells CurveTableText(const CurveTableRow& row);

// A drawn set as the CSV names it.
struct CsvCurveSet {
  const ResultTables* tables = nullptr;
  int field = 8;
  std::string energy;  // "10 MV"; empty when unknown
  std::string file;
};

// The column names in the interface language.
struct CurveCsvNames {
  std::string depth;                // "深さ [cm]"
  std::string kerma;                // "一次線水カーマ"
  std::array<std::string, 3> dose;  // total, primary, scatter
  // After every value column's name: what the numbers are relative to, since a result file
  // holds ratios, not grays ("（0～5 cm の一次線水カーマ最大値 = 1）"); none when empty.
  std::string relative;
};

// A header row, then one row per depth bin: the bin's centre [cm], the kerma of `kerma`
// (when given, named after `kerma_file`), then total, primary and scatter of each set, as
// the file's ratios to its kerma maximum in the first 5 cm (each value column's name says
// so with `relative`), six significant digits. UTF-8 with a byte-order
// mark so that a Japanese spreadsheet does not read it as Shift-JIS, CR LF line ends.
std::string CurvesCsvText(const ResultTables* kerma, std::string_view kerma_file,
                          std::span<const CsvCurveSet> sets, const CurveCsvNames& names);

}  // namespace dosavia
