#include "gui/engine_screen/result_curve_sets.h"

#include <QFileInfo>
#include <charconv>

#include "engine/beam_geometry.h"
#include "engine/conditions_file.h"
#include "engine/result_file.h"
#include "models/curve_metrics.h"
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

// A CSV field, quoted when it holds a separator, a quote or a line end.
std::string CsvField(const QString& text) {
  std::string s = text.toStdString();
  if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
  std::string quoted = "\"";
  for (char c : s) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

// Six significant digits (the file holds four; a total adds two of them), whatever the C
// locale says.
std::string Number(double v) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 6);
  return std::string(buffer, result.ptr);
}

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
  std::string text = "\xEF\xBB\xBF";
  text += CsvField(Tr("Figures", "深さ [cm]"));
  if (kerma != nullptr) {
    const QString energy = EnergyOfResultName(kerma_file);
    text += ',' + CsvField((energy.isEmpty() ? QString() : energy + ' ') +
                           Tr("Figures", kKermaName) + ' ' + kerma_file);
  }
  for (const CurveSet& set : sets)
    for (const char* name : kDoseNames)
      text += ',' + CsvField((set.energy.isEmpty() ? QString() : set.energy + ' ') +
                             FieldSizeText(set.field) + ' ' + Tr("Figures", name) + ' ' + set.file);
  text += "\r\n";
  for (int i = 1; i <= kDepthBins; ++i) {
    text += Number((2 * i - 1) / 20.0);  // the bin centre, 0.05 cm, 0.15 cm, ...
    if (kerma != nullptr) text += ',' + Number(kerma->Kerma[i]);
    for (const CurveSet& set : sets)
      for (int k : {kTotalDose, kPrimaryDose, kScatterDose})
        text += ',' + Number(set.tables->DoseTable[k][set.field][i]);
    text += "\r\n";
  }
  return text;
}

}  // namespace dosavia::gui
