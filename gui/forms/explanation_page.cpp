#include "gui/forms/explanation_page.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include <array>
#include <cstddef>
#include <span>

#include "gui/app/window_registry.h"
#include "gui/app/language.h"
#include "gui/figures/page_depth_dose_figures.h"
#include "gui/figures/unit_volume_figures.h"
#include "gui/widgets/form_scaler.h"
#include "gui/widgets/twips.h"

namespace dosavia::gui {

namespace {

// The figures of the pages.
enum class Figure {
  kTmr,                        // Fig.1: TMR of 10 MV X-rays
  kElectronMap,                // Fig.2: where the electrons' energy is absorbed
  kLongitudinalModel,          // Fig.3: unit volumes along the beam
  kModelDose,                  // Fig.4: their dose without attenuation
  kAttenuatedModelDose,        // Fig.5: and with it
  kLateralModel,               // Fig.6: unit volumes sideways to the beam
  kNarrowField,                // Fig.7: depth dose of narrow fields
  kModelDoseWithTransport,     // Fig.8: Fig.5 beside ...
  kModelDoseWithoutTransport,  // Fig.9: ... the electrons held where they start
};

// A figure with its caption above it: the caption's top, then the figure's box [twips].
struct FigurePlace {
  Figure figure;
  double left;
  double caption_top;
  double top;
  double width;
  double height;
};

// A page's size, where its figures' column begins, the top of its buttons [twips], its
// figures in the order of their captions, and the pitch of its text lines [twips].
struct PageLayout {
  double width;
  double height;
  double figure_left;
  double button_top;
  std::array<FigurePlace, 3> figures;
  std::size_t figure_count;
  double line_pitch = kPageLinePitchTwips;
};

// The figures' column of pages 3 and 5: one figure across it or two side by side [twips].
constexpr double kWideLeft = 8700;
constexpr double kWideWidth = 8775;
constexpr double kHalfWidth = 4320;
constexpr double kRightHalfLeft = kWideLeft + kWideWidth - kHalfWidth;

// Electrons that do not move: each volume keeps its own kerma.
constexpr int kRangeWithoutTransport = 1;

constexpr PageLayout kLayouts[kExplanationPageCount] = {
    {15990, 6630, 9480, 5940, {{{Figure::kTmr, 9480, 300, 720, 6150, 5640}}}, 1},
    // The picture of Fig.2 is shown pixel for pixel: 628 x 472 at 96 dpi.
    {17880, 8250, 8160, 7500, {{{Figure::kElectronMap, 8160, 300, 720, 9420, 7080}}}, 1},
    {17715,
     8595,
     kWideLeft,
     7860,
     {{{Figure::kLongitudinalModel, kWideLeft, 120, 510, kWideWidth, 2850},
       {Figure::kModelDose, kWideLeft, 3480, 3870, kHalfWidth, 4545},
       {Figure::kAttenuatedModelDose, kRightHalfLeft, 3480, 3870, kHalfWidth, 4545}}},
     3},
    {17760,
     8460,
     kWideLeft,
     7740,
     {{{Figure::kLateralModel, kWideLeft, 120, 510, 8820, 3360},
       {Figure::kNarrowField, kWideLeft, 4020, 4410, 8820, 3900}}},
     2},
    {17715,
     8595,
     kWideLeft,
     7860,
     {{{Figure::kModelDoseWithTransport, kWideLeft, 1320, 1710, kHalfWidth, 4800},
       {Figure::kModelDoseWithoutTransport, kRightHalfLeft, 1320, 1710, kHalfWidth, 4800}}},
     2,
     // The page's 21 lines, with what the model leaves out, end above the buttons.
     360},
};

// The page table's forms of the explanation pages 1..5.
constexpr int kPageForms[kExplanationPageCount] = {5, 6, 7, 8, 10};

QWidget* MakeFigure(Figure figure, QWidget* page) {
  switch (figure) {
    case Figure::kTmr:
      return new TmrFigure(page);
    case Figure::kElectronMap: {
      auto* picture = new QLabel(page);
      picture->setAlignment(Qt::AlignCenter);
      const QPixmap pixmap(QString::fromLatin1(kElectronMapResource));
      if (pixmap.isNull())
        SetTrText(picture, "Form6", QT_TRANSLATE_NOOP("Form6", "Fig.2 の画像がありません"));
      else
        picture->setPixmap(pixmap);
      return picture;
    }
    case Figure::kLongitudinalModel:
      return new LongitudinalModelFigure(page);
    case Figure::kModelDose:
      return new ModelDoseFigure(1.0, page);
    case Figure::kAttenuatedModelDose:
      return new ModelDoseFigure(kModelTransmission, page);
    case Figure::kLateralModel:
      return new LateralModelFigure(page);
    case Figure::kNarrowField:
      return new NarrowFieldFigure(page);
    case Figure::kModelDoseWithTransport:
      return new ModelDoseFigure(kModelTransmission, kModelRange, page);
    case Figure::kModelDoseWithoutTransport:
      return new ModelDoseFigure(kModelTransmission, kRangeWithoutTransport, page);
  }
  return nullptr;
}

}  // namespace

ExplanationPage::ExplanationPage(int number, QWidget* parent)
    : TextPage(ExplanationPageTexts(kPageForms[number - 1]), parent), number_(number) {
  const PageTexts& page = Texts();
  const PageLayout& layout = kLayouts[number - 1];
  resize(TwipsRect(0, 0, layout.width, layout.height).size());
  AddTextLines(page.lines, kPageMarginTwips, kPageFirstLineTwips,
               layout.figure_left - kPageMarginTwips - 240, layout.line_pitch);

  const std::span<const FigurePlace> places(layout.figures.data(), layout.figure_count);
  for (std::size_t i = 0; i < places.size(); ++i) {
    const FigurePlace& place = places[i];
    AddCaption(page.captions[i], place.left, place.caption_top, place.width);
    QWidget* figure = MakeFigure(place.figure, this);
    PlaceTwips(figure, place.left, place.top, place.width, place.height);
    figures.push_back(figure);
  }

  next_button = AddButton(page.next, kPageMarginTwips, layout.button_top, kPageButtonWidthTwips,
                          kPageButtonHeightTwips);
  exit_button = AddButton("Exit", kPageMarginTwips + kPageButtonWidthTwips + 360, layout.button_top,
                          kPageButtonWidthTwips, kPageButtonHeightTwips);
  connect(next_button, &QPushButton::clicked, this, &ExplanationPage::OnNext);
  connect(exit_button, &QPushButton::clicked, this, &ExplanationPage::OnExit);
  MakeScalable(this, layout.width, layout.height);
  PlaceOnScreen(number - 1);
}

void ExplanationPage::OnNext() {
  if (number_ < kExplanationPageCount)
    ShowExplanationPage(number_ + 1);
  else
    ShowReferencesPage();
}

void ExplanationPage::OnExit() { HideExplanationPages(); }

}  // namespace dosavia::gui
