// Explanation page 2: where the energy of the secondary electrons is absorbed (Fig.2).
#pragma once

#include "gui/forms/explanation_page.h"

class QLabel;
class QPushButton;

namespace dosavia::gui {

class Form6 : public ExplanationPage {
  Q_OBJECT

 public:
  explicit Form6(QWidget* parent = nullptr);

  QLabel* Label1 = nullptr;    // caption of Fig.2
  QLabel* Picture1 = nullptr;  // the picture of Fig.2
  QPushButton* Command1 = nullptr;
  QPushButton* Command2 = nullptr;

 public slots:
  // "次頁へ": shows page 3 over this one.
  void Command1_Click();
  // "Exit": hides all explanation pages.
  void Command2_Click();

 private:
  void Form_Load();
};

// Resource name of Fig.2, written by tools/figures/make_electron_map.
inline constexpr const char* kElectronMapResource = ":/fig2_electron_absorption.png";

}  // namespace dosavia::gui
