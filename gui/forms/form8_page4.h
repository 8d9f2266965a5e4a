// Explanation page 4: the build-up sideways to the beam and narrow fields (Fig.6, Fig.7).
#pragma once

#include "gui/forms/explanation_page.h"

class QLabel;
class QPushButton;

namespace dosavia::gui {

class LateralModelFigure;
class NarrowFieldFigure;

class Form8 : public ExplanationPage {
  Q_OBJECT

 public:
  explicit Form8(QWidget* parent = nullptr);

  QLabel* Label1 = nullptr;  // captions of Fig.6 and Fig.7
  QLabel* Label2 = nullptr;
  LateralModelFigure* Picture1 = nullptr;
  NarrowFieldFigure* Picture2 = nullptr;
  QPushButton* Command1 = nullptr;
  QPushButton* Command2 = nullptr;

 public slots:
  // "次頁へ": shows page 5 over this one.
  void Command1_Click();
  // "Exit": hides all explanation pages.
  void Command2_Click();

 private:
  void Form_Load();
};

}  // namespace dosavia::gui
