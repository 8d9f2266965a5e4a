#include "gui/forms/form7_page3.h"

#include <QLabel>
#include <QPushButton>

#include "gui/app/app_forms.h"
#include "gui/app/language.h"
#include "gui/figures/unit_volume_figures.h"
#include "gui/widgets/form_scaler.h"
#include "gui/widgets/twips.h"

namespace dosavia::gui {

namespace {
constexpr int kPage = 7;
constexpr double kFigureLeft = 8700;
constexpr double kFigureWidth = 8775;
constexpr double kHalfFigureWidth = 4320;
}  // namespace

Form7::Form7(QWidget* parent) : ExplanationPage(kPage, parent) { Form_Load(); }

void Form7::Form_Load() {
  const PageTexts& page = ExplanationPageTexts(kPage);
  SetTrTitle(this, page.context, page.title);
  resize(TwipsRect(0, 0, 17715, 8595).size());
  AddTextLines(page.lines, kPageMarginTwips, kPageFirstLineTwips,
               kFigureLeft - kPageMarginTwips - 240, kPageLinePitchTwips);

  Label1 = AddCaption(page.captions[0], kFigureLeft, 120, kFigureWidth);
  Picture1 = new LongitudinalModelFigure(this);
  PlaceTwips(Picture1, kFigureLeft, 510, kFigureWidth, 2850);
  Label2 = AddCaption(page.captions[1], kFigureLeft, 3480, kHalfFigureWidth);
  Picture2 = new ModelDoseFigure(1.0, this);
  PlaceTwips(Picture2, kFigureLeft, 3870, kHalfFigureWidth, 4545);
  Label3 = AddCaption(page.captions[2], kFigureLeft + kFigureWidth - kHalfFigureWidth, 3480,
                      kHalfFigureWidth);
  Picture3 = new ModelDoseFigure(kModelTransmission, this);
  PlaceTwips(Picture3, kFigureLeft + kFigureWidth - kHalfFigureWidth, 3870, kHalfFigureWidth, 4545);

  Command1 =
      AddButton(page.next, kPageMarginTwips, 7860, kPageButtonWidthTwips, kPageButtonHeightTwips);
  Command2 = AddButton("Exit", kPageMarginTwips + kPageButtonWidthTwips + 360, 7860,
                       kPageButtonWidthTwips, kPageButtonHeightTwips);
  connect(Command1, &QPushButton::clicked, this, &Form7::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form7::Command2_Click);
  MakeScalable(this, 17715, 8595);
  PlaceOnScreen(2);
}

void Form7::Command1_Click() { ShowExplanationPage(4); }

void Form7::Command2_Click() { HideExplanationPages(); }

}  // namespace dosavia::gui
