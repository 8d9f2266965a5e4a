#include "gui/forms/form8_page4.h"

#include <QLabel>
#include <QPushButton>

#include "gui/app/app_forms.h"
#include "gui/figures/page_depth_dose_figures.h"
#include "gui/widgets/form_scaler.h"
#include "gui/app/language.h"
#include "gui/widgets/twips.h"
#include "gui/figures/unit_volume_figures.h"

namespace dosavia::gui {

namespace {
constexpr int kPage = 8;
constexpr double kFigureLeft = 8700;
constexpr double kFigureWidth = 8820;
}  // namespace

Form8::Form8(QWidget* parent) : ExplanationPage(kPage, parent) { Form_Load(); }

void Form8::Form_Load() {
  SetTrTitle(this, "Form8", QT_TRANSLATE_NOOP("Form8", "解説-４"));
  resize(TwipsRect(0, 0, 17760, 8460).size());
  AddTextLines(
      {
          {QT_TRANSLATE_NOOP("Form8", "線束に対して側方向のビルドアップ"), LineStyle::kHeading},
          {QT_TRANSLATE_NOOP("Form8",
                             "同じ単位体積のモデルを、線束と直角な方向に並べてみる（Fig.6）。")},
          {QT_TRANSLATE_NOOP("Form8", "各体積の１次カーマを 80 とし、２次電子は左右それぞれ")},
          {QT_TRANSLATE_NOOP("Form8", "単位体積 4 個分（発生した体積を含む）まで届いて、")},
          {QT_TRANSLATE_NOOP("Form8", "その各体積に 10 ずつ与えるとする（発生した体積には 20）。")},
          {QT_TRANSLATE_NOOP("Form8", "照射野が範囲①（7 個分）以上あれば、中央の体積は自分と")},
          {QT_TRANSLATE_NOOP("Form8", "両側 3 個ずつ、計 7 個の体積から電子を受け取り、線量は")},
          {QT_TRANSLATE_NOOP("Form8", "80 でカーマと等しい。これが側方向の２次電子平衡である。")},
          {QT_TRANSLATE_NOOP("Form8", "照射野②（5 個分）では 60、③（3 個分）では 40、")},
          {QT_TRANSLATE_NOOP("Form8", "④（1 個分）では自分の電子だけの 20 になる。")},
          {QT_TRANSLATE_NOOP("Form8", "実際の照射野が Fig.2 の電子の側方への広がりより狭いと、")},
          {QT_TRANSLATE_NOOP("Form8", "中心軸上で側方向の平衡が成り立たなくなって線量が下がり、")},
          {QT_TRANSLATE_NOOP("Form8", "最大線量の深さ d_max も表面側へ移る（Fig.7）。")},
          {QT_TRANSLATE_NOOP("Form8", "定位放射線照射や強度変調放射線治療（IMRT）のように")},
          {QT_TRANSLATE_NOOP("Form8", "細い線束を用いるときには、この効果を考慮する必要がある。")},
      },
      kPageMarginTwips, kPageFirstLineTwips, kFigureLeft - kPageMarginTwips - 240,
      kPageLinePitchTwips);

  Label1 = AddCaption(QT_TRANSLATE_NOOP("Form8", "Fig.6  側方向の単位体積モデル"), kFigureLeft, 120,
                      kFigureWidth);
  Picture1 = new LateralModelFigure(this);
  PlaceTwips(Picture1, kFigureLeft, 510, kFigureWidth, 3360);
  Label2 =
      AddCaption(QT_TRANSLATE_NOOP(
                     "Form8", "Fig.7  細い照射野の深部線量（10 MV、１次カーマの最大値 = 100 %）"),
                 kFigureLeft, 4020, kFigureWidth);
  Picture2 = new NarrowFieldFigure(this);
  PlaceTwips(Picture2, kFigureLeft, 4410, kFigureWidth, 3900);

  Command1 = AddButton(QT_TRANSLATE_NOOP("Form8", "参考文献"), kPageMarginTwips, 7740,
                       kPageButtonWidthTwips, kPageButtonHeightTwips);
  Command2 = AddButton("Exit", kPageMarginTwips + kPageButtonWidthTwips + 360, 7740,
                       kPageButtonWidthTwips, kPageButtonHeightTwips);
  connect(Command1, &QPushButton::clicked, this, &Form8::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form8::Command2_Click);
  MakeScalable(this, 17760, 8460);
  PlaceOnScreen(3);
}

void Form8::Command1_Click() { ShowReferencesPage(); }

void Form8::Command2_Click() { HideExplanationPages(); }

}  // namespace dosavia::gui
