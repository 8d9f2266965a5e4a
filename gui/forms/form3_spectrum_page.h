// The spectrum page: the X-ray spectra that the simulations use, opened from the visual
// screen and floating over it.
#pragma once

#include "gui/forms/explanation_page.h"

class QLabel;
class QPushButton;
class QShowEvent;

namespace dosavia::gui {

class SpectrumGraph;

class Form3 : public FloatingPage {
  Q_OBJECT

 public:
  explicit Form3(QWidget* parent = nullptr);

  QLabel* Label1 = nullptr;  // heading
  QLabel* Label2 = nullptr;  // note on how the spectra were calculated
  SpectrumGraph* Picture1 = nullptr;
  QPushButton* Command1 = nullptr;

 public slots:
  // "閉じる": hides the page.
  void Command1_Click();

 protected:
  // The spectrum files are read again each time the page is shown, so that the graph
  // always shows the files the simulations read.
  void showEvent(QShowEvent* event) override;

 private:
  void Form_Load();
};

}  // namespace dosavia::gui
