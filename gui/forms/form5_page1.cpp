#include "gui/forms/form5_page1.h"

#include <QLabel>
#include <QPushButton>

#include "gui/app/app_forms.h"
#include "gui/app/language.h"
#include "gui/figures/page_depth_dose_figures.h"
#include "gui/widgets/form_scaler.h"
#include "gui/widgets/twips.h"

namespace dosavia::gui {

namespace {
constexpr int kPage = 5;
constexpr double kFigureLeft = 9480;
constexpr double kFigureWidth = 6150;
}  // namespace

Form5::Form5(QWidget* parent) : ExplanationPage(kPage, parent) { Form_Load(); }

void Form5::Form_Load() {
  const PageTexts& page = ExplanationPageTexts(kPage);
  SetTrTitle(this, page.context, page.title);
  resize(TwipsRect(0, 0, 15990, 6630).size());
  AddTextLines(page.lines, kPageMarginTwips, kPageFirstLineTwips,
               kFigureLeft - kPageMarginTwips - 240, kPageLinePitchTwips);

  Label1 = AddCaption(page.captions[0], kFigureLeft, 300, kFigureWidth);
  Picture1 = new TmrFigure(this);
  PlaceTwips(Picture1, kFigureLeft, 720, kFigureWidth, 5640);

  Command1 =
      AddButton(page.next, kPageMarginTwips, 5940, kPageButtonWidthTwips, kPageButtonHeightTwips);
  Command2 = AddButton("Exit", kPageMarginTwips + kPageButtonWidthTwips + 360, 5940,
                       kPageButtonWidthTwips, kPageButtonHeightTwips);
  connect(Command1, &QPushButton::clicked, this, &Form5::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form5::Command2_Click);
  MakeScalable(this, 15990, 6630);
  PlaceOnScreen(0);
}

void Form5::Command1_Click() { ShowExplanationPage(2); }

void Form5::Command2_Click() { HideExplanationPages(); }

}  // namespace dosavia::gui
