#include "gui/forms/form10_page5.h"

#include <QLabel>
#include <QPushButton>

#include "gui/app/app_forms.h"
#include "gui/app/language.h"
#include "gui/figures/unit_volume_figures.h"
#include "gui/widgets/form_scaler.h"
#include "gui/widgets/twips.h"

namespace dosavia::gui {

namespace {
constexpr int kPage = 10;
constexpr double kFigureLeft = 8700;
constexpr double kFigureWidth = 8775;
constexpr double kHalfFigureWidth = 4320;
// The page's 21 lines, with what the model leaves out, end above the buttons [twips].
constexpr double kLinePitchTwips = 360;
// Electrons that do not move: each volume keeps its own kerma.
constexpr int kRangeWithoutTransport = 1;
}  // namespace

Form10::Form10(QWidget* parent) : ExplanationPage(kPage, parent) { Form_Load(); }

void Form10::Form_Load() {
  const PageTexts& page = ExplanationPageTexts(kPage);
  SetTrTitle(this, page.context, page.title);
  resize(TwipsRect(0, 0, 17715, 8595).size());
  AddTextLines(page.lines, kPageMarginTwips, kPageFirstLineTwips,
               kFigureLeft - kPageMarginTwips - 240, kLinePitchTwips);

  // Fig.5 of page 3 beside the same beam with the electrons held where they start.
  const double right = kFigureLeft + kFigureWidth - kHalfFigureWidth;
  Label1 = AddCaption(page.captions[0], kFigureLeft, 1320, kHalfFigureWidth);
  Picture1 = new ModelDoseFigure(kModelTransmission, kModelRange, this);
  PlaceTwips(Picture1, kFigureLeft, 1710, kHalfFigureWidth, 4800);
  Label2 = AddCaption(page.captions[1], right, 1320, kHalfFigureWidth);
  Picture2 = new ModelDoseFigure(kModelTransmission, kRangeWithoutTransport, this);
  PlaceTwips(Picture2, right, 1710, kHalfFigureWidth, 4800);

  Command1 =
      AddButton(page.next, kPageMarginTwips, 7860, kPageButtonWidthTwips, kPageButtonHeightTwips);
  Command2 = AddButton("Exit", kPageMarginTwips + kPageButtonWidthTwips + 360, 7860,
                       kPageButtonWidthTwips, kPageButtonHeightTwips);
  connect(Command1, &QPushButton::clicked, this, &Form10::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form10::Command2_Click);
  MakeScalable(this, 17715, 8595);
  PlaceOnScreen(4);
}

void Form10::Command1_Click() { ShowReferencesPage(); }

void Form10::Command2_Click() { HideExplanationPages(); }

}  // namespace dosavia::gui
