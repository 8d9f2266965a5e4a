// The browser edition's entry to the explanation pages: their texts (the table Dosavia's
// pages show) and the numbers behind their figures, from the same models as Dosavia's
// figures. The page draws what it gets; it computes no model of its own.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "models/figure_models.h"
#include "models/interface_curves.h"
#include "models/page_texts.h"

namespace dosavia::web {

using emscripten::val;

namespace {

// The engine's 10 MV curves, embedded in the module at this path.
constexpr const char* kCurvesFile = "/depth_dose_10mv.txt";
// The slab phantoms' curves of the interfaces page.
constexpr const char* kInterfaceCurvesFile = "/interface_depth_dose.txt";
// Depths the figures show [cm]: Fig.1 stops short of the last centimetres, which lack the
// backscatter of deeper water; Fig.7 shows the build-up region of narrow fields.
constexpr double kTmrFigureDepthCm = 25;
constexpr double kNarrowFigureDepthCm = 10;

val Numbers(const std::vector<double>& values, std::size_t count) {
  val array = val::array();
  for (std::size_t i = 0; i < count && i < values.size(); ++i) array.call<void>("push", values[i]);
  return array;
}

val Numbers(const std::vector<double>& values) { return Numbers(values, values.size()); }

const char* KindName(PageLineKind kind) {
  switch (kind) {
    case PageLineKind::kParagraph: return "paragraph";
    case PageLineKind::kBody: return "body";
    case PageLineKind::kHeading: return "heading";
    case PageLineKind::kCitation: return "citation";
    case PageLineKind::kCitationMore: return "citation-more";
  }
  return "body";
}

// [{ page, context, title, next, captions: [..], figures: ['fig1', ..], notes: [.. or null],
//    lines: [{ kind, text }] }]
// for pages 1-6 and the references, in reading order; page 7 is the references, and each
// figure is named by its number, as pageFigures names their numbers.
val PageTextsJs() {
  val pages = val::array();
  for (const PageTexts& texts : ExplanationPages()) {
    val page = val::object();
    page.set("page", texts.page);
    page.set("context", std::string(texts.context));
    page.set("title", std::string(texts.title));
    page.set("next", texts.next != nullptr ? val(std::string(texts.next)) : val::null());
    val captions = val::array();
    for (const char* caption : texts.captions) captions.call<void>("push", std::string(caption));
    page.set("captions", captions);
    val figures = val::array();
    for (PageFigure figure : texts.figures)
      figures.call<void>("push", "fig" + std::to_string(static_cast<int>(figure)));
    page.set("figures", figures);
    val notes = val::array();
    for (const char* note : texts.notes)
      notes.call<void>("push", note != nullptr ? val(std::string(note)) : val::null());
    page.set("notes", notes);
    val lines = val::array();
    for (const PageLine& line : texts.lines) {
      val entry = val::object();
      entry.set("kind", std::string(KindName(line.kind)));
      entry.set("text", std::string(line.text));
      lines.call<void>("push", entry);
    }
    page.set("lines", lines);
    pages.call<void>("push", page);
  }
  return pages;
}

std::size_t CountUpTo(const std::vector<double>& depth_cm, double limit) {
  std::size_t n = 0;
  while (n < depth_cm.size() && depth_cm[n] <= limit) ++n;
  return n;
}

// Fig.1 and Fig.7 from the stored curves; both null when the curves cannot be read.
void AddCurveFigures(val& figures) {
  std::ifstream file(kCurvesFile, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  const std::optional<DepthDoseCurves> curves =
      file ? ParseDepthDoseCurves(text.str()) : std::nullopt;
  if (!curves) {
    figures.set("fig1", val::null());
    figures.set("fig7", val::null());
    return;
  }
  const std::size_t tmr_depths = CountUpTo(curves->depth_cm, kTmrFigureDepthCm);
  val fig1 = val::object();
  fig1.set("depth", Numbers(curves->depth_cm, tmr_depths));
  val tmr = val::array();
  for (int column : kTmrFigureColumns) {
    val curve = val::object();
    curve.set("side", kCurveFieldSideCm[static_cast<std::size_t>(column)]);
    curve.set("values", Numbers(TissueMaximumRatio(*curves, column), tmr_depths));
    tmr.call<void>("push", curve);
  }
  fig1.set("curves", tmr);
  fig1.set("marked", kCurveFieldSideCm[static_cast<std::size_t>(kTmrMarkedColumn)]);
  fig1.set("dMax", CurveMaximum(curves->dose[static_cast<std::size_t>(kTmrMarkedColumn)]).depth_cm);
  figures.set("fig1", fig1);

  const std::size_t narrow_depths = CountUpTo(curves->depth_cm, kNarrowFigureDepthCm);
  val fig7 = val::object();
  fig7.set("depth", Numbers(curves->depth_cm, narrow_depths));
  fig7.set("kerma", Numbers(curves->kerma, narrow_depths));
  val doses = val::array();
  for (int column : kNarrowFigureColumns) {
    const std::vector<double>& dose = curves->dose[static_cast<std::size_t>(column)];
    const DoseMaximum peak = CurveMaximum(dose);
    val curve = val::object();
    curve.set("side", kCurveFieldSideCm[static_cast<std::size_t>(column)]);
    curve.set("values", Numbers(dose, narrow_depths));
    curve.set("peakDepth", peak.depth_cm);
    curve.set("peakValue", peak.dose);
    doses.call<void>("push", curve);
  }
  fig7.set("curves", doses);
  figures.set("fig7", fig7);
}

// Fig.10 to Fig.12 from the stored curves: { energy, depth: [..], bands: [{ material, from,
// to }], curves: [{ phantom, side, water, colour, values: [..] }] }; each null when the curves
// cannot be read.
void AddInterfaceFigures(val& figures) {
  std::ifstream file(kInterfaceCurvesFile, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  const std::optional<InterfaceCurves> curves =
      file ? ParseInterfaceCurves(text.str()) : std::nullopt;
  for (const InterfaceFigure& entry : InterfaceFigures()) {
    const std::string name = "fig" + std::to_string(static_cast<int>(entry.figure));
    const std::optional<InterfaceFigureData> data =
        curves ? InterfaceFigureOf(*curves, entry.figure) : std::nullopt;
    if (!data) {
      figures.set(name, val::null());
      continue;
    }
    val figure = val::object();
    figure.set("energy", data->energy_mv);
    figure.set("depth", Numbers(data->depth_cm));
    val bands = val::array();
    for (const FigureBand& band : data->bands) {
      val b = val::object();
      b.set("material", band.material);
      b.set("from", band.from_cm);
      b.set("to", band.to_cm);
      bands.call<void>("push", b);
    }
    figure.set("bands", bands);
    val list = val::array();
    for (const InterfaceFigureCurve& curve : data->curves) {
      val c = val::object();
      c.set("phantom", curve.phantom);
      c.set("side", curve.side_cm);
      c.set("water", curve.water);
      c.set("colour", curve.colour);
      c.set("values", Numbers(curve.values));
      list.call<void>("push", c);
    }
    figure.set("curves", list);
    figures.set(name, figure);
  }
}

// Electrons that do not move: the model of page 5 without electron transport.
constexpr int kRangeWithoutTransport = 1;

// The unit-volume model along the beam: kerma and dose of each volume, the electrons
// carrying the kerma `range` volumes on.
val LongitudinalModel(double transmission, int range = kModelRange) {
  const std::vector<double> kerma = ModelKerma(kModelFigureVolumes, kModelKerma, transmission);
  val model = val::object();
  model.set("kerma", Numbers(kerma));
  model.set("dose", Numbers(ModelDose(kerma, range)));
  model.set("range", range);
  model.set("share", kModelKerma / range);
  model.set("attenuated", transmission < 1);
  return model;
}

// Everything the pages' figures show: fig1 (TMR), fig3/fig4/fig5 (the model along the beam
// without and with attenuation), fig6 (the model across the beam), fig7 (narrow fields),
// fig8/fig9 (the attenuated model with and without electron transport), fig10-fig12 (the slab
// phantoms against water).
val PageFiguresJs() {
  val figures = val::object();
  AddCurveFigures(figures);
  AddInterfaceFigures(figures);
  figures.set("fig3", LongitudinalModel(1.0));
  figures.set("fig4", LongitudinalModel(1.0));
  figures.set("fig5", LongitudinalModel(kModelTransmission));
  figures.set("fig8", LongitudinalModel(kModelTransmission));
  figures.set("fig9", LongitudinalModel(kModelTransmission, kRangeWithoutTransport));
  val fig6 = val::object();
  const double share = kLateralKerma / 2 / kLateralReach;
  fig6.set("kerma", kLateralKerma);
  fig6.set("reach", kLateralReach);
  fig6.set("share", share);
  fig6.set("ownShare", 2 * share);
  val fields = val::array();
  for (int volumes : kLateralFieldVolumes) {
    val field = val::object();
    field.set("volumes", volumes);
    field.set("dose", LateralCentralDose(volumes, kLateralKerma, kLateralReach));
    fields.call<void>("push", field);
  }
  fig6.set("fields", fields);
  figures.set("fig6", fig6);
  return figures;
}

}  // namespace

EMSCRIPTEN_BINDINGS(dosavia_pages) {
  emscripten::function("pageTexts", &PageTextsJs);
  emscripten::function("pageFigures", &PageFiguresJs);
}

}  // namespace dosavia::web
