#include "gui/forms/spectrum_page.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>

#include "gui/widgets/form_style.h"
#include "gui/base/language.h"
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

SpectrumPage::SpectrumPage(QWidget* parent) : FloatingPage(kSpectrumPageRank, parent) {
  CreateControls();
}

void SpectrumPage::CreateControls() {
  // The context of the page's texts, which the translation file shares.
  SetWindowTrContext(this, "SpectrumPage");
  SetTrTitle(this, "SpectrumPage",
             QT_TRANSLATE_NOOP("SpectrumPage", "　高エネルギーＸ線スペクトル"));
  resize(TwipsRect(0, 0, 8970, 7155).size());

  auto* const heading = new QLabel(this);
  SetTrText(
      heading, "SpectrumPage",
      QT_TRANSLATE_NOOP("SpectrumPage", "シミュレーションで用いた高エネルギーＸ線スペクトル"));
  heading->setFont(DefaultFont(kDefaultFontPoints, true));
  PlaceTwips(heading, 360, 120, 8280, 420);
  graph = new SpectrumGraph(this);
  PlaceTwips(graph, 360, 600, 8280, 5715);
  auto* const method_note = new QLabel(QStringLiteral("Calculated by Schiff's formula"), this);
  PlaceTwips(method_note, 360, 6420, 5400, 420);
  close_button =
      MakeButton(this, QT_TRANSLATE_NOOP("SpectrumPage", "閉じる"), 7080, 6420, 1560, 525);
  connect(close_button, &QPushButton::clicked, this, &SpectrumPage::OnClose);

  MakeScalable(this, 8970, 7155);
  // Beside the visual screen's side view rather than over its settings.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(std::max(area.left(), area.right() - width() - kScreenMarginPx),
         area.top() + kScreenMarginPx);
  }
}

void SpectrumPage::showEvent(QShowEvent* event) {
  graph->Reload();
  FloatingPage::showEvent(event);
}

void SpectrumPage::OnClose() { hide(); }

}  // namespace dosavia::gui
