#include "gui/forms/form5_page1.h"

#include <QLabel>
#include <QPushButton>

#include "gui/app/app_forms.h"
#include "gui/figures/page_depth_dose_figures.h"
#include "gui/widgets/form_scaler.h"
#include "gui/app/language.h"
#include "gui/widgets/twips.h"

namespace dosavia::gui {

namespace {
constexpr int kPage = 5;
constexpr double kFigureLeft = 9480;
constexpr double kFigureWidth = 6150;
}  // namespace

Form5::Form5(QWidget* parent) : ExplanationPage(kPage, parent) { Form_Load(); }

void Form5::Form_Load() {
  SetTrTitle(this, "Form5", QT_TRANSLATE_NOOP("Form5", "解説-１"));
  resize(TwipsRect(0, 0, 15990, 6630).size());
  AddTextLines(
      {
          {QT_TRANSLATE_NOOP("Form5", "放射線治療で用いられる高エネルギーＸ線（MVＸ線）の")},
          {QT_TRANSLATE_NOOP("Form5", "中心軸上の深部線量は、入射表面では小さく、深さとともに")},
          {QT_TRANSLATE_NOOP("Form5",
                             "急に増えて最大となり、その後はゆるやかに減っていく（Fig.1）。")},
          {QT_TRANSLATE_NOOP("Form5",
                             "表面から最大線量の深さ d_max までをビルドアップ領域という。")},
          {QT_TRANSLATE_NOOP("Form5", "この急な増加は、光子との相互作用（主に非干渉性散乱、")},
          {QT_TRANSLATE_NOOP("Form5", "すなわちコンプトン散乱）で動き出した２次電子が、物質中を")},
          {QT_TRANSLATE_NOOP("Form5", "ある距離（飛程）だけ進み、その飛跡に沿ってエネルギーを")},
          {QT_TRANSLATE_NOOP("Form5", "与えるために起こる。電子は主に前方へ進むので、線量は")},
          {QT_TRANSLATE_NOOP("Form5", "電子が発生した場所より深い所に与えられる。")},
          {QT_TRANSLATE_NOOP("Form5",
                             "診断用の kV Ｘ線では、２次電子の受け取るエネルギーが小さく、")},
          {QT_TRANSLATE_NOOP("Form5", "飛程もせいぜい数百μm なので、電子によるビルドアップは")},
          {QT_TRANSLATE_NOOP("Form5", "ほとんど見られない。")},
          {QT_TRANSLATE_NOOP("Form5", "では、MVＸ線で生じた２次電子はどこまで飛び、どのように")},
          {QT_TRANSLATE_NOOP("Form5", "広がってエネルギーを与えるのだろうか。次頁で見てみよう。")},
      },
      kPageMarginTwips, kPageFirstLineTwips, kFigureLeft - kPageMarginTwips - 240,
      kPageLinePitchTwips);

  Label1 = AddCaption(QT_TRANSLATE_NOOP("Form5", "Fig.1  10MVＸ線の組織-最大線量比 (TMR)"),
                      kFigureLeft, 300, kFigureWidth);
  Picture1 = new TmrFigure(this);
  PlaceTwips(Picture1, kFigureLeft, 720, kFigureWidth, 5640);

  Command1 = AddButton(QT_TRANSLATE_NOOP("Form5", "次頁へ"), kPageMarginTwips, 5940,
                       kPageButtonWidthTwips, kPageButtonHeightTwips);
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
