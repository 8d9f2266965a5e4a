// The six explanation pages: the depth dose of megavoltage X-rays and why it builds up
// (Fig.1), where the secondary electrons' energy is absorbed (Fig.2), the build-up along the
// beam (Fig.3 to Fig.5) and sideways to it (Fig.6, Fig.7) in the unit-volume model, the
// experiments that switch parts of the physics off (Fig.8, Fig.9), and the interfaces of
// lung, air, bone and a bolus (Fig.10 to Fig.12). One class shows them all:
// the texts and figures come from the page table, where they go from the page's layout.
#pragma once

#include <vector>

#include "gui/forms/floating_page.h"

class QPushButton;

namespace dosavia::gui {

class ExplanationPage : public TextPage {
  Q_OBJECT

 public:
  // Page `number`, 1..kExplanationPageCount.
  explicit ExplanationPage(int number, QWidget* parent = nullptr);

  int Number() const { return number_; }

  QPushButton* next_button = nullptr;  // "次頁へ", on the last page "参考文献"
  QPushButton* exit_button = nullptr;
  std::vector<QWidget*> figures;  // in the order of their captions

 public slots:
  // "次頁へ": shows the next page over this one; on the last page "参考文献" shows the
  // references.
  void OnNext();
  // "Exit": hides all explanation pages.
  void OnExit();

 private:
  int number_;
};

// Resource name of Fig.2, written by tools/figures/make_electron_map.
inline constexpr const char* kElectronMapResource = ":/fig2_electron_absorption.png";

}  // namespace dosavia::gui
