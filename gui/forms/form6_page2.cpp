#include "gui/forms/form6_page2.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "gui/app/app_forms.h"
#include "gui/widgets/form_scaler.h"
#include "gui/app/language.h"
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
  SetTrTitle(this, "Form6", QT_TRANSLATE_NOOP("Form6", "解説-２"));
  resize(TwipsRect(0, 0, 17880, 8250).size());
  AddTextLines(
      {
          {QT_TRANSLATE_NOOP("Form6", "Fig.2 は、高エネルギーX線 (4,6,10 MV) が、ある特定点")},
          {QT_TRANSLATE_NOOP("Form6", "(R, Z) = (0, 0) でコンプトン散乱を起こしたとき、")},
          {QT_TRANSLATE_NOOP("Form6", "放出された２次電子の運動エネルギーが、その飛跡に沿って")},
          {QT_TRANSLATE_NOOP("Form6", "どこで吸収されるかを表したものである。")},
          {QT_TRANSLATE_NOOP("Form6", "初期運動エネルギー（カーマ）を 1.0 に規格化した微分線量")},
          {QT_TRANSLATE_NOOP("Form6", "分布 P(R, Z) に 2πR を掛け、Z 軸のまわりに 360 度")},
          {QT_TRANSLATE_NOOP("Form6", "加え合わせてある。Z はＸ線の進む向き、R は Z 軸からの")},
          {QT_TRANSLATE_NOOP("Form6", "距離である。")},
          {QT_TRANSLATE_NOOP("Form6", "エネルギーが高いほど電子の飛程は長く、広がりも大きい。")},
          {QT_TRANSLATE_NOOP("Form6", "10 MV でも、エネルギーのほとんどは前方約 3 cm、")},
          {QT_TRANSLATE_NOOP("Form6", "側方約 1.5 cm の範囲で吸収される。")},
          {QT_TRANSLATE_NOOP("Form6", "電子の運ぶエネルギーは、線束の方向には深い所へ、")},
          {QT_TRANSLATE_NOOP("Form6", "線束と直角な方向には周りの部分へと移される。")},
          {QT_TRANSLATE_NOOP("Form6", "次頁からは、この２次電子の平衡によって、線束方向と")},
          {QT_TRANSLATE_NOOP("Form6", "側方向にビルドアップがどのように生じるかを考えよう。")},
      },
      kPageMarginTwips, kPageFirstLineTwips, kFigureLeft - kPageMarginTwips - 240,
      kPageLinePitchTwips);

  Label1 = AddCaption(
      QT_TRANSLATE_NOOP("Form6", "Fig.2  高エネルギーＸ線で発生する２次電子の吸収確率空間分布"),
      kFigureLeft, 300, kFigureWidth);
  Picture1 = new QLabel(this);
  PlaceTwips(Picture1, kFigureLeft, 720, kFigureWidth, kFigureHeight);
  Picture1->setAlignment(Qt::AlignCenter);
  const QPixmap picture(QString::fromLatin1(kElectronMapResource));
  if (picture.isNull())
    SetTrText(Picture1, "Form6", QT_TRANSLATE_NOOP("Form6", "Fig.2 の画像がありません"));
  else
    Picture1->setPixmap(picture);

  Command1 = AddButton(QT_TRANSLATE_NOOP("Form6", "次頁へ"), kPageMarginTwips, 7500,
                       kPageButtonWidthTwips, kPageButtonHeightTwips);
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
