#include "gui/forms/form7_page3.h"

#include <QLabel>
#include <QPushButton>

#include "gui/app/app_forms.h"
#include "gui/widgets/form_scaler.h"
#include "gui/app/language.h"
#include "gui/widgets/twips.h"
#include "gui/figures/unit_volume_figures.h"

namespace dosavia::gui {

namespace {
constexpr int kPage = 7;
constexpr double kFigureLeft = 8700;
constexpr double kFigureWidth = 8775;
constexpr double kHalfFigureWidth = 4320;
}  // namespace

Form7::Form7(QWidget* parent) : ExplanationPage(kPage, parent) { Form_Load(); }

void Form7::Form_Load() {
  SetTrTitle(this, "Form7", QT_TRANSLATE_NOOP("Form7", "解説-３"));
  resize(TwipsRect(0, 0, 17715, 8595).size());
  AddTextLines(
      {
          {QT_TRANSLATE_NOOP("Form7", "線束方向のビルドアップ（2次電子平衡）"),
           LineStyle::kHeading},
          {QT_TRANSLATE_NOOP("Form7",
                             "水を、線束に沿って並んだ小さな単位体積の列と考える（Fig.3）。")},
          {QT_TRANSLATE_NOOP("Form7", "まずＸ線の減弱を無視し、どの体積でも１次光子による")},
          {QT_TRANSLATE_NOOP("Form7",
                             "カーマ（２次電子に与えられる運動エネルギー）を 100 とする。")},
          {QT_TRANSLATE_NOOP("Form7", "２次電子はすべて前方へ進み、飛程は単位体積 4 個分で、")},
          {QT_TRANSLATE_NOOP("Form7",
                             "通過する 4 個の体積に 25 ずつ等しくエネルギーを与えるとする。")},
          {QT_TRANSLATE_NOOP("Form7", "すると吸収線量は、深さ 1 の体積で 25、2 で 50、3 で 75、")},
          {QT_TRANSLATE_NOOP("Form7", "4 から先では 100 となり、カーマと等しくなる（Fig.4）。")},
          {QT_TRANSLATE_NOOP("Form7", "体積に入ってくる電子と出ていく電子のエネルギーがつり合う")},
          {QT_TRANSLATE_NOOP("Form7", "この状態を、２次電子平衡という。")},
          {QT_TRANSLATE_NOOP("Form7",
                             "実際のＸ線は深さとともに減弱するので、カーマも深さとともに")},
          {QT_TRANSLATE_NOOP("Form7", "減っていく。このため完全な平衡にはならず、最大線量の深さ")},
          {QT_TRANSLATE_NOOP("Form7",
                             "より先では、１次線量は１次カーマより大きい値を保ったまま、")},
          {QT_TRANSLATE_NOOP("Form7", "カーマと同じ割合で減っていく。これを過渡平衡といい、")},
          {QT_TRANSLATE_NOOP("Form7", "１次カーマと１次線量は等しくならない（Fig.5）。")},
      },
      kPageMarginTwips, kPageFirstLineTwips, kFigureLeft - kPageMarginTwips - 240,
      kPageLinePitchTwips);

  Label1 = AddCaption(QT_TRANSLATE_NOOP("Form7", "Fig.3  線束方向の単位体積モデル（減弱なし）"),
                      kFigureLeft, 120, kFigureWidth);
  Picture1 = new LongitudinalModelFigure(this);
  PlaceTwips(Picture1, kFigureLeft, 510, kFigureWidth, 2850);
  Label2 = AddCaption(QT_TRANSLATE_NOOP("Form7", "Fig.4  減弱なし"), kFigureLeft, 3480,
                      kHalfFigureWidth);
  Picture2 = new ModelDoseFigure(1.0, this);
  PlaceTwips(Picture2, kFigureLeft, 3870, kHalfFigureWidth, 4545);
  Label3 = AddCaption(QT_TRANSLATE_NOOP("Form7", "Fig.5  減弱あり"),
                      kFigureLeft + kFigureWidth - kHalfFigureWidth, 3480, kHalfFigureWidth);
  Picture3 = new ModelDoseFigure(kModelTransmission, this);
  PlaceTwips(Picture3, kFigureLeft + kFigureWidth - kHalfFigureWidth, 3870, kHalfFigureWidth,
             4545);

  Command1 = AddButton(QT_TRANSLATE_NOOP("Form7", "次頁へ"), kPageMarginTwips, 7860,
                       kPageButtonWidthTwips, kPageButtonHeightTwips);
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
