#include "gui/form5.h"

#include <QLabel>
#include <QPushButton>

#include "gui/app_forms.h"
#include "gui/depth_dose_figures.h"
#include "gui/form_scaler.h"
#include "gui/twips.h"

namespace dosavia::gui {

namespace {
constexpr int kPage = 5;
constexpr double kFigureLeft = 9480;
constexpr double kFigureWidth = 6150;
}  // namespace

Form5::Form5(QWidget* parent) : ExplanationPage(kPage, parent) { Form_Load(); }

void Form5::Form_Load() {
  setWindowTitle(QString::fromUtf8("解説-１"));
  resize(TwipsRect(0, 0, 15990, 6630).size());
  AddTextLines(
      {
          {"放射線治療で用いられる高エネルギーＸ線（MVＸ線）の"},
          {"中心軸上の深部線量は、入射表面では小さく、深さとともに"},
          {"急に増えて最大となり、その後はゆるやかに減っていく（Fig.1）。"},
          {"表面から最大線量の深さ d_max までをビルドアップ領域という。"},
          {"この急な増加は、光子との相互作用（主に非干渉性散乱、"},
          {"すなわちコンプトン散乱）で動き出した２次電子が、物質中を"},
          {"ある距離（飛程）だけ進み、その飛跡に沿ってエネルギーを"},
          {"与えるために起こる。電子は主に前方へ進むので、線量は"},
          {"電子が発生した場所より深い所に与えられる。"},
          {"診断用の kV Ｘ線では、２次電子の受け取るエネルギーが小さく、"},
          {"飛程もせいぜい数百μm なので、電子によるビルドアップは"},
          {"ほとんど見られない。"},
          {"では、MVＸ線で生じた２次電子はどこまで飛び、どのように"},
          {"広がってエネルギーを与えるのだろうか。次頁で見てみよう。"},
      },
      kPageMarginTwips, kPageFirstLineTwips, kFigureLeft - kPageMarginTwips - 240,
      kPageLinePitchTwips);

  Label1 = AddCaption("Fig.1  10MVＸ線の組織-最大線量比 (TMR)", kFigureLeft, 300, kFigureWidth);
  Picture1 = new TmrFigure(this);
  PlaceTwips(Picture1, kFigureLeft, 720, kFigureWidth, 5640);

  Command1 = AddButton("次頁へ", kPageMarginTwips, 5940, kPageButtonWidthTwips,
                       kPageButtonHeightTwips);
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
