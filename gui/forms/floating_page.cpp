#include "gui/forms/floating_page.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <vector>

#include "gui/widgets/form_style.h"
#include "gui/base/language.h"
#include "gui/widgets/twips.h"

namespace dosavia::gui {

namespace {

// Distance between the places of successive pages [px] and of the first from the corner.
constexpr int kCascadeStepPx = 28;
constexpr int kScreenMarginPx = 24;

// Watches the program's forms: when one that is not a floating page is shown, the open
// floating pages are raised over it once the show has been handled.
class FloatingPageKeeper : public QObject {
 public:
  using QObject::QObject;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Show || !watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    // Only ordinary windows: message boxes and other dialogs stay on top of everything.
    if (!widget->isWindow() || widget->windowType() != Qt::Window ||
        qobject_cast<FloatingPage*>(widget) != nullptr)
      return false;
    if (!pending_) {
      pending_ = true;
      QTimer::singleShot(0, this, [this] {
        pending_ = false;
        RaiseFloatingPages();
      });
    }
    return false;
  }

 private:
  bool pending_ = false;
};

void InstallKeeperOnce() {
  static QPointer<FloatingPageKeeper> keeper;
  if (keeper != nullptr || qApp == nullptr) return;
  keeper = new FloatingPageKeeper(qApp);
  qApp->installEventFilter(keeper);
}

}  // namespace

FloatingPage::FloatingPage(int stack_rank, QWidget* parent)
    : QWidget(parent, Qt::Window), stack_rank_(stack_rank) {
  InstallKeeperOnce();
  setFont(DefaultFont());
}

void FloatingPage::setVisible(bool visible) {
  QWidget::setVisible(visible);
  if (!visible) return;
  raise();
  activateWindow();
}

void FloatingPage::PlaceOnScreen(int offset) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const int step = kScreenMarginPx + offset * kCascadeStepPx;
  // Keep the whole page on the screen when the screen is small.
  const int x = std::max(area.left(), std::min(area.left() + step, area.right() - width()));
  const int y = std::max(area.top(), std::min(area.top() + step, area.bottom() - height()));
  move(x, y);
}

void FloatingPage::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) RetranslateUi();
  QWidget::changeEvent(event);
}

void FloatingPage::RetranslateUi() { RetranslateTexts(this); }

void RaiseFloatingPages() {
  std::vector<FloatingPage*> pages;
  for (QWidget* window : QApplication::topLevelWidgets())
    if (auto* page = qobject_cast<FloatingPage*>(window); page != nullptr && page->isVisible())
      pages.push_back(page);
  std::stable_sort(pages.begin(), pages.end(), [](const FloatingPage* a, const FloatingPage* b) {
    return a->StackRank() < b->StackRank();
  });
  for (FloatingPage* page : pages) page->raise();
}

namespace {

// The rank of the first page of text: over the spectrum page.
constexpr int kFirstTextPageRank = 5;

// The rank of `texts`' page: its place in reading order after the spectrum page, so that a
// page opened from another is raised over it.
int ReadingRank(const PageTexts& texts) {
  const std::span<const PageTexts> pages = ExplanationPages();
  for (std::size_t i = 0; i < pages.size(); ++i)
    if (&pages[i] == &texts) return kFirstTextPageRank + static_cast<int>(i);
  return kFirstTextPageRank + static_cast<int>(pages.size());
}

}  // namespace

TextPage::TextPage(const PageTexts& texts, QWidget* parent)
    : FloatingPage(ReadingRank(texts), parent), texts_(texts) {
  SetWindowTrContext(this, texts.context);
  SetTrTitle(this, texts.context, texts.title);
}

void TextPage::AddTextLines(std::span<const PageLine> lines, double left, double top, double width,
                            double pitch) {
  double y = top;
  for (const PageLine& line : lines) {
    auto* label = new QLabel(this);
    SetTrText(label, TrContext(this).constData(), line.text);
    if (line.kind == PageLineKind::kHeading) label->setFont(DefaultFont(kDefaultFontPoints, true));
    PlaceTwips(label, left, y, width, pitch);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    y += pitch;
  }
}

QPushButton* TextPage::AddButton(const char* caption, double left, double top, double width,
                                 double height) {
  return MakeButton(this, caption, left, top, width, height);
}

QLabel* TextPage::AddCaption(const char* text, double left, double top, double width) {
  auto* label = new QLabel(this);
  SetTrText(label, TrContext(this).constData(), text);
  label->setFont(DefaultFont(kDefaultFontPoints - 1, true));
  PlaceTwips(label, left, top, width, kPageLinePitchTwips);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return label;
}

QLabel* TextPage::AddNote(const char* text, double left, double top, double width, double height) {
  auto* label = new QLabel(this);
  SetTrText(label, TrContext(this).constData(), text);
  label->setFont(DefaultFont(kDefaultFontPoints - 1));
  label->setWordWrap(true);
  PlaceTwips(label, left, top, width, height);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

void HideExplanationPages() {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (qobject_cast<TextPage*>(window) != nullptr) window->hide();
}

}  // namespace dosavia::gui
