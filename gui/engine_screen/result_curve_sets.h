// The curve sets of the depth-dose graph: each "描 画" adds the total, primary and scatter
// dose of one field of one result file, in a colour family of its own, so that sets of
// different energies and field sizes can be told apart; their legend text, and the CSV
// table of every drawn curve.
#pragma once

#include <QColor>
#include <QString>
#include <memory>
#include <span>
#include <string>

#include "models/curve_set_colors.h"

namespace dosavia {
struct ResultTables;
struct RunStatistics;
struct CurveTableRow;
struct InterfaceValues;
}  // namespace dosavia

namespace dosavia::gui {

class PictureBox;

// Colours of one set's three dose curves and of its own file's kerma.
struct CurveColors {
  QRgb total;
  QRgb primary;
  QRgb scatter;
  QRgb kerma;
};

// The colours of family `family`, one rule for Dosavia and the browser
// (models/curve_set_colors.h); families repeat after kColorFamilies.
inline constexpr int kColorFamilies = kCurveSetFamilies;
CurveColors ColorFamily(int family);

// The line pattern of a family's curves (models/curve_set_colors.h): `on` bins drawn, then
// `off` bins left out; off 0 is a solid line.
struct CurvePattern {
  int on = 1;
  int off = 0;
};
CurvePattern PatternOfFamily(int family);

// One drawn set: the dose curves of `field` (1..10) of a loaded result.
struct CurveSet {
  std::shared_ptr<const ResultTables> tables;
  int field = 8;
  QString file;    // the result file's name, as listed
  QString energy;  // "10 MV"; empty when the name does not say
  int family = 0;
  // Set when `tables` are the curves of a point source at `ssd_cm` made from these parallel
  // ones (models/clinical_geometry.h): the legend names the SSD, TPR20,10 comes from them.
  std::shared_ptr<const ResultTables> parallel;
  double ssd_cm = 0;
  // The run's statistics (its ".stat" file), when it has matching ones: the table's
  // uncertainties are then measured, and the seed and the switches are the run's own.
  std::shared_ptr<const RunStatistics> statistics;
  // The set's row of the value table, measured once (MeasureSet) rather than at every paint.
  std::shared_ptr<const CurveTableRow> row;
  // A run in a slab phantom: the water result of its beam that its re-build-up is read
  // against (null: none listed), and the values at its interfaces, which the table shows in
  // place of d_max (MeasureSet).
  std::shared_ptr<const ResultTables> water;
  std::shared_ptr<const RunStatistics> water_statistics;
  std::shared_ptr<const InterfaceValues> interfaces;
};

// The set with its value-table row measured (with its statistics, unless it shows a point
// source's curves, to which the parallel beam's groups do not apply), and a phantom run's
// interface values (always of the parallel beam, whose depths the layers are).
CurveSet MeasureSet(CurveSet set);

// The X-ray energy a result file's name carries: "10MV-30M.data" gives "10 MV"; empty when
// the name is not of that form.
QString EnergyOfResultName(const QString& file);

// "10 × 10 cm" for field column 1..10.
QString FieldSizeText(int field);

// The legend entry "energy, field, file" ("?" for an unknown energy), then the notes of the
// physics switched off, the seed and the SSD.
QString LegendText(const CurveSet& set);

// The legend entry in three parts: what comes before the file's name ("10 MV, 10 × 10 cm, "),
// the name, and the notes after it; a narrow key or table shortens only the name.
struct LegendParts {
  QString head;
  QString file;
  QString tail;
  // The head where even a shortened name would not fit beside it: the field alone ("10×10, "),
  // when the file's name says the energy; empty otherwise.
  QString compact_head;
};
LegendParts LegendTextParts(const CurveSet& set);

// The value table's name cell: LegendTextParts, and for a phantom set its interface values
// after the notes (InterfaceSummary), which take the place of its d_max.
LegendParts TableLegendParts(const CurveSet& set);

// Draws the compared sets over what is there: first the bands of a slab phantom
// (result_phantom_bands.h), then the kerma of `loaded` (the loaded file,
// black; none when null), then each set's own file's kerma in its family's kerma colour and
// pattern, then every set's total, primary and scatter curves (bins 1..299, as the graph's
// dose curves always end) in its colours and pattern. The kermas lie under all doses, so
// that a noisy kerma never hides a dose, and each compared file's kerma is told by colour.
void DrawCurveSets(PictureBox& picture, std::span<const CurveSet> sets,
                   const ResultTables* loaded = nullptr);

// What the picture's second title line says of the kerma drawn: the loaded file's name when
// every set is of its tables (or there are none), otherwise that each set's kerma is its own
// file's in its darker colour, and the loaded file's black where none of the sets is its.
QString KermaCaption(const ResultTables* loaded, const QString& loaded_file,
                     std::span<const CurveSet> sets);

// The drawn curves as CSV: a header row, then one row per depth bin: the bin's centre
// [cm], the kerma of `kerma` (when given, named after `kerma_file`), then total, primary and
// scatter of each set, as the file's ratios to the kerma maximum. UTF-8 with a byte-order
// mark so that a Japanese spreadsheet does not read it as Shift-JIS, CR LF line ends.
// `ssd_cm` > 0 says that the kerma is that of a point source at that SSD (the sets say their
// own geometry).
std::string CurvesCsvText(const ResultTables* kerma, const QString& kerma_file,
                          std::span<const CurveSet> sets, double ssd_cm = 0);

}  // namespace dosavia::gui
