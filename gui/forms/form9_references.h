// The references page: the literature behind the physics of the program.
#pragma once

#include "gui/forms/explanation_page.h"

class QPushButton;

namespace dosavia::gui {

class Form9 : public ExplanationPage {
  Q_OBJECT

 public:
  explicit Form9(QWidget* parent = nullptr);

  QPushButton* Command1 = nullptr;

 public slots:
  // "Exit": hides all explanation pages.
  void Command1_Click();

 private:
  void Form_Load();
};

}  // namespace dosavia::gui
