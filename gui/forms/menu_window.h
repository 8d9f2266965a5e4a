// The main menu: the program starts here, opens the visual and the non-visual simulation
// screens and the explanation pages, and ends from here.
#pragma once

#include <QWidget>

class QCloseEvent;
class QEvent;
class QLabel;
class QPushButton;

namespace dosavia::gui {

class TitleIllustration;

class MenuWindow : public QWidget {
  Q_OBJECT

 public:
  explicit MenuWindow(QWidget* parent = nullptr);

  QPushButton* visual_button = nullptr;       // "Visual simulation"
  QPushButton* engine_button = nullptr;       // "Non visual simulation"
  QPushButton* explanation_button = nullptr;  // "解 説"
  QPushButton* lesson_button = nullptr;       // "授業案": the lesson sheets
  QPushButton* exit_button = nullptr;
  TitleIllustration* title_illustration = nullptr;

 public slots:
  // "Visual simulation": loads the data, prepares and shows the visual screen. When a data
  // file is missing or malformed, a message names it and the menu stays.
  void OnVisualSimulation();
  // "Exit": ends the program.
  void OnExit();
  // "解 説": shows the first explanation page over the menu.
  void OnExplanation();
  // "Non visual simulation": prepares and shows the non-visual screen.
  void OnEngineSimulation();

 protected:
  // The user closes the menu window: the program ends.
  void closeEvent(QCloseEvent* event) override;
  // A language switch: every text again in the chosen language.
  void changeEvent(QEvent* event) override;

 private:
  void CreateControls();
  void RetranslateUi();
};

}  // namespace dosavia::gui
