// What the spectrum page, the explanation pages and the references share: they float over
// whatever screen of the program is shown and come to the front whenever they are shown; the
// pages of text hold it as one label per line.
#pragma once

#include <QWidget>

#include <span>

#include "models/page_texts.h"

class QEvent;
class QLabel;
class QPushButton;

namespace dosavia::gui {

// A page that floats over the program's screens. Showing it (also when it is already shown)
// brings it to the front; when one of the program's other forms is shown later, the
// floating pages that are open are raised over it again, lowest `stack_rank` first.
class FloatingPage : public QWidget {
  Q_OBJECT

 public:
  explicit FloatingPage(int stack_rank, QWidget* parent = nullptr);

  int StackRank() const { return stack_rank_; }

  // Shows the page over the others and gives it the focus; hiding works as usual.
  void setVisible(bool visible) override;

 protected:
  // A language switch: every text again in the chosen language.
  void changeEvent(QEvent* event) override;
  virtual void RetranslateUi();

  // Places the page at `offset` steps down and to the right of the screen's upper left
  // corner, so that each page opened over another leaves the one beneath in view.
  void PlaceOnScreen(int offset);

 private:
  int stack_rank_;
};

// Raises every shown floating page over the other forms, in the order of their ranks.
void RaiseFloatingPages();

// A page of the page table (one of the five explanation pages or the references): its title
// and texts in the translation context the table gives them, its rank fixed by its place in
// reading order.
class TextPage : public FloatingPage {
  Q_OBJECT

 public:
  explicit TextPage(const PageTexts& texts, QWidget* parent = nullptr);

  const PageTexts& Texts() const { return texts_; }

 protected:
  // Adds one label per line of `lines` (texts of this page's context; a heading in bold)
  // from `top` downwards, `pitch` apart, in a column `width` wide starting at `left` [twips].
  void AddTextLines(std::span<const PageLine> lines, double left, double top, double width,
                    double pitch);

  // A button of the pages' graphical style at Left, Top, Width, Height [twips].
  QPushButton* AddButton(const char* caption, double left, double top, double width, double height);

  // A figure caption above a picture: one line at Left, Top, Width [twips].
  QLabel* AddCaption(const char* text, double left, double top, double width);
  // A note under a picture, in lines that break at the box's width: at Left, Top, Width,
  // Height [twips].
  QLabel* AddNote(const char* text, double left, double top, double width, double height);

 private:
  const PageTexts& texts_;
};

// "Exit" of any explanation or references page: hides all six pages, whichever are open.
// The program goes on.
void HideExplanationPages();

// Geometry shared by the pages [twips]: text column, line pitch and the bottom buttons.
inline constexpr double kPageMarginTwips = 360;
inline constexpr double kPageFirstLineTwips = 300;
inline constexpr double kPageLinePitchTwips = 390;
inline constexpr double kPageButtonWidthTwips = 1695;
inline constexpr double kPageButtonHeightTwips = 525;

}  // namespace dosavia::gui
