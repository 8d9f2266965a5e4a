// Explanation page 1: the depth dose of megavoltage X-rays and why it builds up (Fig.1).
#pragma once

#include "gui/forms/explanation_page.h"

class QLabel;
class QPushButton;

namespace dosavia::gui {

class TmrFigure;

class Form5 : public ExplanationPage {
  Q_OBJECT

 public:
  explicit Form5(QWidget* parent = nullptr);

  QLabel* Label1 = nullptr;  // caption of Fig.1
  TmrFigure* Picture1 = nullptr;
  QPushButton* Command1 = nullptr;
  QPushButton* Command2 = nullptr;

 public slots:
  // "次頁へ": shows page 2 over this one.
  void Command1_Click();
  // "Exit": hides all explanation pages.
  void Command2_Click();

 private:
  void Form_Load();
};

}  // namespace dosavia::gui
