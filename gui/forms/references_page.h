// The references page: the literature behind the physics of the program.
#pragma once

#include "gui/forms/floating_page.h"

class QPushButton;

namespace dosavia::gui {

class ReferencesPage : public TextPage {
  Q_OBJECT

 public:
  explicit ReferencesPage(QWidget* parent = nullptr);

  QPushButton* exit_button = nullptr;

 public slots:
  // "Exit": hides all explanation pages.
  void OnExit();

 private:
  void CreateControls();
};

}  // namespace dosavia::gui
