// The main menu: the program starts here, opens the visual and the non-visual simulation
// screens and the explanation pages, and ends from here.
#pragma once

#include <QWidget>

class QCloseEvent;
class QEvent;
class QLabel;
class QPushButton;

namespace dosavia::gui {

class PictureBox;
class TitleIllustration;

class Form1 : public QWidget {
  Q_OBJECT

 public:
  explicit Form1(QWidget* parent = nullptr);

  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label6 = nullptr;
  QPushButton* Command1 = nullptr;
  QPushButton* Command2 = nullptr;
  QPushButton* Command3 = nullptr;
  QPushButton* Command6 = nullptr;
  TitleIllustration* Picture1 = nullptr;
  QLabel* Picture2 = nullptr;

 public slots:
  // "Visual simulation": loads the data, prepares and shows the visual screen. When a data
  // file is missing or malformed, a message names it and the menu stays.
  void Command1_Click();
  // "Exit": ends the program.
  void Command2_Click();
  // "解 説": shows the first explanation page over the menu.
  void Command3_Click();
  // "Non visual simulation": prepares and shows the non-visual screen.
  void Command6_Click();

 protected:
  // The user closes the menu window: the program ends.
  void closeEvent(QCloseEvent* event) override;
  // A language switch: every text again in the chosen language.
  void changeEvent(QEvent* event) override;

 private:
  void Form_Load();
  void Form_Unload();
  void RetranslateUi();
};

}  // namespace dosavia::gui
