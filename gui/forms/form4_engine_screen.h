// Form4, the non-visual simulation screen: it writes the conditions of a batch run to
// "Joken.dat", starts the engine Kestrun as a separate process, and plots the central-axis
// depth curves of a result file (the run's own or any "*.data" file in the working
// directory): the primary water kerma and, for one field size, the water absorbed dose with
// its primary and scatter parts.
#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

#include "gui/app/working_folder.h"
#include <array>
#include <filesystem>
#include <memory>
#include <optional>

class QCheckBox;
class QEvent;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace dosavia {
struct ResultTables;
}  // namespace dosavia

namespace dosavia::gui {

class CurveSetLegend;
class EngineConsole;
class PhysicsSwitchBoxes;
class PictureBox;

class Form4 : public QWidget {
  Q_OBJECT

 public:
  explicit Form4(QWidget* parent = nullptr);
  ~Form4() override;

  // What the main menu does before it shows this screen: empty Label24, clear the graph,
  // disable Command2, Command4, Command5 and Command8, and list the "*.data" files again so
  // that results written meanwhile appear.
  void PrepareForShow();

  // Field column that "描 画" plots, 1..9 (Option1..Option9).
  int FieldIndex() const { return field_index_; }
  // Result file of the run prepared by "OK", with the tag of the physics switched off in
  // Frame2 (the name the engine writes); empty before the first "OK".
  const QString& ResultFileName() const { return result_file_name_; }
  // The curves of the last file loaded completely.
  const ResultTables& Tables() const { return *tables_; }

  // Left half: a new calculation.
  QLabel* Label14 = nullptr;
  QLabel* Label16 = nullptr;
  QLabel* Label15 = nullptr;
  QComboBox* Combo2 = nullptr;  // X-ray energy [MV], free text
  QLabel* Label23 = nullptr;
  QLabel* Label19 = nullptr;
  QLabel* Label18 = nullptr;
  QLabel* Label10 = nullptr;
  QLabel* Label11 = nullptr;
  QLabel* Label12 = nullptr;
  QComboBox* Combo1 = nullptr;  // incident photon count, free text
  QPushButton* Command1 = nullptr;
  QLabel* Label13 = nullptr;
  QLabel* Label24 = nullptr;  // shows ResultFileName
  QPushButton* Command2 = nullptr;
  QPushButton* Command4 = nullptr;
  QPushButton* Command8 = nullptr;
  QPushButton* Command7 = nullptr;  // back to the main menu
  QLabel* Label25 = nullptr;  // the working folder, a link that opens it in the file manager
  // Middle half: existing data.
  QLabel* Label9 = nullptr;
  QListWidget* File1 = nullptr;  // "*.data" in the working directory
  QPushButton* Command9 = nullptr;
  QGroupBox* Frame1 = nullptr;
  QRadioButton* Option1 = nullptr;
  QRadioButton* Option2 = nullptr;
  QRadioButton* Option3 = nullptr;
  QRadioButton* Option4 = nullptr;
  QRadioButton* Option5 = nullptr;
  QRadioButton* Option6 = nullptr;
  QRadioButton* Option7 = nullptr;
  QRadioButton* Option8 = nullptr;
  QRadioButton* Option9 = nullptr;
  QPushButton* Command5 = nullptr;
  QPushButton* Command6 = nullptr;
  // The graph.
  QLabel* Label8 = nullptr;
  PictureBox* Picture1 = nullptr;
  // Following a run and comparing curves.
  QCheckBox* Check1 = nullptr;          // run the engine in Dosavia's own console window
  QCheckBox* Check2 = nullptr;          // 並列計算: Kestrun's block streams on every core
  QLabel* Label26 = nullptr;            // the loaded result file
  CurveSetLegend* Legend1 = nullptr;    // legend and value table of the drawn sets
  QPushButton* Command10 = nullptr;     // 画像保存
  QPushButton* Command11 = nullptr;     // CSV保存
  EngineConsole* Console = nullptr;     // made on the first run in the own window
  // The physics switches: a ticked box starts the engine with "--without" that part.
  PhysicsSwitchBoxes* Frame2 = nullptr;

  // The graph as a PNG picture whose drawing area is `size` pixels; throws
  // std::runtime_error when it cannot be written.
  void SaveGraphPicture(const QString& path, QSize size);
  // The drawn curves as CSV; throws std::runtime_error when it cannot be written.
  void SaveCurvesCsv(const QString& path);
  // How a click on the working folder opens it (QDesktopServices::openUrl by default).
  void SetFolderOpener(UrlOpener open);

 public slots:
  // "OK": writes "Joken.dat" and shows the result file's name.
  void Command1_Click();
  // "シミュレーション開始": starts Kestrun in its own console window.
  void Command2_Click();
  // "計算結果読み込み": loads ResultFileName and draws the kerma curve.
  void Command4_Click();
  // "読み込み": loads the file selected in File1 and draws the kerma curve.
  void Command9_Click();
  // "描 画": adds the total, primary and scatter dose curves of FieldIndex.
  void Command5_Click();
  // "一次線水カーマ 再描画": draws the kerma curve again.
  void Command8_Click();
  // "Graph clear": clears the graph; its decoration stays.
  void Command6_Click();
  // The return icon: deletes "Joken.dat", shows the main menu and hides this screen.
  void Command7_Click();
  // Option1_Click .. Option9_Click: FieldIndex = index (1..9); nothing is redrawn.
  void Option_Click(int index);
  // "画像保存" and "CSV保存": ask for a file (and a picture size) and save.
  void Command10_Click();
  void Command11_Click();

 protected:
  // Closing this window returns to the menu, as the return icon does.
  void closeEvent(QCloseEvent* event) override;
  // A language switch: every text again in the chosen language.
  void changeEvent(QEvent* event) override;

 private:
  void RetranslateUi();
  void Form_Load();
  void CreateControls();
  void CreateNewRunControls();
  void CreateExistingDataControls();
  void CreateGraph();
  // Shows the working directory in Label25.
  void ShowWorkingFolder();
  // Lists the "*.data" files of the working directory in File1.
  void RefreshFileList();
  // Reads `path`, replaces the tables when the whole file was read, then clears the graph
  // and draws the kerma curve. Throws InputError (tables and graph untouched) when it could
  // not be read.
  void LoadResult(const QString& path);
  void CreateComparisonControls();
  // A run in the own console window is over: list the results again and load the new one.
  void OnEngineFinished(bool ok, const QString& result_path);
  // A switch ticked or unticked after "OK": the run to start writes another file, whose
  // name is shown; a result of the earlier name is not waited for.
  void SwitchPhysics();

  std::array<QRadioButton*, 10> options_{};  // Option1..Option9 at 1..9
  int field_index_ = 8;
  QString result_file_name_;
  QString untagged_result_name_;  // as Joken.dat names it
  std::shared_ptr<ResultTables> tables_;  // shared with the drawn curve sets
  QString loaded_file_;
  UrlOpener folder_opener_;
  // Of the last run started here; none before one.
  std::optional<std::filesystem::file_time_type> run_started_;
};

}  // namespace dosavia::gui
