// EngineScreen, the non-visual simulation screen: it writes the conditions of a batch run to
// "Joken.dat", starts the engine Kestrun as a separate process, and plots the central-axis
// depth curves of a result file (the run's own or any "*.data" file in the working
// directory): the primary water kerma and, for one field size, the water absorbed dose with
// its primary and scatter parts.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "gui/base/working_folder.h"
#include "models/engine_session.h"
#include "models/phantom_session.h"
#include "models/result_library.h"
#include "physics/physics_switches.h"
#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class QEvent;
class QFileSystemWatcher;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace dosavia {
struct ResultTables;
struct RunStatistics;
}  // namespace dosavia

namespace dosavia::gui {

class CurveSetLegend;
class EngineConsole;
class PhysicsSwitchBoxes;
class PictureBox;

class EngineScreen : public QWidget {
  Q_OBJECT

 public:
  explicit EngineScreen(QWidget* parent = nullptr);
  ~EngineScreen() override;

  // What the main menu does before it shows this screen: no result name, the graph with only
  // the compared sets, the buttons that need a run or a loaded file disabled, and the
  // "*.data" files listed again so that results written meanwhile appear.
  void PrepareForShow();

  // Field column that "描 画" plots, 1..9 (the field options from the top).
  int FieldIndex() const { return field_index_; }
  // Result file of the run prepared by "OK", with the tag of the physics switched off
  // (the name the engine writes); empty before the first "OK".
  const QString& ResultFileName() const { return result_file_name_; }
  // The curves of the last file loaded completely.
  const ResultTables& Tables() const { return *tables_; }

  // Left column: a new calculation and its run.
  struct RunControls {
    QComboBox* energy_box = nullptr;        // X-ray energy [MV], free text
    QComboBox* photon_count_box = nullptr;  // incident photon count, free text
    // The run's seed (Kestrun --seed): empty for the default sequence, so that each group of
    // a class can run the same conditions on a seed of its own.
    QLineEdit* seed_box = nullptr;
    QPushButton* ok_button = nullptr;
    QLabel* result_name_label = nullptr;  // shows ResultFileName
    QPushButton* start_button = nullptr;
    QPushButton* load_run_result_button = nullptr;
    QPushButton* back_button = nullptr;  // back to the main menu
    // The working folder, a link that opens it in the file manager.
    QLabel* working_folder_label = nullptr;
    QCheckBox* own_console_box = nullptr;  // run the engine in Dosavia's own console window
    QCheckBox* all_cores_box = nullptr;    // 並列計算: Kestrun's block streams on every core
    // The physics switches: a ticked box starts the engine with "--without" that part.
    PhysicsSwitchBoxes* physics_switches = nullptr;
    // The accurate electron transport (--accurate), a condition OK confirms; the switches,
    // experiments on the exact transport, rest while it is ticked.
    QCheckBox* accurate_box = nullptr;
    // The slab phantom: the presets, then the layer editor (the last item).
    QComboBox* phantom_box = nullptr;
  };
  // Middle column: the result files of the working folder and the field to draw.
  struct ResultControls {
    QListWidget* file_list = nullptr;  // "*.data" in the working folder
    QPushButton* load_selected_button = nullptr;
    QGroupBox* field_group = nullptr;
    std::array<QRadioButton*, 9> field_options{};  // field columns 1..9 at 0..8
    QPushButton* draw_button = nullptr;
  };
  // Right: the graph and the curve sets drawn on it.
  struct GraphControls {
    PictureBox* plot = nullptr;
    QPushButton* kerma_button = nullptr;  // draws the kerma curve again
    QPushButton* clear_button = nullptr;  // "Graph clear"
    QLabel* loaded_file_label = nullptr;
    CurveSetLegend* legend = nullptr;  // legend and value table of the drawn sets
    QPushButton* save_picture_button = nullptr;
    QPushButton* save_csv_button = nullptr;
    // The geometry the curves are drawn in: the engine's parallel beam, or a point source at
    // the SSD of ssd_box [cm] (the clinical depth doses, models/clinical_geometry.h).
    QRadioButton* parallel_option = nullptr;
    QRadioButton* point_source_option = nullptr;
    QSpinBox* ssd_box = nullptr;
  };
  RunControls run;
  ResultControls results;
  GraphControls graph;
  EngineConsole* console = nullptr;  // made on the first run in the own window

  // The graph as a PNG picture whose drawing area is `size` pixels; throws
  // std::runtime_error when it cannot be written.
  void SaveGraphPicture(const QString& path, QSize size);
  // The drawn curves as CSV; throws std::runtime_error when it cannot be written.
  void SaveCurvesCsv(const QString& path);
  // The files listed, the file loaded and the sets compared, as the screen shows them.
  const ResultLibrary& Library() const { return library_; }

  // How a click on the working folder opens it (QDesktopServices::openUrl by default).
  void SetFolderOpener(UrlOpener open);
  // Where an export chosen as `chosen` in a save dialog is written: with `suffix` (".csv")
  // added where it lacks it. A program file or a result there is refused first, without a
  // question; another file there is replaced only when the user agrees. Empty when nothing
  // is to be written.
  QString ExportPath(const QString& chosen, const QString& suffix);

 public slots:
  // "OK": writes "Joken.dat" and shows the result file's name.
  void OnPrepareRun();
  // "シミュレーション開始": starts Kestrun in its own console window.
  void OnStartRun();
  // "計算結果読み込み": loads ResultFileName and draws the kerma curve.
  void OnLoadRunResult();
  // "読み込み": loads the file selected in the list and draws the kerma curve.
  void OnLoadSelected();
  // "描 画": adds the total, primary and scatter dose curves of FieldIndex.
  void OnDrawField();
  // "一次線水カーマ 再描画": draws the kerma curve again.
  void OnRedrawKerma();
  // "Graph clear": clears the graph; its decoration stays.
  void OnGraphClear();
  // One compared set taken off the graph and the table (row `index` of the table); the
  // others keep their colours.
  void OnRemoveSet(int index);
  // The last set removed, back at its place.
  void OnUndoRemoval();
  // The return icon: deletes "Joken.dat", shows the main menu and hides this screen.
  void OnBackToMenu();
  // A field option chosen: FieldIndex = index (1..9); nothing is redrawn.
  void OnFieldChosen(int index);
  // The geometry switch or the SSD changed: the kerma and every drawn set again in the
  // geometry chosen.
  void OnGeometryChosen();
  // "画像保存" and "CSV保存": ask for a file (and a picture size) and save.
  void OnSavePicture();
  void OnSaveCsv();

 protected:
  // Closing this window returns to the menu, as the return icon does.
  void closeEvent(QCloseEvent* event) override;
  // A language switch: every text again in the chosen language.
  void changeEvent(QEvent* event) override;

 private:
  // The save dialog for an export (its title, the name it proposes beside the loaded file's,
  // its filter), then ExportPath of what was chosen.
  QString AskExportPath(const QString& title, const char* default_name, const QString& filter,
                        const QString& suffix);
  void RetranslateUi();
  void SetOpeningChoices();
  void CreateControls();
  void CreateNewRunControls();
  void CreateExistingDataControls();
  void CreateGraph();
  void CreateGeometrySwitch();
  // Shows the working directory under the return button.
  void ShowWorkingFolder();
  // Lists the "*.data" files of the working directory (again whenever the folder changes);
  // a compared set of a file gone from it is drawn no more.
  void RefreshFileList();
  // The table, the graph and the buttons as the library says: each set from the curves of
  // its file as read, in the geometry shown.
  void ShowLibrary();
  // The table's menu: remove the set under `pos`, undo the last removal.
  void ShowSetMenu(const QPoint& pos);
  // Reads `path`, replaces the tables when the whole file was read, then clears the graph
  // and draws the kerma curve. Throws InputError (tables and graph untouched) when it could
  // not be read.
  void LoadResult(const QString& path);
  // LoadResult, or the file named with why it cannot be read.
  void LoadResultOrSay(const QString& name);
  void CreateComparisonControls();
  // A run in the own console window is over: list the results again and load the new one.
  void OnEngineFinished(bool ok, const QString& result_path);
  // A switch ticked or unticked after "OK": the run to start writes another file, whose
  // name is shown; a result of the earlier name is not waited for.
  void SwitchPhysics();
  // The run boxes changed: Start only while they show what OK confirmed.
  void FollowRunBoxes();
  // The physics the run to start has: the switches as ticked, or the accurate transport
  // (which a phantom always runs).
  PhysicsSwitches RunPhysics() const;
  // The seed box's text made plain.
  std::string SeedText() const;
  // Kestrun's arguments for the run prepared: cores, physics, the phantom file.
  QStringList RunArguments() const;
  EngineSession session_;
  // The phantom box chosen: a preset, or the editor opened on the layers typed before.
  void OnPhantomChosen(int index);
  void FillPhantomBox();
  PhantomSession phantom_;
  std::vector<EditedLayer> edited_layers_;
  // The phantom of the run OK prepared, written to Phantom.dat; empty: water.
  std::string prepared_phantom_;

  // The SSD the curves are drawn at [cm]; 0 for the parallel beam.
  double ShownSsdCm() const;
  // `parallel` in the geometry shown: itself, or its point-source tables (made once per
  // tables and SSD).
  std::shared_ptr<const ResultTables> InShownGeometry(
      const std::shared_ptr<const ResultTables>& parallel);

  ResultLibrary library_;
  // The curves and statistics of each file read, by the name the library knows.
  struct ReadResult {
    std::shared_ptr<ResultTables> tables;
    std::shared_ptr<const RunStatistics> statistics;
  };
  std::map<QString, ReadResult> read_;
  // The result `name` as read before, or read now for a comparison (a phantom run's water
  // result); null when it does not read.
  const ReadResult* ReadForComparison(const QString& name);
  QFileSystemWatcher* folder_watcher_ = nullptr;

  int field_index_ = 8;
  QString result_file_name_;
  QString untagged_result_name_;          // as Joken.dat names it
  std::shared_ptr<ResultTables> tables_;  // shared with the drawn curve sets
  // tables_ in the geometry shown: the kerma drawn and the tables of the next set.
  std::shared_ptr<const ResultTables> shown_tables_;
  double shown_ssd_cm_ = 0;
  // The point-source tables made at shown_ssd_cm_, by the parallel tables they come from.
  std::vector<std::pair<std::shared_ptr<const ResultTables>, std::shared_ptr<const ResultTables>>>
      point_source_tables_;
  // The loaded result's statistics, when it has matching ones.
  std::shared_ptr<const RunStatistics> statistics_;
  QString loaded_file_;
  UrlOpener folder_opener_;
  // Of the last run started here; none before one.
  std::optional<std::filesystem::file_time_type> run_started_;
};

}  // namespace dosavia::gui
