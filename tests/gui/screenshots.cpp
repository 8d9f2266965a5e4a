// screenshots: saves the pictures of the program's windows that docs/screenshots and the
// README show, for review after a change to what the windows draw. Not a test: it checks
// nothing beyond warning of captions wider than their controls.
//
//   DOSAVIA_SCREENSHOT_DIR=<folder> build/tests/gui/screenshots [set...]
//
// Sets (default: all but classroom):
//   classroom   the screens as they open on the present screen, grabbed from the screen
//               (run under Xvfb with QT_QPA_PLATFORM=xcb): classroom_<width>_<screen>.png,
//               the visual and non-visual screens in English (_en) and at 75 % (_75) too,
//               the visual screen at 150 % too (classroom_<width>_visual_150.png), and
//               explanation page 5 alone in Japanese and English (classroom_<width>_page5*.png),
//               pages 1 and 2 alone (classroom_<width>_page1.png, classroom_<width>_page2*.png)
//   english     every form at 100 % in English, and the depth-dose panel: english_<form>.png
//   pages       the spectrum, explanation and references pages and the lesson sheets at
//               100 %: spectra.png, page_<N>.png, references.png, lesson.png; and as they
//               open at 1024x768 in both languages: [english_]<page>_1024.png
//   compare     the non-visual screen with three compared sets and the graph's key, at the
//               design size and fitted to 1024x768 and 1920x1080 (engine_compare*.png), the
//               saved picture with its value table (engine_compare_export.png), the first
//               start's message and the no-terminal message (message_*.png), the sets as
//               a point source at SSD 100 cm gives them at 1024x768 (engine_ssd100_1024.png),
//               and 15 MV exact and accurate with the accurate box ticked and confirmed
//               (engine_accurate_1024.png); with the folder's 15MV-5M-lung and
//               15MV-5M-acc runs, the lung slab's 1×1 cm curves over water's
//               (engine_phantom_1024.png, engine_phantom_export.png)
//   depth_dose  the visual screen after 5x10^4 photons of 4 and of 15 MV with its depth-dose
//               panel beside it: visual_depth_dose_<E>mv.png
//   switches    the visual screen without electron transport beside the faint full-physics
//               curve, at 100 %, 0.84 (1024x768) and 1.6, and in English; the non-visual
//               screen with a switch ticked: [english_]visual_switches*.png,
//               [english_]non_visual_switches*.png; the visual screen in the accurate
//               transport at 15 MV at 0.84: [english_]visual_accurate_1024.png
//   phantom     the visual screen in the lung slab, 10 MV 1x1, with its depth-dose panel,
//               at 0.84: [english_]visual_phantom_lung_1024.png
// Works in a temporary copy of the data files, with settings of its own.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QFileInfo>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>

#include "gui/app/window_registry.h"
#include "gui/base/language.h"
#include "gui/base/working_folder.h"
#include "gui/engine_screen/engine_console.h"
#include "gui/forms/lesson_page.h"
#include "gui/engine_screen/kestrun_launcher.h"
#include "gui/forms/menu_window.h"
#include "gui/visual/visual_screen.h"
#include "gui/forms/spectrum_page.h"
#include "gui/engine_screen/engine_screen.h"
#include "gui/forms/explanation_page.h"
#include "gui/forms/references_page.h"
#include "gui/visual/visual_depth_dose_panel.h"
#include "gui/widgets/form_scaler.h"
#include "gui/widgets/form_style.h"
#include "gui/widgets/physics_switch_boxes.h"
#include "gui_test_support.h"

using namespace dosavia::gui;
namespace support = dosavia::gui::testing;

namespace {

QDir out_dir;
int failures = 0;

void Save(const QPixmap& picture, const QString& name) {
  const QString path = out_dir.filePath(name + QStringLiteral(".png"));
  if (picture.save(path)) {
    std::printf("%s\n", qPrintable(path));
  } else {
    std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(path));
    ++failures;
  }
}

// A note of every caption of `form` wider than the room its control gives it.
void WarnOfWideCaptions(QWidget* form) {
  for (QWidget* w : form->findChildren<QWidget*>()) {
    QString text;
    int room = w->contentsRect().width();
    if (auto* label = qobject_cast<QLabel*>(w); label && label->textFormat() != Qt::RichText &&
                                                !label->wordWrap() &&
                                                !Qt::mightBeRichText(label->text()))
      text = label->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
      text = button->text();
      room -= qobject_cast<QPushButton*>(w) ? 8 : 24;  // frame; check box indicator
    }
    for (const QString& line : text.split('\n')) {
      const int advance = QFontMetrics(w->font()).horizontalAdvance(line);
      if (w->isVisible() && advance > room)
        std::fprintf(stderr, "too wide: %s (%d > %d px)\n", qPrintable(line), advance, room);
    }
  }
}

// Shows `form` at 100 %, however small the screen: a form scales with its window.
void ShowAtDesignSize(QWidget* form) {
  form->show();
  const QSizeF design = DesignSize(form);
  if (!design.isEmpty()) form->resize(design.toSize());
  QTest::qWait(200);
}

// The screens at the present screen's start zoom, as a projector shows them.
void Classroom() {
  SetZoomSetting(kZoomToFit);
  QScreen* screen = QGuiApplication::primaryScreen();
  const QString prefix = QStringLiteral("classroom_%1_").arg(screen->geometry().width());
  const auto save = [&](const char* name) {
    QTest::qWait(300);
    Save(screen->grabWindow(0), prefix + QLatin1String(name));
  };
  for (QWidget* window : QApplication::topLevelWidgets()) window->hide();
  GetMenuWindow().show();
  save("menu");
  GetMenuWindow().visual_button->click();
  VisualScreen& visual = GetVisualScreen();
  visual.field_box->setEditText(QString::fromUtf8("10×10"));
  visual.ok_button->click();
  visual.step_display_box->setChecked(false);
  visual.photon_count_box->setText(QStringLiteral("300"));
  visual.go_button->click();
  save("visual");
  SetLanguage(Language::kEnglish, false);
  save("visual_en");
  SetLanguage(Language::kJapanese, false);
  // The smallest zoom step, whose captions are set larger than the zoom to stay readable.
  SetZoomSetting(0.75);
  save("visual_75");
  // A zoom above what fits: the contents at 150 %, scrolled, with the note at the foot.
  SetZoomSetting(1.5);
  save("visual_150");
  SetZoomSetting(kZoomToFit);
  visual.zoom_button->click();
  save("visual_zoomed");
  visual.zoom_button->click();
  visual.spectrum_button->click();
  save("visual_spectrum");
  GetSpectrumPage().hide();
  // The build-up curve beside the tracks it is scored from.
  visual.graph_clear_button->click();
  visual.depth_dose_box->setChecked(true);
  visual.photon_count_box->setText(QStringLiteral("20000"));
  visual.go_button->click();
  save("visual_depth_dose");
  visual.depth_dose_box->setChecked(false);
  visual.back_button->click();
  // Three compared sets: three result files whose curves differ a little in depth.
  const dosavia::NormalisedResults results = support::SyntheticResults();
  for (const char* name : {"10MV-30M.data", "4MV-3M.data", "15MV-3M.data"})
    support::WriteText(QDir::current().filePath(QLatin1String(name)),
                       support::ResultBytes(results));
  GetMenuWindow().engine_button->click();
  EngineScreen& non_visual = GetEngineScreen();
  non_visual.graph.clear_button->click();
  // Fields 2x2, 5x5 and 10x10 (columns 2, 5, 8), so that the three sets lie apart.
  const int fields[] = {2, 5, 8};
  for (int row = 0; row < 3; ++row) {
    non_visual.results.file_list->setCurrentRow(row);
    non_visual.results.load_selected_button->click();
    non_visual.OnFieldChosen(fields[row]);
    non_visual.results.draw_button->click();
  }
  save("non_visual");
  SetLanguage(Language::kEnglish, false);
  save("non_visual_en");
  SetLanguage(Language::kJapanese, false);
  SetZoomSetting(0.75);
  save("non_visual_75");
  SetZoomSetting(kZoomToFit);
  non_visual.run.back_button->click();
  for (int page = 1; page <= dosavia::kExplanationPageCount; ++page) ShowExplanationPage(page);
  ShowReferencesPage();
  save("pages");
  // Page 5 alone, fitted to the screen, in both languages.
  for (QWidget* window : QApplication::topLevelWidgets()) window->hide();
  ShowExplanationPage(5);
  save("page5");
  SetLanguage(Language::kEnglish, false);
  save("page5_en");
  SetLanguage(Language::kJapanese, false);
  // Page 1, wide and low, and page 2 with the note under its picture, alone.
  for (QWidget* window : QApplication::topLevelWidgets()) window->hide();
  ShowExplanationPage(1);
  save("page1");
  for (QWidget* window : QApplication::topLevelWidgets()) window->hide();
  ShowExplanationPage(2);
  save("page2");
  SetLanguage(Language::kEnglish, false);
  save("page2_en");
  SetLanguage(Language::kJapanese, false);
  for (QWidget* window : QApplication::topLevelWidgets()) window->hide();
}

// Three compared sets on the non-visual screen, its saved picture, and the messages a
// first-time student meets. Runs of these names (and their statistics) in the folder
// DOSAVIA_SCREENSHOT_RESULTS names are shown, so that the pictures show what a class sees;
// synthetic curves stand in for any that is missing.
void Compare() {
  const dosavia::NormalisedResults results = support::SyntheticResults();
  // The fourth a run without electron transport, whose note the key, the table and the
  // saved picture keep.
  const char* const names[] = {"4MV-3M.data", "10MV-3M.data", "15MV-3M.data", "10MV-3M-noe.data"};
  const QString runs_dir = qEnvironmentVariable("DOSAVIA_SCREENSHOT_RESULTS");
  const QDir runs(runs_dir);
  for (const char* name : names) {
    const QString data = QLatin1String(name);
    const QString stat = QFileInfo(data).completeBaseName() + QStringLiteral(".stat");
    if (!runs_dir.isEmpty() && QFile::copy(runs.filePath(data), data)) {
      QFile::copy(runs.filePath(stat), stat);
      continue;
    }
    support::WriteText(QDir::current().filePath(data), support::ResultBytes(results));
  }
  EngineScreen& form = GetEngineScreen();
  form.PrepareForShow();
  ShowAtDesignSize(&form);
  form.graph.clear_button->click();
  const int fields[] = {2, 5, 8, 8};
  for (int row = 0; row < 4; ++row) {
    const QList<QListWidgetItem*> found =
        form.results.file_list->findItems(QLatin1String(names[row]), Qt::MatchExactly);
    if (found.isEmpty()) return;
    form.results.file_list->setCurrentItem(found.front());
    form.results.load_selected_button->click();
    form.OnFieldChosen(fields[row]);
    form.results.draw_button->click();
  }
  QTest::qWait(200);
  Save(form.grab(), QStringLiteral("engine_compare"));
  for (const QSize screen : {QSize(1024, 768), QSize(1920, 1080)}) {
    const QSizeF design = DesignSize(&form);
    const double fit = std::min(screen.width() / design.width(), screen.height() / design.height());
    form.resize((design * fit).toSize());
    QTest::qWait(300);
    Save(form.grab(), QStringLiteral("engine_compare_%1").arg(screen.width()));
  }
  // The same sets as the point source at SSD 100 cm gives them, on a 1024x768 screen.
  const QSizeF design = DesignSize(&form);
  form.resize((design * std::min(1024 / design.width(), 768 / design.height())).toSize());
  form.graph.ssd_box->setValue(100);
  form.graph.point_source_option->click();
  QTest::qWait(300);
  Save(form.grab(), QStringLiteral("engine_ssd100_1024"));
  SetLanguage(Language::kEnglish, false);
  QTest::qWait(300);
  Save(form.grab(), QStringLiteral("engine_ssd100_1024_en"));
  form.SaveGraphPicture(out_dir.filePath(QStringLiteral("engine_compare_export_705_en.png")),
                        QSize(705, 529));
  SetLanguage(Language::kJapanese, false);
  form.graph.parallel_option->click();
  // The accurate transport ticked and confirmed for 15 MV, its marked result (a run of the
  // folder named so, or the synthetic curves) drawn beside the exact one.
  const QString accurate = QStringLiteral("15MV-3M-acc.data");
  if (runs_dir.isEmpty() || !QFile::copy(runs.filePath(accurate), accurate))
    support::WriteText(QDir::current().filePath(accurate), support::ResultBytes(results));
  QFile::copy(runs.filePath(QStringLiteral("15MV-3M-acc.stat")),
              QStringLiteral("15MV-3M-acc.stat"));
  form.PrepareForShow();  // lists the new file
  form.graph.clear_button->click();
  for (const QString& name : {QStringLiteral("15MV-3M.data"), accurate}) {
    const QList<QListWidgetItem*> found = form.results.file_list->findItems(name, Qt::MatchExactly);
    if (found.isEmpty()) return;
    form.results.file_list->setCurrentItem(found.front());
    form.results.load_selected_button->click();
    form.OnFieldChosen(8);
    form.results.draw_button->click();
  }
  form.run.energy_box->setCurrentText(QStringLiteral("15"));
  form.run.photon_count_box->setCurrentText(QStringLiteral("3000000"));
  form.run.accurate_box->setChecked(true);
  form.run.ok_button->click();
  QTest::qWait(300);
  Save(form.grab(), QStringLiteral("engine_accurate_1024"));
  form.run.accurate_box->setChecked(false);
  form.SaveGraphPicture(out_dir.filePath(QStringLiteral("engine_compare_export.png")),
                        QSize(1024, 768));
  form.SaveGraphPicture(out_dir.filePath(QStringLiteral("engine_compare_export_1600.png")),
                        QSize(1600, 1200));
  std::printf("%s\n", qPrintable(out_dir.filePath(QStringLiteral("engine_compare_export.png"))));
  // The lung slab at 15 MV chosen and confirmed, its 1×1 cm curves drawn over those of the
  // water run of its beam: the slab shaded behind them, its interface values in the table
  // (the folder's 15MV-5M-lung and 15MV-5M-acc runs; nothing without them).
  for (const QString& name : {QStringLiteral("15MV-5M-lung"), QStringLiteral("15MV-5M-acc")}) {
    QFile::copy(runs.filePath(name + QStringLiteral(".data")), name + QStringLiteral(".data"));
    QFile::copy(runs.filePath(name + QStringLiteral(".stat")), name + QStringLiteral(".stat"));
  }
  if (!runs_dir.isEmpty() && QFile::exists(QStringLiteral("15MV-5M-lung.data"))) {
    form.PrepareForShow();
    form.graph.clear_button->click();
    for (const QString& name :
         {QStringLiteral("15MV-5M-acc.data"), QStringLiteral("15MV-5M-lung.data")}) {
      const QList<QListWidgetItem*> found =
          form.results.file_list->findItems(name, Qt::MatchExactly);
      if (found.isEmpty()) return;
      form.results.file_list->setCurrentItem(found.front());
      form.results.load_selected_button->click();
      form.OnFieldChosen(1);
      form.results.draw_button->click();
    }
    form.run.phantom_box->setCurrentIndex(1);
    emit form.run.phantom_box->activated(1);
    form.run.energy_box->setCurrentText(QStringLiteral("15"));
    form.run.photon_count_box->setCurrentText(QStringLiteral("5000000"));
    form.run.ok_button->click();
    QTest::qWait(300);
    Save(form.grab(), QStringLiteral("engine_phantom_1024"));
    form.SaveGraphPicture(out_dir.filePath(QStringLiteral("engine_phantom_export.png")),
                          QSize(1024, 768));
    form.run.phantom_box->setCurrentIndex(0);
    emit form.run.phantom_box->activated(0);
  }
  form.hide();

  // The messages, as their boxes show them.
  const auto box = [](const QString& text, QMessageBox::Icon icon, const QString& name) {
    QMessageBox message(icon, QStringLiteral("Dosavia"), text, QMessageBox::Ok);
    message.setFont(DefaultFont());
    message.show();
    QTest::qWait(200);
    Save(message.grab(), name);
  };
  WorkingFolderChoice first;
  first.folder = QDir::currentPath();
  first.copied = {QStringLiteral("water20.dat"), QStringLiteral("ELDAT.dat"),
                  QStringLiteral("10MV.csv")};
  for (const Language language : {Language::kJapanese, Language::kEnglish}) {
    SetLanguage(language, false);
    const QString tag = language == Language::kEnglish ? QStringLiteral("_en") : QString();
    box(WorkingFolderIntroduction(first, QDir::currentPath()), QMessageBox::Information,
        QStringLiteral("message_first_start") + tag);
    QString problem;
    const QByteArray path = qgetenv("PATH"), terminal = qgetenv("TERMINAL");
    // An engine to be found, and no terminal to show it in.
    support::WriteScript(QDir::current().filePath(EngineProgramName()), "exit 0\n");
    qputenv("PATH", "/nonexistent");
    qputenv("TERMINAL", "/nonexistent/terminal");
    problem = StartKestrun(QDir::currentPath()).problem;
    qputenv("PATH", path);
    qputenv("TERMINAL", terminal);
    QFile::remove(QDir::current().filePath(EngineProgramName()));
    box(Tr("EngineScreen", "シミュレーションを開始できません\n%1").arg(problem),
        QMessageBox::Warning, QStringLiteral("message_no_terminal") + tag);
  }
  SetLanguage(Language::kJapanese, false);
}

// Every form at 100 % in English, as the README's English section shows them.
void English() {
  const double zoom = ZoomSetting();
  SetZoomSetting(1.0);
  SetLanguage(Language::kEnglish, false);
  static EngineConsole console;
  const std::pair<const char*, std::function<QWidget*()>> forms[] = {
      {"menu", [] { return &GetMenuWindow(); }},
      {"visual", [] { return &GetVisualScreen(); }},
      {"spectra", [] { return &GetSpectrumPage(); }},
      {"non-visual", [] { return &GetEngineScreen(); }},
      {"page_1", [] { return &GetExplanationPage(1); }},
      {"page_2", [] { return &GetExplanationPage(2); }},
      {"page_3", [] { return &GetExplanationPage(3); }},
      {"page_4", [] { return &GetExplanationPage(4); }},
      {"page_5", [] { return &GetExplanationPage(5); }},
      {"page_6", [] { return &GetExplanationPage(6); }},
      {"references", [] { return &GetReferencesPage(); }},
      {"console", [] { return &console; }}};
  for (const auto& [tag, form_of] : forms) {
    QWidget* form = form_of();
    ShowAtDesignSize(form);
    WarnOfWideCaptions(form);
    Save(form->grab(), QStringLiteral("english_") + QLatin1String(tag));
    if (auto* visual = qobject_cast<VisualScreen*>(form)) {  // with its depth-dose panel too
      visual->depth_dose_box->setChecked(true);
      QTest::qWait(200);
      Save(visual->grab(), QStringLiteral("english_depth_dose"));
      visual->depth_dose_box->setChecked(false);
    }
    form->hide();
  }
  SetLanguage(Language::kJapanese, false);
  SetZoomSetting(zoom);
}

// `form` at `zoom` of its design size, as a projector or a large screen shows it.
void SaveAtZoom(QWidget* form, double zoom, const QString& name) {
  form->resize((DesignSize(form) * zoom).toSize());
  QTest::qWait(200);
  Save(form->grab(), name);
}

// The spectrum, explanation and references pages at their design size.
void Pages() {
  const std::pair<const char*, QWidget*> pages[] = {
      {"spectra", &GetSpectrumPage()},    {"page_1", &GetExplanationPage(1)},
      {"page_2", &GetExplanationPage(2)}, {"page_3", &GetExplanationPage(3)},
      {"page_4", &GetExplanationPage(4)}, {"page_5", &GetExplanationPage(5)},
      {"page_6", &GetExplanationPage(6)}, {"references", &GetReferencesPage()},
      {"lesson", &GetLessonPage()}};
  for (const auto& [name, page] : pages) {
    ShowAtDesignSize(page);
    Save(page->grab(), QString::fromLatin1(name));
    page->hide();
  }
  // As a 1024x768 projector opens them, where the figures' text is held at the least readable
  // size inside a smaller drawing: in both languages, to see that no label runs into another.
  const QRect projector(0, 0, 1024, 768);
  for (const Language language : {Language::kJapanese, Language::kEnglish}) {
    SetLanguage(language, false);
    for (const auto& [name, page] : pages) {
      page->show();
      const double zoom =
          StartZoom(DesignSize(page), projector, kZoomToFit, StartFit::kWithinVisualScreen);
      SaveAtZoom(page, zoom,
                 QStringLiteral("%1%2_1024")
                     .arg(language == Language::kEnglish ? QStringLiteral("english_") : QString())
                     .arg(QLatin1String(name)));
      page->hide();
    }
  }
  SetLanguage(Language::kJapanese, false);
}

// The visual screen after a batch without step display, with its depth-dose panel.
void DepthDose() {
  const double zoom = ZoomSetting();
  SetZoomSetting(1.0);
  GetMenuWindow().visual_button->click();  // as the menu opens the screen, with the physics loaded
  VisualScreen& visual = GetVisualScreen();
  for (const char* energy : {"4", "15"}) {
    visual.reset_button->click();
    visual.energy_box->setEditText(QLatin1String(energy));
    visual.field_box->setEditText(QString::fromUtf8("4×4"));
    visual.ok_button->click();
    visual.step_display_box->setChecked(false);
    visual.depth_dose_box->setChecked(true);
    visual.photon_count_box->setText(QStringLiteral("50000"));
    visual.go_button->click();
    ShowAtDesignSize(&visual);
    Save(visual.grab(), QStringLiteral("visual_depth_dose_%1mv").arg(QLatin1String(energy)));
  }
  visual.depth_dose_box->setChecked(false);
  visual.back_button->click();
  SetZoomSetting(zoom);
}

// The physics switches: the visual screen after a full-physics batch and one without
// electron transport, the first curve faint behind the second, at 100 %, at the zoom
// that fits 1024x768 and at a large one, in both languages; the non-visual screen with a
// switch ticked before "OK".
void Switches() {
  const double zoom = ZoomSetting();
  SetZoomSetting(1.0);
  GetMenuWindow().visual_button->click();
  VisualScreen& visual = GetVisualScreen();
  visual.field_box->setEditText(QString::fromUtf8("10×10"));
  visual.ok_button->click();
  visual.step_display_box->setChecked(false);
  visual.depth_dose_box->setChecked(true);
  visual.photon_count_box->setText(QStringLiteral("50000"));
  visual.go_button->click();
  QTest::qWait(100);
  visual.physics_switches->Box("electron-transport")->click();
  visual.go_button->click();
  ShowAtDesignSize(&visual);
  WarnOfWideCaptions(&visual);
  Save(visual.grab(), QStringLiteral("visual_switches"));
  SaveAtZoom(&visual, 0.84, QStringLiteral("visual_switches_1024"));
  SaveAtZoom(&visual, 1.6, QStringLiteral("visual_switches_large"));
  SetLanguage(Language::kEnglish, false);
  ShowAtDesignSize(&visual);
  WarnOfWideCaptions(&visual);
  Save(visual.grab(), QStringLiteral("english_visual_switches"));
  SetLanguage(Language::kJapanese, false);
  // The accurate transport at 15 MV: delta rays and bremsstrahlung photons in their colours.
  visual.physics_switches->Box("electron-transport")->click();
  visual.energy_box->setEditText(QStringLiteral("15"));
  visual.ok_button->click();
  visual.accurate_box->click();
  visual.photon_count_box->setText(QStringLiteral("2000"));
  visual.go_button->click();
  SaveAtZoom(&visual, 0.84, QStringLiteral("visual_accurate_1024"));
  SetLanguage(Language::kEnglish, false);
  SaveAtZoom(&visual, 0.84, QStringLiteral("english_visual_accurate_1024"));
  SetLanguage(Language::kJapanese, false);
  visual.accurate_box->click();
  visual.depth_dose_box->setChecked(false);
  visual.back_button->click();

  EngineScreen& non_visual = GetEngineScreen();
  non_visual.PrepareForShow();
  non_visual.run.physics_switches->Box("electron-transport")->click();
  non_visual.run.ok_button->click();
  ShowAtDesignSize(&non_visual);
  WarnOfWideCaptions(&non_visual);
  Save(non_visual.grab(), QStringLiteral("non_visual_switches"));
  SaveAtZoom(&non_visual, 0.77, QStringLiteral("non_visual_switches_1024"));
  SetLanguage(Language::kEnglish, false);
  ShowAtDesignSize(&non_visual);
  WarnOfWideCaptions(&non_visual);
  Save(non_visual.grab(), QStringLiteral("english_non_visual_switches"));
  SetLanguage(Language::kJapanese, false);
  non_visual.run.physics_switches->Box("electron-transport")->click();
  non_visual.run.back_button->click();
  SetZoomSetting(zoom);
}

// The lung slab: the tracks reach further in lung, and the dose per gram there falls below
// the water before it in a narrow field.
void Phantom() {
  const double zoom = ZoomSetting();
  SetZoomSetting(1.0);
  GetMenuWindow().visual_button->click();
  VisualScreen& visual = GetVisualScreen();
  visual.phantom_box->setCurrentIndex(visual.phantom_box->findData(QStringLiteral("lung")));
  emit visual.phantom_box->activated(visual.phantom_box->currentIndex());
  visual.field_box->setEditText(QString::fromUtf8("1×1"));
  visual.ok_button->click();
  visual.step_display_box->setChecked(false);
  visual.depth_dose_box->setChecked(true);
  visual.seed_box->setText(QStringLiteral("7"));
  visual.photon_count_box->setText(QStringLiteral("30000"));
  visual.go_button->click();
  WarnOfWideCaptions(&visual);
  SaveAtZoom(&visual, 0.84, QStringLiteral("visual_phantom_lung_1024"));
  SetLanguage(Language::kEnglish, false);
  WarnOfWideCaptions(&visual);
  SaveAtZoom(&visual, 0.84, QStringLiteral("english_visual_phantom_lung_1024"));
  SetLanguage(Language::kJapanese, false);
  visual.reset_button->click();
  visual.depth_dose_box->setChecked(false);
  visual.back_button->click();
  SetZoomSetting(zoom);
}

}  // namespace

// Qt's offscreen platform says of every raise() that it cannot; nothing else is left out.
void QuietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QLatin1String("This plugin does not support"))) return;
  std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

int main(int argc, char* argv[]) {
  qInstallMessageHandler(QuietOffscreen);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Dosavia"));
  // The tool's settings (zoom, language) stay apart from the user's.
  QStandardPaths::setTestModeEnabled(true);
  const QString dir = qEnvironmentVariable("DOSAVIA_SCREENSHOT_DIR");
  if (dir.isEmpty()) {
    std::fprintf(stderr,
                 "usage: DOSAVIA_SCREENSHOT_DIR=<folder> %s [classroom] [english] "
                 "[pages] [compare] [depth_dose] [switches] [phantom]\n",
                 argv[0]);
    return 2;
  }
  out_dir = QDir(dir);
  if (!out_dir.mkpath(QStringLiteral("."))) {
    std::fprintf(stderr, "screenshots: cannot make %s\n", qPrintable(dir));
    return 1;
  }
  const std::map<QString, std::function<void()>> sets = {
      {QStringLiteral("classroom"), Classroom},  {QStringLiteral("english"), English},
      {QStringLiteral("pages"), Pages},          {QStringLiteral("compare"), Compare},
      {QStringLiteral("depth_dose"), DepthDose}, {QStringLiteral("switches"), Switches},
      {QStringLiteral("phantom"), Phantom}};
  QStringList chosen = app.arguments().mid(1);
  if (chosen.isEmpty()) chosen = {"english", "pages", "depth_dose", "switches"};
  for (const QString& name : chosen)
    if (!sets.contains(name)) {
      std::fprintf(stderr, "screenshots: no set '%s'\n", qPrintable(name));
      return 2;
    }

  support::TempWorkDir work;
  if (!work.Missing().isEmpty()) {
    std::fprintf(stderr, "screenshots: data files missing: %s\n",
                 qPrintable(work.Missing().join(QStringLiteral(", "))));
    return 1;
  }
  for (const QString& name : chosen) sets.at(name)();
  return failures == 0 ? 0 : 1;
}
