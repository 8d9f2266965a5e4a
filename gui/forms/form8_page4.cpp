#include "gui/forms/form8_page4.h"

#include <QLabel>
#include <QPushButton>

#include "gui/app/app_forms.h"
#include "gui/app/language.h"
#include "gui/figures/page_depth_dose_figures.h"
#include "gui/figures/unit_volume_figures.h"
#include "gui/widgets/form_scaler.h"
#include "gui/widgets/twips.h"

namespace dosavia::gui {

namespace {
constexpr int kPage = 8;
constexpr double kFigureLeft = 8700;
constexpr double kFigureWidth = 8820;
}  // namespace

Form8::Form8(QWidget* parent) : ExplanationPage(kPage, parent) { Form_Load(); }

void Form8::Form_Load() {
  const PageTexts& page = ExplanationPageTexts(kPage);
  SetTrTitle(this, page.context, page.title);
  resize(TwipsRect(0, 0, 17760, 8460).size());
  AddTextLines(page.lines, kPageMarginTwips, kPageFirstLineTwips,
               kFigureLeft - kPageMarginTwips - 240, kPageLinePitchTwips);

  Label1 = AddCaption(page.captions[0], kFigureLeft, 120, kFigureWidth);
  Picture1 = new LateralModelFigure(this);
  PlaceTwips(Picture1, kFigureLeft, 510, kFigureWidth, 3360);
  Label2 = AddCaption(page.captions[1], kFigureLeft, 4020, kFigureWidth);
  Picture2 = new NarrowFieldFigure(this);
  PlaceTwips(Picture2, kFigureLeft, 4410, kFigureWidth, 3900);

  Command1 =
      AddButton(page.next, kPageMarginTwips, 7740, kPageButtonWidthTwips, kPageButtonHeightTwips);
  Command2 = AddButton("Exit", kPageMarginTwips + kPageButtonWidthTwips + 360, 7740,
                       kPageButtonWidthTwips, kPageButtonHeightTwips);
  connect(Command1, &QPushButton::clicked, this, &Form8::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form8::Command2_Click);
  MakeScalable(this, 17760, 8460);
  PlaceOnScreen(3);
}

void Form8::Command1_Click() { ShowExplanationPage(5); }

void Form8::Command2_Click() { HideExplanationPages(); }

}  // namespace dosavia::gui
