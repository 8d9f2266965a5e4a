// The spectrum page: the X-ray spectra that the simulations use, opened from the visual
// screen and floating over it.
#pragma once

#include "gui/forms/floating_page.h"

class QPushButton;
class QShowEvent;

namespace dosavia::gui {

class SpectrumGraph;

class SpectrumPage : public FloatingPage {
  Q_OBJECT

 public:
  explicit SpectrumPage(QWidget* parent = nullptr);

  SpectrumGraph* graph = nullptr;
  QPushButton* close_button = nullptr;

 public slots:
  // "閉じる": hides the page.
  void OnClose();

 protected:
  // The spectrum files are read again each time the page is shown, so that the graph
  // always shows the files the simulations read.
  void showEvent(QShowEvent* event) override;

 private:
  void CreateControls();
};

}  // namespace dosavia::gui
