// Explanation page 5: the experiments of the visual screen that switch parts of the physics
// off, with the unit-volume model with and without electron transport (Fig.8, Fig.9).
#pragma once

#include "gui/forms/explanation_page.h"

class QLabel;
class QPushButton;

namespace dosavia::gui {

class ModelDoseFigure;

class Form10 : public ExplanationPage {
  Q_OBJECT

 public:
  explicit Form10(QWidget* parent = nullptr);

  QLabel* Label1 = nullptr;  // captions of Fig.8 and Fig.9
  QLabel* Label2 = nullptr;
  ModelDoseFigure* Picture1 = nullptr;  // electrons carry the kerma on
  ModelDoseFigure* Picture2 = nullptr;  // electrons stay where they were set in motion
  QPushButton* Command1 = nullptr;
  QPushButton* Command2 = nullptr;

 public slots:
  // "参考文献": shows the references page over this one.
  void Command1_Click();
  // "Exit": hides all explanation pages.
  void Command2_Click();

 private:
  void Form_Load();
};

}  // namespace dosavia::gui
