#include "gui/engine_screen/engine_screen.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QFileSystemWatcher>
#include <QMenu>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>

#include "engine/conditions_file.h"
#include "engine/program_files.h"
#include "engine/result_file.h"
#include "engine/run_statistics.h"
#include "records/problem_text.h"
#include "gui/base/navigation.h"
#include "models/clinical_geometry.h"
#include "models/engine_session.h"
#include "models/phantom_presets.h"
#include "models/phantom_session.h"
#include "models/visual_session.h"
#include "gui/engine_screen/result_curve_legend.h"
#include "gui/engine_screen/result_curve_sets.h"
#include "gui/engine_screen/result_depth_dose_plot.h"
#include "gui/engine_screen/result_graph_key.h"
#include "gui/engine_screen/engine_console.h"
#include "gui/widgets/form_style.h"
#include "gui/base/language.h"
#include "gui/base/message_box.h"
#include "gui/base/message_text.h"
#include "gui/base/working_folder.h"
#include "gui/widgets/icons.h"
#include "gui/engine_screen/kestrun_launcher.h"
#include "gui/engine_screen/phantom_layer_dialog.h"
#include "gui/widgets/physics_switch_boxes.h"
#include "gui/widgets/picture_box.h"
#include "gui/widgets/form_scaler.h"
#include "gui/engine_screen/plot_command.h"
#include "gui/widgets/twips.h"
#include "gui/widgets/typed_number.h"
#include "records/file_io.h"
#include "records/input_error.h"

namespace dosavia::gui {

namespace {

std::filesystem::path FilePath(const QString& name) {
  return std::filesystem::path(QDir::current().absoluteFilePath(name).toStdU16String());
}

// Picture sizes offered by "画像保存": the screen's graph, then larger ones [px].
const QSize kPictureSizes[] = {{705, 529}, {1024, 768}, {1600, 1200}, {2400, 1800}};

const char kNotFinishedMessage[] =
    QT_TRANSLATE_NOOP("EngineScreen", "\u3000シミュレーションが終了していません\u3000");
const char kSelectFileMessage[] =
    QT_TRANSLATE_NOOP("EngineScreen", "  結果ファイルを選択して下さい ");

}  // namespace

void EngineScreen::PrepareForShow() {
  session_.Clear();
  run.result_name_label->setText(QString());
  // The compared sets are kept while the program runs: a class that leaves for the visual
  // screen finds its comparison again, and can save it. "Graph clear" empties it.
  library_.Return();
  for (QPushButton* button : {run.start_button, run.load_run_result_button})
    button->setEnabled(false);
  RefreshFileList();
  ShowWorkingFolder();
}

void EngineScreen::RefreshFileList() {
  // Results written or removed meanwhile (by a run in a terminal, by the file manager) appear
  // at once, not only on the next visit.
  if (folder_watcher_ == nullptr) {
    folder_watcher_ = new QFileSystemWatcher(this);
    connect(folder_watcher_, &QFileSystemWatcher::directoryChanged, this,
            &EngineScreen::RefreshFileList);
  }
  if (folder_watcher_->directories() != QStringList{QDir::currentPath()}) {
    if (!folder_watcher_->directories().isEmpty())
      folder_watcher_->removePaths(folder_watcher_->directories());
    folder_watcher_->addPath(QDir::currentPath());
  }
  std::vector<std::string> names;
  for (const QString& name :
       QDir::current().entryList({QStringLiteral("*.data")}, QDir::Files | QDir::Readable))
    names.push_back(name.toStdString());
  library_.List(std::move(names));
  const QList<QListWidgetItem*> selected = results.file_list->selectedItems();
  const QString chosen = selected.isEmpty() ? QString() : selected.front()->text();
  results.file_list->clear();
  for (const std::string& name : library_.Listed()) {
    results.file_list->addItem(QString::fromStdString(name));
    if (QString::fromStdString(name) == chosen)
      results.file_list->item(results.file_list->count() - 1)->setSelected(true);
  }
  ShowLibrary();
}

void EngineScreen::ShowLibrary() {
  std::vector<CurveSet> sets;
  for (const ComparedSet& compared : library_.Sets()) {
    const auto read = read_.find(QString::fromStdString(compared.file));
    if (read == read_.end()) continue;
    CurveSet set;
    set.tables = InShownGeometry(read->second.tables);
    set.field = compared.field;
    set.file = read->first;
    set.energy = EnergyOfResultName(set.file);
    set.family = compared.family;
    if (shown_ssd_cm_ > 0) {
      set.parallel = read->second.tables;
      set.ssd_cm = shown_ssd_cm_;
    }
    set.statistics = read->second.statistics;
    // A phantom run is read against the water result of its beam, where the folder has one.
    if (PhantomOfResult(compared.file, set.statistics.get())) {
      const std::string water = WaterResultFor(compared.file, library_.Listed());
      if (!water.empty()) {
        const ReadResult* read_water = ReadForComparison(QString::fromStdString(water));
        if (read_water != nullptr) {
          set.water = read_water->tables;
          set.water_statistics = read_water->statistics;
        }
      }
    }
    sets.push_back(std::move(set));
  }
  graph.legend->ShowSets(std::move(sets));
  graph.plot->Clear();
  // The loaded file's kerma only where one is loaded and shown: none before any file.
  DrawCurveSets(*graph.plot, graph.legend->Sets(),
                library_.KermaShown() ? shown_tables_.get() : nullptr);
  graph.plot->update();  // the key names the sets
  const bool loaded = !library_.Loaded().empty();
  if (!loaded) graph.loaded_file_label->clear();
  results.draw_button->setEnabled(loaded);
  graph.kerma_button->setEnabled(loaded);
  graph.save_picture_button->setEnabled(library_.CanSave());
  graph.save_csv_button->setEnabled(library_.CanSave());
}

const EngineScreen::ReadResult* EngineScreen::ReadForComparison(const QString& name) {
  const auto known = read_.find(name);
  if (known != read_.end()) return &known->second;
  try {
    LoadedResult loaded = ReadResultWithStatistics(FilePath(name), name.toStdString());
    return &(read_[name] = {std::move(loaded.tables), std::move(loaded.statistics)});
  } catch (const InputError&) {
    // A water result that does not read is as good as none: the table says so.
    return nullptr;
  }
}

void EngineScreen::OnRemoveSet(int index) {
  if (index < 0) return;
  library_.RemoveSet(static_cast<std::size_t>(index));
  ShowLibrary();
}

void EngineScreen::OnUndoRemoval() {
  if (library_.Undo()) ShowLibrary();
}

void EngineScreen::ShowSetMenu(const QPoint& pos) {
  const int row = graph.legend->rowAt(pos.y());
  QMenu menu(this);
  QAction* remove = menu.addAction(Tr("EngineScreen", "この組を消す"));
  remove->setEnabled(row >= 0);
  QAction* undo = menu.addAction(Tr("EngineScreen", "元に戻す"));
  undo->setEnabled(library_.CanUndo());
  QAction* chosen = menu.exec(graph.legend->viewport()->mapToGlobal(pos));
  if (chosen == remove) OnRemoveSet(row);
  if (chosen == undo) OnUndoRemoval();
}

void EngineScreen::OnFieldChosen(int index) {
  if (index >= 1 && index <= static_cast<int>(results.field_options.size())) field_index_ = index;
}

void EngineScreen::OnPrepareRun() {
  const QString energy = run.energy_box->currentText();
  // "30,000,000" or full-width digits are the count they plainly are.
  const std::string count = PlainTypedText(run.photon_count_box->currentText()).toStdString();
  const bool accurate = run.accurate_box->isChecked();
  if (!EngineSeedOf(SeedText())) {
    ShowExclamation(this,
                    Tr("VisualScreen", " 乱数の種「%1」は 0 から %2 までの整数で入れて下さい ")
                        .arg(run.seed_box->text())
                        .arg(kMaxRunSeed));
    run.seed_box->setFocus();
    return;
  }
  const EngineRunPlan plan =
      PlanEngineRun(energy.toStdString(), count, QDir::currentPath().toStdU16String(), accurate,
                    phantom_.ResultMark());
  using Refusal = EngineRunPlan::Refusal;
  switch (plan.refusal) {
    case Refusal::kNameTooLong:
      ShowExclamation(
          this, Tr("EngineScreen",
                   "ファイル名「%1」が%2バイト（半角%2文字）を超えます。\n"
                   "Ｘ線エネルギーを短く入力して下さい")
                    .arg(QString::fromStdString(plan.result_file.size() > plan.spectrum_file.size()
                                                    ? plan.result_file
                                                    : plan.spectrum_file))
                    .arg(kFileNameLength));
      return;
    case Refusal::kCount:
      // Checked now, by the engine's own rule on the very text Joken.dat will hold, instead
      // of being refused by the engine after the run has been started.
      ShowExclamation(
          this,
          Tr("EngineScreen", "入射光子数「%1」は使えません：\n%2")
              .arg(run.photon_count_box->currentText(),
                   QString::fromStdString(ProblemSentence(*plan.problem, ProblemLanguage()))));
      run.photon_count_box->setFocus();
      return;
    case Refusal::kNoSpectrum:
      ShowExclamation(
          this, Tr("VisualScreen", "スペクトルファイル %1 を読み込めません。")
                        .arg(QString::fromStdString(plan.spectrum_file)) +
                    QStringLiteral("\n") +
                    QString::fromStdString(ProblemSentence(*plan.problem, ProblemLanguage())));
      run.energy_box->setFocus();
      return;
    case Refusal::kNone: break;
  }
  if (plan.ask && !AskToGoOn(this,
                             Tr("VisualScreen",
                                " 入射光子数 %1 の計算には約 %2 かかります。\n"
                                " 途中で止めるには Stop を押して下さい。実行しますか？ ")
                                 .arg(plan.photons)
                                 .arg(DurationText(plan.expected_seconds)),
                             Tr("VisualScreen", "実行"), Tr("VisualScreen", "やめる")))
    return;
  // The layers first: a run is never prepared whose phantom file says other layers.
  if (!phantom_.IsWater()) {
    try {
      WritePhantomFile(FilePath(QString::fromLatin1(kPhantomFile)), phantom_.FileText());
    } catch (const std::exception& e) {
      ShowExclamation(
          this,
          FileProblemMessage(
              Tr("EngineScreen", "%1 を書き込めません").arg(QString::fromLatin1(kPhantomFile)), e));
      return;
    }
  }
  try {
    WriteConditionsFile(
        FilePath(QString::fromLatin1(kConditionsFile)),
        ConditionsFileText(plan.spectrum_file, plan.result_file, plan.photon_total));
  } catch (const std::exception& e) {
    ShowExclamation(
        this,
        FileProblemMessage(
            Tr("EngineScreen", "%1 を書き込めません").arg(QString::fromLatin1(kConditionsFile)),
            e) +
            QStringLiteral("\n\n") +
            Tr("EngineScreen",
               "作業フォルダ（左下のリンクで開けます）に書き込めるか、ディスクに空きがあるかを"
               "確かめて下さい。書き込めない場合は、書き込めるフォルダで Dosavia を起動し直すと、"
               "そこが作業フォルダになります。"));
    return;
  }
  session_.Confirm(energy.toStdString(), count, accurate, SeedText(), phantom_.Link());
  prepared_phantom_ = phantom_.IsWater() ? std::string() : std::string(kPhantomFile);
  // Joken.dat names the full-physics result; the engine adds the tag of what it is told
  // to leave out, and the screen expects the name the engine writes.
  untagged_result_name_ = QString::fromStdString(plan.result_file);
  result_file_name_ = QString::fromStdString(TaggedResultFileName(plan.result_file, RunPhysics()));
  run.result_name_label->setText(result_file_name_);
  run.start_button->setEnabled(true);
  run.start_button->setFocus();
}

// A box changed after OK: Start only while the boxes show the conditions OK wrote, so that
// a run never starts with conditions other than those on screen.
void EngineScreen::FollowRunBoxes() {
  session_.ShowSettings(run.energy_box->currentText().toStdString(),
                        PlainTypedText(run.photon_count_box->currentText()).toStdString(),
                        run.accurate_box->isChecked(), SeedText(), phantom_.Link());
  // A phantom runs the accurate transport, which takes no switches.
  run.physics_switches->setEnabled(!run.accurate_box->isChecked() && phantom_.IsWater());
  if (!untagged_result_name_.isEmpty()) run.start_button->setEnabled(session_.CanStart());
}

std::string EngineScreen::SeedText() const {
  return PlainTypedText(run.seed_box->text()).toStdString();
}

PhysicsSwitches EngineScreen::RunPhysics() const {
  if (!run.accurate_box->isChecked() && phantom_.IsWater()) return run.physics_switches->Switches();
  PhysicsSwitches accurate;
  accurate.accurate_transport = true;
  return accurate;
}

QStringList EngineScreen::RunArguments() const {
  QStringList arguments = EngineArguments(run.all_cores_box->isChecked(), RunPhysics(),
                                          EngineSeedOf(SeedText()).value_or(kDefaultSeed));
  if (!prepared_phantom_.empty())
    arguments << QStringLiteral("--phantom") << QString::fromStdString(prepared_phantom_);
  return arguments;
}

void EngineScreen::OnPhantomChosen(int index) {
  const int presets = static_cast<int>(std::size(kPhantomPresets));
  if (index >= 0 && index < presets) {
    phantom_.ChoosePreset(kPhantomPresets[index].key);
  } else {
    edited_layers_ = EditPhantomLayers(this, phantom_, edited_layers_);
    // The editor's layers that equal a preset's are that preset; water alone is water.
    const std::string link = phantom_.Link();
    for (int i = 0; i < presets; ++i)
      if (kPhantomPresets[i].key == link) run.phantom_box->setCurrentIndex(i);
  }
  FollowRunBoxes();
}

void EngineScreen::SwitchPhysics() {
  // Only a prepared run, one that Start would begin, changes its name.
  if (untagged_result_name_.isEmpty() || !run.start_button->isEnabled()) return;
  const QString name = QString::fromStdString(
      TaggedResultFileName(untagged_result_name_.toStdString(), RunPhysics()));
  if (name == result_file_name_) return;
  result_file_name_ = name;
  run.result_name_label->setText(result_file_name_);
  run_started_.reset();
  run.load_run_result_button->setEnabled(false);
}

void EngineScreen::OnStartRun() {
  LaunchResult launch;
  if (run.own_console_box->isChecked()) {
    QString engine;
    launch = FindEngineFor(QDir::currentPath(), &engine);
    if (launch.started) {
      if (console == nullptr) {
        console = new EngineConsole(this);
        connect(console, &EngineConsole::finished, this, &EngineScreen::OnEngineFinished);
      }
      launch.started = console->Start(engine, QDir::currentPath(), result_file_name_,
                                      &launch.problem, RunArguments());
      if (!console->isVisible()) {
        const QScreen* screen = this->screen();
        // The controls end where the graph's frame begins.
        const QRect place =
            ConsolePlace(frameGeometry(), console->frameGeometry().size(),
                         screen != nullptr ? screen->availableGeometry() : geometry(),
                         graph.plot->mapToGlobal(QPoint(0, 0)).x());
        console->resize(place.size() - (console->frameGeometry().size() - console->size()));
        console->move(place.topLeft());
      }
      console->show();
      console->raise();
    }
  } else {
    launch = StartKestrun(QDir::currentPath(), RunArguments());
  }
  if (!launch.started) {
    ShowExclamation(this,
                    Tr("EngineScreen", "シミュレーションを開始できません\n%1").arg(launch.problem));
    return;
  }
  run_started_ = std::filesystem::file_time_type::clock::now();
  run.load_run_result_button->setEnabled(true);
}

void EngineScreen::OnEngineFinished(bool ok, const QString& result_path) {
  RefreshFileList();
  if (!ok) return;
  const QString name = QFileInfo(result_path).fileName();
  for (QListWidgetItem* item : results.file_list->findItems(name, Qt::MatchExactly))
    item->setSelected(true);
  LoadResultOrSay(name);
}

void EngineScreen::LoadResultOrSay(const QString& name) {
  try {
    LoadResult(name);
  } catch (const InputError& e) {
    // What failed, then what to do: the curves drawn stay, another file or a new run goes on.
    ShowExclamation(
        this,
        FileProblemMessage(
            Tr("EngineScreen", "%1 は計算結果ファイルとして読み込めません").arg(ShownText(name)),
            e) +
            QStringLiteral("\n\n") +
            Tr("EngineScreen",
               "描いてある曲線はそのままです。一覧から別のファイルを選ぶか、"
               "同じ条件で OK とシミュレーション開始をもう一度押して計算し直して下さい。"));
  }
}

void EngineScreen::OnLoadRunResult() {
  // Before any OK no result file is named, so no run can have finished. While the run
  // started here goes on, a file of that name is an earlier run's (the name says only the
  // energy and the millions of photons).
  const bool running = console != nullptr && console->Running();
  const bool earlier = run_started_ && !WrittenSince(FilePath(result_file_name_), *run_started_);
  if (!result_file_name_.isEmpty() && !running && !earlier) {
    try {
      LoadResult(result_file_name_);
      return;
    } catch (const InputError&) {
      // The run has not written its whole file yet.
    }
  }
  ShowExclamation(this, Tr("EngineScreen", kNotFinishedMessage));
}

void EngineScreen::OnLoadSelected() {
  const QList<QListWidgetItem*> selected = results.file_list->selectedItems();
  if (selected.isEmpty()) {
    ShowExclamation(this, Tr("EngineScreen", kSelectFileMessage));
    return;
  }
  const QString name = selected.front()->text();
  LoadResultOrSay(name);
}

void EngineScreen::SetFolderOpener(UrlOpener open) { folder_opener_ = std::move(open); }

void EngineScreen::LoadResult(const QString& path) {
  LoadedResult loaded = ReadResultWithStatistics(FilePath(path), path.toStdString());
  tables_ = std::move(loaded.tables);
  statistics_ = std::move(loaded.statistics);
  loaded_file_ = path;
  shown_tables_ = InShownGeometry(tables_);
  read_[path] = {tables_, statistics_};
  library_.Load(path.toStdString());
  QCoreApplication::processEvents();
  // The sets drawn so far stay, so that results of other files can be laid over them.
  ShowLibrary();
  // Statistics beside it that are not taken are said with the file, so that "estimated"
  // in the table is not taken for a run without them.
  QString shown = loaded_file_;
  if (loaded.statistics_problem)
    shown += QStringLiteral("  (") +
             QString::fromStdString(ProblemLine(*loaded.statistics_problem, ProblemLanguage())) +
             QStringLiteral(")");
  SetTrText(graph.loaded_file_label, "EngineScreen",
            QT_TRANSLATE_NOOP("EngineScreen", "読み込んだファイル：%1"), {shown});
}

void EngineScreen::OnDrawField() {
  // The same file and field drawn again stays one row (the library's rule).
  library_.Draw(field_index_);
  ShowLibrary();
}

void EngineScreen::OnRedrawKerma() {
  library_.ShowKerma();
  ShowLibrary();
}

double EngineScreen::ShownSsdCm() const {
  return graph.point_source_option->isChecked() ? graph.ssd_box->value() : 0.0;
}

std::shared_ptr<const ResultTables> EngineScreen::InShownGeometry(
    const std::shared_ptr<const ResultTables>& parallel) {
  if (shown_ssd_cm_ <= 0) return parallel;
  for (const auto& [from, made] : point_source_tables_)
    if (from == parallel) return made;
  point_source_tables_.emplace_back(parallel, ClinicalGeometryTables(*parallel, shown_ssd_cm_));
  return point_source_tables_.back().second;
}

void EngineScreen::OnGeometryChosen() {
  const double ssd = ShownSsdCm();
  if (ssd == shown_ssd_cm_) return;
  shown_ssd_cm_ = ssd;
  point_source_tables_.clear();
  if (tables_) shown_tables_ = InShownGeometry(tables_);
  // Every set again from its parallel tables, in its order and so in its colours; its
  // table row measured anew.
  ShowLibrary();
}

void EngineScreen::OnGraphClear() {
  library_.Clear();
  ShowLibrary();
}

void EngineScreen::SaveGraphPicture(const QString& path, QSize size) {
  WritePngFile(
      RenderCurveSetsPicture(library_.KermaShown() ? shown_tables_.get() : nullptr,
                             KermaCaption(library_.KermaShown() ? shown_tables_.get() : nullptr,
                                          loaded_file_, graph.legend->Sets()) +
                                 QStringLiteral("    ") + GeometryCaption(shown_ssd_cm_),
                             graph.legend->Sets(), size),
      QFile::encodeName(path).toStdString());
}

void EngineScreen::SaveCurvesCsv(const QString& path) {
  WriteExportFile(QFile::encodeName(path).toStdString(),
                  CurvesCsvText(library_.KermaShown() ? shown_tables_.get() : nullptr, loaded_file_,
                                graph.legend->Sets(), shown_ssd_cm_));
}

QString EngineScreen::ExportPath(const QString& chosen, const QString& suffix) {
  if (chosen.isEmpty()) return {};
  const QString path = chosen.endsWith(suffix, Qt::CaseInsensitive) ? chosen : chosen + suffix;
  // A shipped spectrum or another run's result is refused before any question, so that the
  // user is never asked whether to replace what would not be replaced.
  try {
    CheckExportTarget(QFile::encodeName(path).toStdString());
  } catch (const std::exception& e) {
    ShowExclamation(this,
                    FileProblemMessage(Tr("EngineScreen", "このファイルには保存できません"), e));
    return {};
  }
  if (QFileInfo::exists(path) &&
      !AskToGoOn(this,
                 Tr("EngineScreen", "%1 は既にあります。置き換えますか？")
                     .arg(ShownText(QFileInfo(path).fileName())),
                 Tr("EngineScreen", "置き換える"), Tr("EngineScreen", "やめる")))
    return {};
  return path;
}

QString EngineScreen::AskExportPath(const QString& title, const char* default_name,
                                    const QString& filter, const QString& suffix) {
  // The dialog does not ask about replacing: the name is checked first (ExportPath).
  return ExportPath(QFileDialog::getSaveFileName(
                        this, title,
                        QDir::current().absoluteFilePath(QString::fromStdString(ExportFileName(
                            QFileInfo(loaded_file_).fileName().toStdString(), default_name))),
                        filter, nullptr, QFileDialog::DontConfirmOverwrite),
                    suffix);
}

void EngineScreen::OnSavePicture() {
  QStringList sizes;
  for (const QSize& s : kPictureSizes)
    sizes << QStringLiteral("%1 × %2").arg(s.width()).arg(s.height());
  bool ok = false;
  const QString size =
      QInputDialog::getItem(this, Tr("EngineScreen", "画像保存"),
                            Tr("EngineScreen", "グラフの大きさ（ピクセル）"), sizes, 0, false, &ok);
  if (!ok) return;
  const QString path = AskExportPath(Tr("EngineScreen", "画像保存"), "graph.png",
                                     QStringLiteral("PNG (*.png)"), QStringLiteral(".png"));
  if (path.isEmpty()) return;
  try {
    SaveGraphPicture(path, kPictureSizes[sizes.indexOf(size)]);
  } catch (const std::exception& e) {
    ShowExclamation(this, FileProblemMessage(Tr("EngineScreen", "画像を保存できません"), e));
  }
}

void EngineScreen::OnSaveCsv() {
  const QString path = AskExportPath(Tr("EngineScreen", "CSV保存"), "curves.csv",
                                     QStringLiteral("CSV (*.csv)"), QStringLiteral(".csv"));
  if (path.isEmpty()) return;
  try {
    SaveCurvesCsv(path);
  } catch (const std::exception& e) {
    ShowExclamation(this,
                    FileProblemMessage(Tr("EngineScreen", "CSV ファイルを保存できません"), e));
  }
}

void EngineScreen::OnBackToMenu() {
  QFile::remove(QDir::current().absoluteFilePath(QString::fromLatin1(kConditionsFile)));
  ShowMainMenu();
  hide();
}

void EngineScreen::closeEvent(QCloseEvent* event) {
  // The title bar's close button returns to the menu, as the return icon does; a run in
  // Dosavia's own console window goes on there.
  event->ignore();
  OnBackToMenu();
}

}  // namespace dosavia::gui
