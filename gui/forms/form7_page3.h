// Explanation page 3: the build-up along the beam in the unit-volume model (Fig.3 to Fig.5).
#pragma once

#include "gui/forms/explanation_page.h"

class QLabel;
class QPushButton;

namespace dosavia::gui {

class LongitudinalModelFigure;
class ModelDoseFigure;

class Form7 : public ExplanationPage {
  Q_OBJECT

 public:
  explicit Form7(QWidget* parent = nullptr);

  QLabel* Label1 = nullptr;  // captions of Fig.3, Fig.4 and Fig.5
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  LongitudinalModelFigure* Picture1 = nullptr;
  ModelDoseFigure* Picture2 = nullptr;  // without attenuation
  ModelDoseFigure* Picture3 = nullptr;  // attenuated beam
  QPushButton* Command1 = nullptr;
  QPushButton* Command2 = nullptr;

 public slots:
  // "次頁へ": shows page 4 over this one.
  void Command1_Click();
  // "Exit": hides all explanation pages.
  void Command2_Click();

 private:
  void Form_Load();
};

}  // namespace dosavia::gui
