#include "gui/engine_screen/result_curve_sets.h"

#include <QFileInfo>
#include <charconv>
#include <vector>

#include "engine/beam_geometry.h"
#include "engine/conditions_file.h"
#include "engine/result_file.h"
#include "models/curve_metrics.h"
#include "models/curve_table.h"
#include "gui/engine_screen/result_depth_dose_plot.h"
#include "gui/app/language.h"

namespace dosavia::gui {

namespace {

// Shades readable on white and apart from each other and from the black kerma curve.
constexpr CurveColors kFamilies[kColorFamilies] = {
    {kTotalDoseColor, kPrimaryDoseColor, kScatterDoseColor},
    {qRgb(0, 0, 128), qRgb(150, 0, 0), qRgb(0, 120, 0)},
    {qRgb(0, 150, 230), qRgb(255, 140, 0), qRgb(140, 190, 0)},
    {qRgb(130, 0, 190), qRgb(230, 0, 150), qRgb(0, 150, 140)},
    {qRgb(70, 110, 160), qRgb(160, 80, 40), qRgb(100, 120, 40)},
    {qRgb(0, 200, 200), qRgb(255, 100, 170), qRgb(170, 150, 0)},
};

const char kKermaName[] = QT_TRANSLATE_NOOP("Figures", "一次線水カーマ");
const char* const kDoseNames[] = {QT_TRANSLATE_NOOP("Figures", "水吸収線量"),
                                  QT_TRANSLATE_NOOP("Figures", "一次線線量"),
                                  QT_TRANSLATE_NOOP("Figures", "散乱線線量")};  // by component

}  // namespace

CurveColors ColorFamily(int family) {
  return kFamilies[((family % kColorFamilies) + kColorFamilies) % kColorFamilies];
}

QString EnergyOfResultName(const QString& file) {
  const ResultNameParts parts = ParseResultFileName(QFileInfo(file).fileName().toStdString());
  return parts.energy.empty() ? QString()
                              : QString::fromStdString(parts.energy) + QStringLiteral(" MV");
}

QString FieldSizeText(int field) {
  const int side = static_cast<int>(kFieldSideCm[field]);
  return QStringLiteral("%1 × %1 cm").arg(side);
}

QString LegendText(const CurveSet& set) {
  return QStringLiteral("%1, %2, %3")
      .arg(set.energy.isEmpty() ? QStringLiteral("?") : set.energy, FieldSizeText(set.field),
           set.file);
}

void DrawCurveSet(PictureBox& picture, const CurveSet& set) {
  const CurveColors c = ColorFamily(set.family);
  DrawDoseCurves(picture, *set.tables, set.field, c.total, c.primary, c.scatter);
}

std::string CurvesCsvText(const ResultTables* kerma, const QString& kerma_file,
                          std::span<const CurveSet> sets) {
  std::vector<CsvCurveSet> rows;
  for (const CurveSet& set : sets)
    rows.push_back({set.tables.get(), set.field, set.energy.toStdString(), set.file.toStdString()});
  const CurveCsvNames names{Tr("Figures", "深さ [cm]").toStdString(),
                            Tr("Figures", kKermaName).toStdString(),
                            {Tr("Figures", kDoseNames[0]).toStdString(),
                             Tr("Figures", kDoseNames[1]).toStdString(),
                             Tr("Figures", kDoseNames[2]).toStdString()}};
  return dosavia::CurvesCsvText(kerma, kerma_file.toStdString(), rows, names);
}

}  // namespace dosavia::gui
