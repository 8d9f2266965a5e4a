// The lesson screen of the desktop: a lesson sheet read in the window, in the interface's
// language, beside the screens a class works on. Its texts are the printed sheets themselves
// (docs/lesson_*.md, built into the program), so that the screen and the sheet cannot tell a
// class different numbers; each step says what to press on the desktop beside the browser
// edition's link, which is shown by its name only.
#pragma once

#include <QString>
#include <QWidget>

class QComboBox;
class QEvent;
class QPushButton;
class QTextBrowser;

namespace dosavia::gui {

class LessonPage : public QWidget {
  Q_OBJECT

 public:
  explicit LessonPage(QWidget* parent = nullptr);

  QComboBox* lesson_box = nullptr;  // which lesson: build-up, or the interfaces
  QTextBrowser* sheet = nullptr;    // the sheet of the lesson in the interface's language
  QPushButton* close_button = nullptr;

  // The sheet's text as shown: the Markdown of the chosen lesson in the interface's
  // language, each link written as its name. Empty when the sheet is not in the program.
  static QString SheetText(int lesson, bool english);

 protected:
  // A language switch: the sheet in the chosen language, the controls' texts again.
  void changeEvent(QEvent* event) override;

 private:
  void ShowSheet();
};

}  // namespace dosavia::gui
