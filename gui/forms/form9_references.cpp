#include "gui/forms/form9_references.h"

#include <QPushButton>

#include "gui/widgets/form_scaler.h"
#include "gui/app/language.h"
#include "gui/widgets/twips.h"

namespace dosavia::gui {

namespace {
constexpr int kPage = 9;
constexpr double kIndentTwips = 420;
constexpr double kColumnWidthTwips = 8730;
}  // namespace

Form9::Form9(QWidget* parent) : ExplanationPage(kPage, parent) { Form_Load(); }

void Form9::Form_Load() {
  SetTrTitle(this, "Form9", QT_TRANSLATE_NOOP("Form9", "文献"));
  resize(TwipsRect(0, 0, 9450, 7125).size());
  AddTextLines({{QT_TRANSLATE_NOOP("Form9", "参考文献"), LineStyle::kHeading}}, kPageMarginTwips,
               240, kColumnWidthTwips, kPageLinePitchTwips);
  // Each reference: its number and authors, then title and journal indented.
  const double left = kPageMarginTwips;
  const double inner = left + kIndentTwips;
  const double pitch = 360;
  AddTextLines({{"1.  L. I. Schiff:"}}, left, 780, kColumnWidthTwips, pitch);
  AddTextLines({{"Energy-angle distribution of thin target bremsstrahlung."},
                {"Phys. Rev. 83, 252–253 (1951)."}},
               inner, 780 + pitch, kColumnWidthTwips - kIndentTwips, pitch);
  AddTextLines({{"2.  R. Mohan, C. Chui and L. Lidofsky:"}}, left, 2040, kColumnWidthTwips, pitch);
  AddTextLines({{"Differential pencil beam dose computation model"},
                {"for photons."},
                {"Med. Phys. 13, 64–73 (1986)."}},
               inner, 2040 + pitch, kColumnWidthTwips - kIndentTwips, pitch);
  AddTextLines({{"3.  T. R. Mackie, A. F. Bielajew, D. W. O. Rogers"}}, left, 3660,
               kColumnWidthTwips, pitch);
  AddTextLines({{"and J. J. Battista:"},
                {"Generation of photon energy deposition kernels"},
                {"using the EGS Monte Carlo code."},
                {"Phys. Med. Biol. 33, 1–20 (1988)."}},
               inner, 3660 + pitch, kColumnWidthTwips - kIndentTwips, pitch);

  Command1 = AddButton("Exit", 9450 - kPageMarginTwips - kPageButtonWidthTwips, 6360,
                       kPageButtonWidthTwips, kPageButtonHeightTwips);
  connect(Command1, &QPushButton::clicked, this, &Form9::Command1_Click);
  MakeScalable(this, 9450, 7125);
  PlaceOnScreen(4);
}

void Form9::Command1_Click() { HideExplanationPages(); }

}  // namespace dosavia::gui
