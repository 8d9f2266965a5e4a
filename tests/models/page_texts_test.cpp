// The explanation pages' texts, shared by Dosavia's pages and the browser edition, and the
// reading of the stored depth-dose curves behind Fig.1, Fig.7 and Fig.10 to Fig.12.
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "models/figure_models.h"
#include "models/interface_curves.h"
#include "models/page_texts.h"

namespace dosavia {
namespace {

struct PageCase {
  int page;
  const char* context;
  const char* title;
  std::size_t captions;  // one per figure of the page
  bool has_next;
};

TEST(ExplanationPageTexts, EachPageHasItsContextTitleCaptionsAndParagraphs) {
  const PageCase cases[] = {
      {1, "ExplanationPage1", "解説-１", 1, true},
      {2, "ExplanationPage2", "解説-２", 1, true},
      {3, "ExplanationPage3", "解説-３", 3, true},
      {4, "ExplanationPage4", "解説-４", 2, true},
      {5, "ExplanationPage5", "解説-５", 2, true},
      {6, "ExplanationPage6", "解説-６", 3, true},
      {kReferencesPage, "ReferencesPage", "文献", 0, false},
  };
  for (const PageCase& c : cases) {
    const PageTexts& page = ExplanationPageTexts(c.page);
    SCOPED_TRACE(c.context);
    EXPECT_EQ(page.page, c.page);
    EXPECT_STREQ(page.context, c.context);
    EXPECT_STREQ(page.title, c.title);
    EXPECT_EQ(page.captions.size(), c.captions);
    EXPECT_EQ(page.next != nullptr, c.has_next);
    ASSERT_FALSE(page.lines.empty());
    // A line that goes on with a paragraph or a citation must have one to go on with: the
    // browser joins it to the line before.
    for (std::size_t i = 0; i < page.lines.size(); ++i) {
      const PageLine& line = page.lines[i];
      EXPECT_GT(std::strlen(line.text), 0u) << i;
      const PageLineKind before = i > 0 ? page.lines[i - 1].kind : PageLineKind::kHeading;
      if (line.kind == PageLineKind::kBody)
        EXPECT_TRUE(before == PageLineKind::kParagraph || before == PageLineKind::kBody) << i;
      if (line.kind == PageLineKind::kCitationMore)
        EXPECT_TRUE(before == PageLineKind::kCitation || before == PageLineKind::kCitationMore)
            << i;
    }
    // One figure under each caption, the one the caption names.
    ASSERT_EQ(page.figures.size(), page.captions.size());
    for (std::size_t i = 0; i < page.captions.size(); ++i)
      EXPECT_EQ(std::string(page.captions[i])
                    .rfind("Fig." + std::to_string(static_cast<int>(page.figures[i])) + " ", 0),
                0u)
          << page.captions[i];
  }
}

TEST(ExplanationPageTexts, NumbersBesideThePagesAreRefused) {
  for (int page : {0, kReferencesPage + 1, 10, -5})
    EXPECT_THROW(ExplanationPageTexts(page), std::out_of_range);
}

// The browser lists the pages and links each to the next in this order; only the last page,
// the references, has no next.
TEST(ExplanationPages, RunInReadingOrderWithTheReferencesLast) {
  const int reading_order[] = {1, 2, 3, 4, 5, 6, kReferencesPage};
  const auto pages = ExplanationPages();
  ASSERT_EQ(pages.size(), std::size(reading_order));
  for (std::size_t i = 0; i < pages.size(); ++i) {
    EXPECT_EQ(pages[i].page, reading_order[i]) << i;
    EXPECT_EQ(&ExplanationPageTexts(reading_order[i]), &pages[i]) << i;
    EXPECT_EQ(pages[i].next != nullptr, i + 1 < pages.size()) << i;
  }
}

// The unit-volume model with and without the electrons carrying the kerma downstream.
TEST(ModelDose, ElectronsShareTheirKermaOverTheirRangeOrKeepItWhenTheyDoNotMove) {
  struct Case {
    const char* what;
    double transmission;
    int range;
    std::vector<double> dose;  // of volumes 1..6
  };
  const Case cases[] = {
      {"range 4, no attenuation: build-up to equilibrium", 1.0, 4, {25, 50, 75, 100, 100, 100}},
      {"range 2", 1.0, 2, {50, 100, 100, 100, 100, 100}},
      {"electrons that do not move", 1.0, 1, {100, 100, 100, 100, 100, 100}},
      {"range 0 is no transport, not lost energy", 1.0, 0, {100, 100, 100, 100, 100, 100}},
      {"no transport, attenuated: dose is the kerma", 0.5, 1, {100, 50, 25, 12.5, 6.25, 3.125}},
      {"range 2, attenuated", 0.5, 2, {50, 75, 37.5, 18.75, 9.375, 4.6875}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<double> kerma = ModelKerma(6, 100, c.transmission);
    const std::vector<double> dose = ModelDose(kerma, c.range);
    ASSERT_EQ(dose.size(), c.dose.size());
    for (std::size_t i = 0; i < dose.size(); ++i) EXPECT_DOUBLE_EQ(dose[i], c.dose[i]) << i;
  }
}

// A curves text of `depths` lines of twelve numbers after a comment.
std::string CurveText(int depths) {
  std::string text = "# depth kerma doses\n";
  for (int i = 0; i < depths; ++i) {
    text += std::to_string(0.05 + 0.1 * i);
    for (int k = 0; k < 11; ++k) text += " " + std::to_string(1.0 / (1 + i + k));
    text += "\n";
  }
  return text;
}

TEST(ParseDepthDoseCurves, ReadsWellFormedCurvesAndRefusesDamagedOnes) {
  const std::string good = CurveText(120);
  struct Case {
    const char* what;
    std::string text;
    bool accepted;
  };
  const Case cases[] = {
      {"well formed", good, true},
      {"Windows line ends",
       [&] {
         std::string t;
         for (char c : good) t += c == '\n' ? std::string("\r\n") : std::string(1, c);
         return t;
       }(),
       true},
      {"too few depths", CurveText(99), false},
      {"a missing number", good + "30.05 1 2 3 4 5 6 7 8 9 10\n", false},
      {"a number too many", good + "30.05 1 2 3 4 5 6 7 8 9 10 11 12\n", false},
      {"a word", good + "30.05 1 2 3 4 5 6 7 8 9 10 x\n", false},
      {"a number run into a word", good + "30.05 1 2 3 4 5 6 7 8 9 10 11cm\n", false},
      {"not finite", good + "30.05 1 2 3 4 5 6 7 8 9 10 inf\n", false},
      {"depth going back", good + "1.0 1 2 3 4 5 6 7 8 9 10 11\n", false},
      {"empty", "", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParseDepthDoseCurves(c.text).has_value(), c.accepted) << c.what;

  const auto curves = ParseDepthDoseCurves(good);
  ASSERT_TRUE(curves.has_value());
  ASSERT_EQ(curves->depth_cm.size(), 120u);
  EXPECT_DOUBLE_EQ(curves->depth_cm[1], 0.15);
  EXPECT_DOUBLE_EQ(curves->kerma[0], 1.0);
  EXPECT_NEAR(curves->dose[9][0], 1.0 / 11, 1e-6);  // written with six decimals
}

// A text of the slab phantoms' curves: every curve the figures need, `depths` bins, each curve's
// value its column number.
std::string InterfaceText(int depths) {
  const std::vector<std::string> names = InterfaceCurveNames();
  std::string text = "# phantoms\ncolumns depth";
  for (const std::string& name : names) text += " " + name;
  text += "\n";
  for (int i = 0; i < depths; ++i) {
    text += std::to_string(0.05 + 0.1 * i);
    for (std::size_t k = 0; k < names.size(); ++k) text += " " + std::to_string(k + 1);
    text += "\n";
  }
  return text;
}

TEST(ParseInterfaceCurves, ReadsTheFiguresCurvesAndRefusesDamagedOnes) {
  const int depths = static_cast<int>(kInterfaceDepthCm / 0.1 + 0.5);
  const std::string good = InterfaceText(depths);
  const std::size_t columns = InterfaceCurveNames().size();
  // The line after the last: the next bin, with `n` values.
  const std::string next = "20.05";
  const auto ones = [](std::size_t n) {
    std::string t;
    for (std::size_t k = 0; k < n; ++k) t += " 1";
    return t;
  };
  struct Case {
    const char* what;
    std::string text;
    bool accepted;
  };
  const Case cases[] = {
      {"well formed", good, true},
      {"stops short of the figures' depth", InterfaceText(depths - 1), false},
      {"no column line", good.substr(good.find("\n0.05") + 1), false},
      {"a curve the figures need is missing",
       [&] {
         std::string t = good;
         t.replace(t.find("lung/15/1 "), 10, "lung/15/2 ");
         return t;
       }(),
       false},
      {"a number missing in a line", good + next + ones(columns - 1) + "\n", false},
      {"a word among the numbers", good + next + ones(columns - 1) + " x\n", false},
      {"not finite", good + next + ones(columns - 1) + " nan\n", false},
      {"depth going back", good + "1.05" + ones(columns) + "\n", false},
      {"empty", "", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParseInterfaceCurves(c.text).has_value(), c.accepted) << c.what;
}

// Each figure draws its phantoms' curves solid with their layers shaded, and each field's
// water curve dashed in the colour of its phantom curve, black where two phantoms share it.
TEST(InterfaceFigureOf, DrawsThePhantomsAgainstWaterWithTheirLayers) {
  const auto curves = ParseInterfaceCurves(InterfaceText(200));
  ASSERT_TRUE(curves.has_value());
  struct Band {
    const char* material;
    double from_cm, to_cm;
  };
  struct Curve {
    const char* phantom;
    int side_cm;
    bool water;
    int colour;
  };
  const struct {
    PageFigure figure;
    int energy;
    std::vector<Band> bands;
    std::vector<Curve> curves;
  } cases[] = {
      {PageFigure::kLungSlab,
       15,
       {{"lung", 3, 13}},
       {{"lung", 1, false, 0},
        {"lung", 10, false, 1},
        {"water", 1, true, 0},
        {"water", 10, true, 1}}},
      {PageFigure::kAirGap,
       15,
       {{"air", 3, 5}},
       {{"air", 1, false, 0},
        {"air", 10, false, 1},
        {"water", 1, true, 0},
        {"water", 10, true, 1}}},
      {PageFigure::kBoneAndBolus,
       6,
       {{"bone", 2, 4}, {"bolus", 0, 1}},
       {{"bone", 10, false, 0}, {"bolus", 10, false, 1}, {"water", 10, true, -1}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.figure));
    const auto data = InterfaceFigureOf(*curves, c.figure);
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(data->energy_mv, c.energy);
    ASSERT_EQ(data->bands.size(), c.bands.size());
    for (std::size_t i = 0; i < c.bands.size(); ++i) {
      EXPECT_EQ(data->bands[i].material, c.bands[i].material);
      EXPECT_DOUBLE_EQ(data->bands[i].from_cm, c.bands[i].from_cm);
      EXPECT_DOUBLE_EQ(data->bands[i].to_cm, c.bands[i].to_cm);
    }
    ASSERT_EQ(data->curves.size(), c.curves.size());
    for (std::size_t i = 0; i < c.curves.size(); ++i) {
      const InterfaceFigureCurve& got = data->curves[i];
      EXPECT_EQ(got.phantom, c.curves[i].phantom) << i;
      EXPECT_EQ(got.side_cm, c.curves[i].side_cm) << i;
      EXPECT_EQ(got.water, c.curves[i].water) << i;
      EXPECT_EQ(got.colour, c.curves[i].colour) << i;
      // The curve is the stored one of its phantom, energy and field.
      EXPECT_EQ(got.values, *curves->Find(InterfaceCurveName(got.phantom, c.energy, got.side_cm)))
          << i;
    }
  }
  EXPECT_FALSE(InterfaceFigureOf(*curves, PageFigure::kTmr).has_value());
}

}  // namespace
}  // namespace dosavia
