#include "gui/forms/form3_spectrum_page.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>

#include "gui/widgets/form_style.h"
#include "gui/app/language.h"
#include "gui/figures/spectrum_graph.h"
#include "gui/widgets/form_scaler.h"
#include "gui/widgets/twips.h"

namespace dosavia::gui {

namespace {
// The spectrum page sits under the explanation pages when both are open.
constexpr int kSpectrumPageRank = 3;
// Distance of the page from the screen's upper right corner [px].
constexpr int kScreenMarginPx = 40;
}  // namespace

Form3::Form3(QWidget* parent) : FloatingPage(kSpectrumPageRank, parent) { Form_Load(); }

void Form3::Form_Load() {
  SetTrTitle(this, "Form3", QT_TRANSLATE_NOOP("Form3", "　高エネルギーＸ線スペクトル"));
  resize(TwipsRect(0, 0, 8970, 7155).size());

  Label1 = new QLabel(this);
  SetTrText(Label1, "Form3",
            QT_TRANSLATE_NOOP("Form3", "シミュレーションで用いた高エネルギーＸ線スペクトル"));
  Label1->setFont(DefaultFont(kDefaultFontPoints, true));
  PlaceTwips(Label1, 360, 120, 8280, 420);
  Picture1 = new SpectrumGraph(this);
  PlaceTwips(Picture1, 360, 600, 8280, 5715);
  Label2 = new QLabel(QStringLiteral("Calculated by Schiff's formula"), this);
  PlaceTwips(Label2, 360, 6420, 5400, 420);
  Command1 = MakeButton(this, QT_TRANSLATE_NOOP("Form3", "閉じる"), 7080, 6420, 1560, 525);
  connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);

  MakeScalable(this, 8970, 7155);
  // Beside the visual screen's side view rather than over its settings.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(std::max(area.left(), area.right() - width() - kScreenMarginPx),
         area.top() + kScreenMarginPx);
  }
}

void Form3::showEvent(QShowEvent* event) {
  Picture1->Reload();
  FloatingPage::showEvent(event);
}

void Form3::Command1_Click() { hide(); }

}  // namespace dosavia::gui
