#include "gui/engine_screen/result_curve_sets.h"

#include <QFileInfo>

#include <algorithm>
#include <vector>

#include "engine/beam_geometry.h"
#include "engine/conditions_file.h"
#include "engine/result_file.h"
#include "models/curve_metrics.h"
#include "engine/run_statistics.h"
#include "models/curve_table.h"
#include "models/phantom_session.h"
#include "gui/engine_screen/result_depth_dose_plot.h"
#include "gui/engine_screen/result_phantom_bands.h"
#include "gui/base/language.h"

namespace dosavia::gui {

namespace {

const char kKermaName[] = QT_TRANSLATE_NOOP("Figures", "一次線水カーマ");
const char* const kDoseNames[] = {QT_TRANSLATE_NOOP("Figures", "水吸収線量"),
                                  QT_TRANSLATE_NOOP("Figures", "一次線線量"),
                                  QT_TRANSLATE_NOOP("Figures", "散乱線線量")};  // by component

}  // namespace

CurveColors ColorFamily(int family) {
  const CurveSetColors& c = CurveSetColorsOf(family);
  return {QRgbOf(c.total), QRgbOf(c.primary), QRgbOf(c.scatter), QRgbOf(c.kerma)};
}

CurvePattern PatternOfFamily(int family) {
  const CurveSetPattern& p = CurveSetPatternOf(family);
  return {p.on, p.off};
}

QString EnergyOfResultName(const QString& file) {
  const ResultNameParts parts = ParseResultFileName(QFileInfo(file).fileName().toStdString());
  return parts.energy.empty() ? QString()
                              : QString::fromStdString(parts.energy) + QStringLiteral(" MV");
}

QString FieldSizeText(int field) { return QString::fromStdString(FieldSizeLabel(field)); }

LegendParts LegendTextParts(const CurveSet& set) {
  // Switched-off physics as the run recorded it where there are statistics, otherwise as the
  // file's name says; in the interface language.
  const std::string energy = set.energy.toStdString(), file = set.file.toStdString();
  const CurveLegend legend = CurveLegendParts(
      {energy, set.field, file, set.statistics ? &set.statistics->physics : nullptr,
       set.statistics ? set.statistics->seed : kDefaultSeed, set.ssd_cm,
       set.statistics ? std::string_view(set.statistics->phantom) : std::string_view()},
      CurrentLanguage() == Language::kEnglish);
  return {QString::fromStdString(legend.head), set.file, QString::fromStdString(legend.tail),
          QString::fromStdString(legend.compact_head)};
}

LegendParts TableLegendParts(const CurveSet& set) {
  LegendParts parts = LegendTextParts(set);
  if (set.interfaces)
    parts.tail += QStringLiteral(" — ") +
                  QString::fromStdString(InterfaceSummary(*set.interfaces, set.energy.toStdString(),
                                                          CurrentLanguage() == Language::kEnglish));
  return parts;
}

QString LegendText(const CurveSet& set) {
  const LegendParts parts = LegendTextParts(set);
  return parts.head + parts.file + parts.tail;
}

CurveSet MeasureSet(CurveSet set) {
  set.row = std::make_shared<const CurveTableRow>(
      MeasureCurveSet(*set.tables, set.field, set.statistics.get(), set.parallel.get()));
  if (const auto phantom = PhantomOfResult(set.file.toStdString(), set.statistics.get()))
    set.interfaces = std::make_shared<const InterfaceValues>(
        MeasureInterfaces(*phantom, set.parallel ? *set.parallel : *set.tables, set.field,
                          set.statistics.get(), set.water.get(), set.water_statistics.get()));
  return set;
}

void DrawCurveSets(PictureBox& picture, std::span<const CurveSet> sets,
                   const ResultTables* loaded) {
  DrawPhantomBands(picture, sets);
  if (loaded != nullptr) DrawKermaCurve(picture, *loaded);
  // One kerma per file: a file's later sets (other fields) have the same kerma.
  std::vector<const ResultTables*> drawn;
  for (const CurveSet& set : sets) {
    if (std::find(drawn.begin(), drawn.end(), set.tables.get()) != drawn.end()) continue;
    drawn.push_back(set.tables.get());
    const CurvePattern pattern = PatternOfFamily(set.family);
    DrawKermaCurve(picture, *set.tables, pattern.on, pattern.off, ColorFamily(set.family).kerma);
  }
  for (const CurveSet& set : sets) {
    const CurveColors c = ColorFamily(set.family);
    const CurvePattern pattern = PatternOfFamily(set.family);
    DrawDoseCurves(picture, *set.tables, set.field, c.total, c.primary, c.scatter, pattern.on,
                   pattern.off);
  }
}

QString KermaCaption(const ResultTables* loaded, const QString& loaded_file,
                     std::span<const CurveSet> sets) {
  const QString title = Tr("Figures", "一次線水カーマ：");
  bool others = false, loaded_in_sets = false;
  for (const CurveSet& set : sets) (set.tables.get() == loaded ? loaded_in_sets : others) = true;
  if (!others) return title + loaded_file;
  QString caption = title + Tr("Figures", "各組のファイルのもの（組の色の濃い線）");
  if (loaded != nullptr && !loaded_in_sets) caption += Tr("Figures", "、黒：%1").arg(loaded_file);
  return caption;
}

std::string CurvesCsvText(const ResultTables* kerma, const QString& kerma_file,
                          std::span<const CurveSet> sets, double ssd_cm) {
  std::vector<CsvCurveSet> rows;
  for (const CurveSet& set : sets)
    rows.push_back({set.tables.get(), set.field, set.energy.toStdString(), set.file.toStdString(),
                    set.statistics.get()});
  CurveCsvNames names{
      Tr("Figures", "深さ [cm]").toStdString(),
      Tr("Figures", kKermaName).toStdString(),
      {Tr("Figures", kDoseNames[0]).toStdString(), Tr("Figures", kDoseNames[1]).toStdString(),
       Tr("Figures", kDoseNames[2]).toStdString()},
      Tr("Figures", "（0～5 cm の一次線水カーマ最大値 = 1）").toStdString(),
      CurrentLanguage() == Language::kEnglish};
  // Curves of a point source say so, with the scale they keep (the parallel beam's).
  if (ssd_cm <= 0 && !sets.empty()) ssd_cm = sets.front().ssd_cm;
  if (ssd_cm > 0)
    names.relative = Tr("Figures",
                        "（点線源 SSD %1 cm への近似換算、表面で平行ビームの 0～5 cm "
                        "の一次線水カーマ最大値 = 1）")
                         .arg(ssd_cm)
                         .toStdString();
  return dosavia::CurvesCsvText(kerma, kerma_file.toStdString(), rows, names);
}

}  // namespace dosavia::gui
