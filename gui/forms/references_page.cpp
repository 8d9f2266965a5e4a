#include "gui/forms/references_page.h"

#include <QPushButton>
#include <cstddef>
#include <iterator>

#include "gui/base/language.h"
#include "gui/widgets/form_scaler.h"
#include "gui/widgets/twips.h"

namespace dosavia::gui {

namespace {
constexpr double kIndentTwips = 420;
constexpr double kColumnWidthTwips = 8730;
// Where each reference begins: room for the longest, five lines, beneath the
// heading.
constexpr double kCitationTopTwips[] = {780, 2040, 3660};
}  // namespace

ReferencesPage::ReferencesPage(QWidget* parent)
    : TextPage(ExplanationPageTexts(kReferencesPage), parent) {
  CreateControls();
}

void ReferencesPage::CreateControls() {
  const PageTexts& page = Texts();
  resize(TwipsRect(0, 0, 9450, 7125).size());
  // The heading, then each reference: its number and authors, the rest indented
  // beneath.
  const double left = kPageMarginTwips;
  const double inner = left + kIndentTwips;
  constexpr double kCitationPitch = 360;
  std::size_t reference = 0;
  for (std::size_t i = 0; i < page.lines.size();) {
    const PageLineKind kind = page.lines[i].kind;
    std::size_t end = i + 1;
    while (end < page.lines.size() && page.lines[end].kind == PageLineKind::kCitationMore) ++end;
    if (kind == PageLineKind::kCitation && reference < std::size(kCitationTopTwips)) {
      const double top = kCitationTopTwips[reference++];
      AddTextLines(page.lines.subspan(i, 1), left, top, kColumnWidthTwips, kCitationPitch);
      AddTextLines(page.lines.subspan(i + 1, end - i - 1), inner, top + kCitationPitch,
                   kColumnWidthTwips - kIndentTwips, kCitationPitch);
    } else if (kind == PageLineKind::kHeading) {
      AddTextLines(page.lines.subspan(i, 1), left, 240, kColumnWidthTwips, kPageLinePitchTwips);
    }
    i = end;
  }

  exit_button = AddButton("Exit", 9450 - kPageMarginTwips - kPageButtonWidthTwips, 6360,
                          kPageButtonWidthTwips, kPageButtonHeightTwips);
  connect(exit_button, &QPushButton::clicked, this, &ReferencesPage::OnExit);
  MakeScalable(this, 9450, 7125);
  PlaceOnScreen(5);
}

void ReferencesPage::OnExit() { HideExplanationPages(); }

}  // namespace dosavia::gui
