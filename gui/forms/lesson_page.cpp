#include "gui/forms/lesson_page.h"

#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>

#include <array>
#include <cstddef>

#include "gui/base/language.h"
#include "gui/widgets/form_scaler.h"
#include "gui/widgets/form_style.h"
#include "gui/widgets/twips.h"

namespace dosavia::gui {

namespace {

constexpr char kLessonContext[] = "LessonPage";

// The lessons in the order of the browser's list, by their sheets' names.
struct Lesson {
  const char* name;   // in the file names docs/lesson_<name>_<ja|en>.md
  const char* title;  // in the list, translated
};
constexpr std::array kLessons{
    Lesson{"buildup", QT_TRANSLATE_NOOP("LessonPage", "ビルドアップ")},
    Lesson{"interfaces", QT_TRANSLATE_NOOP("LessonPage", "境界：肺・空気・骨・ボーラス")},
};

// The window's size at 100 % [twips]: a sheet of about 90 characters a line.
constexpr double kWidthTwips = 11400;
constexpr double kHeightTwips = 9600;

}  // namespace

LessonPage::LessonPage(QWidget* parent) : QWidget(parent, Qt::Window) {
  SetWindowTrContext(this, kLessonContext);
  setFont(DefaultFont());
  resize(TwipsRect(0, 0, kWidthTwips, kHeightTwips).size());
  SetTrTitle(this, kLessonContext, QT_TRANSLATE_NOOP("LessonPage", "授業案"));

  lesson_box = new QComboBox(this);
  lesson_box->setObjectName(QStringLiteral("lesson_box"));
  for (const Lesson& lesson : kLessons) lesson_box->addItem(Tr(kLessonContext, lesson.title));
  PlaceTwips(lesson_box, 240, 120, 5400, 420);
  close_button = MakeButton(this, QT_TRANSLATE_NOOP("LessonPage", "閉じる"), kWidthTwips - 1800, 90,
                            1560, 480);
  sheet = new QTextBrowser(this);
  sheet->setObjectName(QStringLiteral("sheet"));
  // The links are the browser edition's addresses: shown by name, never followed from here.
  sheet->setOpenLinks(false);
  PlaceTwips(sheet, 240, 660, kWidthTwips - 480, kHeightTwips - 780);

  connect(lesson_box, &QComboBox::currentIndexChanged, this, &LessonPage::ShowSheet);
  connect(close_button, &QPushButton::clicked, this, &QWidget::hide);
  ShowSheet();
  MakeScalable(this, kWidthTwips, kHeightTwips);
  CentreOnScreen(this);
}

QString LessonPage::SheetText(int lesson, bool english) {
  if (lesson < 0 || lesson >= static_cast<int>(kLessons.size())) return {};
  QFile file(QStringLiteral(":/lessons/lesson_%1_%2.md")
                 .arg(QLatin1String(kLessons[static_cast<std::size_t>(lesson)].name),
                      english ? QStringLiteral("en") : QStringLiteral("ja")));
  if (!file.open(QIODevice::ReadOnly)) return {};
  QString text = QString::fromUtf8(file.readAll());
  // [name](address) -> name: the desktop step beside it says what to press instead.
  static const QRegularExpression kLink(QStringLiteral(R"(\[([^\]]*)\]\([^)]*\))"));
  text.replace(kLink, QStringLiteral("\\1"));
  return text;
}

void LessonPage::ShowSheet() {
  sheet->setMarkdown(
      SheetText(lesson_box->currentIndex(), CurrentLanguage() == Language::kEnglish));
}

void LessonPage::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) {
    RetranslateTexts(this);
    for (int i = 0; i < lesson_box->count(); ++i)
      lesson_box->setItemText(i, Tr(kLessonContext, kLessons[static_cast<std::size_t>(i)].title));
    ShowSheet();
  }
  QWidget::changeEvent(event);
}

}  // namespace dosavia::gui
