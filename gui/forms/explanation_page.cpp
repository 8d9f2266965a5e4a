#include "gui/forms/explanation_page.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include <array>
#include <cstddef>
#include <span>

#include "gui/base/navigation.h"
#include "gui/base/language.h"
#include "gui/figures/interface_figures.h"
#include "gui/figures/page_depth_dose_figures.h"
#include "gui/figures/unit_volume_figures.h"
#include "gui/widgets/form_scaler.h"
#include "gui/widgets/twips.h"

namespace dosavia::gui {

namespace {

// A figure with its caption above it: the caption's top, then the figure's box [twips].
struct FigurePlace {
  double left;
  double caption_top;
  double top;
  double width;
  double height;
};

// A page's size, where its figures' column begins, the top of its buttons [twips], the
// places of its figures in the order of the table's figures, and the pitch of its text
// lines [twips].
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
// Between a figure and the note under it [twips].
constexpr double kNoteGapTwips = 60;

constexpr PageLayout kLayouts[kExplanationPageCount] = {
    {15990, 6630, 9480, 5940, {{{9480, 300, 720, 6150, 5640}}}, 1},
    // The picture of Fig.2 is shown pixel for pixel: 628 x 472 at 96 dpi; its note under it.
    {17880, 9120, 8160, 7500, {{{8160, 300, 720, 9420, 7080}}}, 1},
    {17715,
     8595,
     kWideLeft,
     7860,
     {{{kWideLeft, 120, 510, kWideWidth, 2850},
       {kWideLeft, 3480, 3870, kHalfWidth, 4545},
       {kRightHalfLeft, 3480, 3870, kHalfWidth, 4545}}},
     3},
    {17760,
     8460,
     kWideLeft,
     7740,
     {{{kWideLeft, 120, 510, 8820, 3360}, {kWideLeft, 4020, 4410, 8820, 3900}}},
     2},
    // The page's 21 lines, with what the model leaves out, end above the buttons.
    {17715,
     8595,
     kWideLeft,
     7860,
     {{{kWideLeft, 1320, 1710, kHalfWidth, 4800}, {kRightHalfLeft, 1320, 1710, kHalfWidth, 4800}}},
     2,
     360},
    // The interfaces page: the lung slab across the figures' column, the air gap and the bone
    // and bolus side by side under it, the note on all three under the last; the text's lines
    // at page 5's pitch.
    {17715,
     10560,
     kWideLeft,
     9840,
     {{{kWideLeft, 120, 510, kWideWidth, 3960},
       {kWideLeft, 4590, 4980, kHalfWidth, 3780},
       {kRightHalfLeft, 4590, 4980, kHalfWidth, 3780}}},
     3,
     360},
};

QWidget* MakeFigure(PageFigure figure, QWidget* page) {
  switch (figure) {
    case PageFigure::kTmr: return new TmrFigure(page);
    case PageFigure::kElectronMap: {
      auto* picture = new QLabel(page);
      picture->setAlignment(Qt::AlignCenter);
      const QPixmap pixmap(QString::fromLatin1(kElectronMapResource));
      if (pixmap.isNull())
        SetTrText(picture, "ExplanationPage2",
                  QT_TRANSLATE_NOOP("ExplanationPage2", "Fig.2 の画像がありません"));
      else
        picture->setPixmap(pixmap);
      return picture;
    }
    case PageFigure::kLongitudinalModel: return new LongitudinalModelFigure(page);
    case PageFigure::kModelDose: return new ModelDoseFigure(1.0, page);
    case PageFigure::kAttenuatedModelDose: return new ModelDoseFigure(kModelTransmission, page);
    case PageFigure::kLateralModel: return new LateralModelFigure(page);
    case PageFigure::kNarrowField: return new NarrowFieldFigure(page);
    case PageFigure::kModelDoseWithTransport:
      return new ModelDoseFigure(kModelTransmission, kModelRange, page);
    case PageFigure::kModelDoseWithoutTransport:
      return new ModelDoseFigure(kModelTransmission, kRangeWithoutTransport, page);
    case PageFigure::kLungSlab:
    case PageFigure::kAirGap:
    case PageFigure::kBoneAndBolus: return new InterfaceFigureView(figure, page);
  }
  return nullptr;
}

}  // namespace

ExplanationPage::ExplanationPage(int number, QWidget* parent)
    : TextPage(ExplanationPageTexts(number), parent), number_(number) {
  const PageTexts& page = Texts();
  const PageLayout& layout = kLayouts[number - 1];
  resize(TwipsRect(0, 0, layout.width, layout.height).size());
  AddTextLines(page.lines, kPageMarginTwips, kPageFirstLineTwips,
               layout.figure_left - kPageMarginTwips - 240, layout.line_pitch);

  Q_ASSERT(page.figures.size() == layout.figure_count);
  const std::span<const FigurePlace> places(layout.figures.data(), layout.figure_count);
  for (std::size_t i = 0; i < places.size(); ++i) {
    const FigurePlace& place = places[i];
    AddCaption(page.captions[i], place.left, place.caption_top, place.width);
    QWidget* figure = MakeFigure(page.figures[i], this);
    PlaceTwips(figure, place.left, place.top, place.width, place.height);
    figures.push_back(figure);
    if (i < page.notes.size() && page.notes[i] != nullptr)
      AddNote(page.notes[i], place.left, place.top + place.height + kNoteGapTwips, place.width,
              layout.height - place.top - place.height - 2 * kNoteGapTwips);
  }

  next_button = AddButton(page.next, kPageMarginTwips, layout.button_top, kPageButtonWidthTwips,
                          kPageButtonHeightTwips);
  exit_button = AddButton("Exit", kPageMarginTwips + kPageButtonWidthTwips + 360, layout.button_top,
                          kPageButtonWidthTwips, kPageButtonHeightTwips);
  connect(next_button, &QPushButton::clicked, this, &ExplanationPage::OnNext);
  connect(exit_button, &QPushButton::clicked, this, &ExplanationPage::OnExit);
  MakeScalable(this, layout.width, layout.height, StartFit::kWithinVisualScreen);
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
