#include "gui/forms/form6_page2.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "gui/app/app_forms.h"
#include "gui/app/language.h"
#include "gui/widgets/form_scaler.h"
#include "gui/widgets/twips.h"

namespace dosavia::gui {

namespace {
constexpr int kPage = 6;
constexpr double kFigureLeft = 8160;
// The picture is shown pixel for pixel: 628 x 472 at 96 dpi [twips].
constexpr double kFigureWidth = 9420;
constexpr double kFigureHeight = 7080;
}  // namespace

Form6::Form6(QWidget* parent) : ExplanationPage(kPage, parent) { Form_Load(); }

void Form6::Form_Load() {
  const PageTexts& page = ExplanationPageTexts(kPage);
  SetTrTitle(this, page.context, page.title);
  resize(TwipsRect(0, 0, 17880, 8250).size());
  AddTextLines(page.lines, kPageMarginTwips, kPageFirstLineTwips,
               kFigureLeft - kPageMarginTwips - 240, kPageLinePitchTwips);

  Label1 = AddCaption(page.captions[0], kFigureLeft, 300, kFigureWidth);
  Picture1 = new QLabel(this);
  PlaceTwips(Picture1, kFigureLeft, 720, kFigureWidth, kFigureHeight);
  Picture1->setAlignment(Qt::AlignCenter);
  const QPixmap picture(QString::fromLatin1(kElectronMapResource));
  if (picture.isNull())
    SetTrText(Picture1, "Form6", QT_TRANSLATE_NOOP("Form6", "Fig.2 の画像がありません"));
  else
    Picture1->setPixmap(picture);

  Command1 =
      AddButton(page.next, kPageMarginTwips, 7500, kPageButtonWidthTwips, kPageButtonHeightTwips);
  Command2 = AddButton("Exit", kPageMarginTwips + kPageButtonWidthTwips + 360, 7500,
                       kPageButtonWidthTwips, kPageButtonHeightTwips);
  connect(Command1, &QPushButton::clicked, this, &Form6::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form6::Command2_Click);
  MakeScalable(this, 17880, 8250);
  PlaceOnScreen(1);
}

void Form6::Command1_Click() { ShowExplanationPage(3); }

void Form6::Command2_Click() { HideExplanationPages(); }

}  // namespace dosavia::gui
