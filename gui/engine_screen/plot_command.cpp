#include "gui/engine_screen/plot_command.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <vector>
#include <filesystem>
#include <memory>
#include <string>
#include <variant>

#include "engine/beam_geometry.h"
#include "engine/program_files.h"
#include "gui/base/message_text.h"
#include "engine/result_file.h"
#include "engine/run_statistics.h"
#include "models/curve_table.h"
#include "gui/engine_screen/result_depth_dose_plot.h"
#include "models/clinical_geometry.h"
#include "gui/engine_screen/result_graph_key.h"
#include "gui/widgets/form_style.h"
#include "gui/base/language.h"
#include "gui/widgets/picture_box.h"
#include "gui/widgets/twips.h"
#include "records/file_io.h"
#include "records/input_error.h"
#include "records/problem_text.h"
#include "records/utf8_text.h"

namespace dosavia::gui {

namespace {

// Size of the graph: the non-visual screen's picture [twips].
constexpr double kGraphWidthTwips = 10575;
constexpr double kGraphHeightTwips = 7935;
constexpr int kMarginPx = 12;
constexpr double kTitlePoints = 11.0;
// The smallest scale of text and lines in a picture smaller than the screen's graph.
constexpr double kSmallestPictureZoom = 0.6;

constexpr const char* kUsage =
    "usage: Dosavia [--lang ja|en]   start the interactive program, in Japanese (the default,\n"
    "                                or the language last chosen in its menu) or English\n"
    "       Dosavia --plot RESULT.data [--field N[,M...]] [--out FILE.png] [--size WxH]\n"
    "                                [--csv FILE.csv] [--table FILE.tsv] [--ssd CM]\n"
    "                                [--lang ja|en]\n"
    "                                draw a result file's depth-dose curves into a PNG picture\n"
    "                                and/or write them as CSV; no display needed\n"
    "         --field N[,M...]       field columns 1..10 (1, 2, 3, 4, 5, 6, 8, 10, 15, 20 cm\n"
    "                                square), one or several, also as repeated --field;\n"
    "                                default 8 (10 x 10 cm)\n"
    "         --out FILE.png         the graph as a PNG picture\n"
    "         --size WxH             its drawing area in pixels (default 705x529)\n"
    "         --csv FILE.csv         depth [cm] and one column per curve (kerma, then total,\n"
    "                                primary and scatter dose of each field), UTF-8 with BOM\n"
    "         --table FILE.tsv       the value table, tab-separated: set, energy, field_cm,\n"
    "                                d_max_cm, d_max_u_cm, surface_pct, surface_u_pct,\n"
    "                                d10_pct, d10_u_pct, tpr20_10, tpr20_10_u,\n"
    "                                build_up (yes|none|unknown: too few photons to tell),\n"
    "                                uncertainty (measured from RESULT.stat | estimated), seed,\n"
    "                                ssd_cm (with --ssd; empty for the parallel beam),\n"
    "                                transport (exact | accurate, from RESULT.stat)\n"
    "         --ssd CM               the curves of a point source at this source-surface\n"
    "                                distance (50 to 150 cm), field sizes at the surface, as\n"
    "                                clinical depth doses are measured: the inverse square and\n"
    "                                the field's growth with depth applied to the parallel\n"
    "                                beam's curves (an approximation); default the parallel beam\n"
    "         --lang ja|en           the language of the picture, the table and the messages\n"
    "                                (default Japanese)\n"
    "                                No output replaces a data file the programs read\n"
    "                                (water20.dat, ELDAT.dat, Joken.dat, any *MV.csv spectrum)\n"
    "                                or the programs themselves; every option is given once\n"
    "       Dosavia --help           print this text";

// Largest drawing area --size accepts [px]: a picture of some hundred megabytes at most.
constexpr int kMaxPictureSide = 10000;

int UsageError(const std::string& problem) {
  std::fprintf(stderr, "Dosavia: %s\n%s\n", problem.c_str(), kUsage);
  return 2;
}

// File names stay the bytes they were given: a Shift-JIS name from a Japanese archive opens
// here as it does in Kestrun, and is only decoded for display.
struct PlotArguments {
  std::string result_file;
  std::string output_file;
  std::string csv_file;
  std::string table_file;
  std::vector<int> fields;
  QSize size;
  std::optional<Language> language;
  double ssd_cm = 0;  // 0: the parallel beam
};

bool IsPlotOption(const std::string& option) {
  return option == "--plot" || option == "--field" || option == "--out" || option == "--csv" ||
         option == "--size" || option == "--lang" || option == "--ssd" || option == "--table";
}

// Fills `args`; returns an explanation when the arguments do not make one plot request.
std::optional<std::string> ParseArguments(int argc, char** argv, PlotArguments& args) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (!IsPlotOption(option)) return "unknown argument '" + Excerpt(option) + "'";
    if (i + 1 >= argc) return option + " needs a value";
    const std::string value = argv[++i];
    if (option == "--plot") {
      if (!args.result_file.empty()) return "--plot given twice";
      args.result_file = value;
    } else if (option == "--out") {
      if (!args.output_file.empty()) return "--out given twice";
      args.output_file = value;
    } else if (option == "--csv") {
      if (!args.csv_file.empty()) return "--csv given twice";
      args.csv_file = value;
    } else if (option == "--table") {
      if (!args.table_file.empty()) return "--table given twice";
      args.table_file = value;
    } else if (option == "--lang") {
      if (args.language) return "--lang given twice";
      args.language = ParseLanguage(value);
      if (!args.language) return "--lang needs ja or en";
    } else if (option == "--ssd") {
      if (args.ssd_cm > 0) return "--ssd given twice";
      bool ok = false;
      const double ssd = QString::fromStdString(value).toDouble(&ok);
      if (!ok || !(ssd >= kSmallestSsdCm && ssd <= kLargestSsdCm))
        return "--ssd must be a distance in centimetres from 50 to 150";
      args.ssd_cm = ssd;
    } else if (option == "--size") {
      if (!args.size.isEmpty()) return "--size given twice";
      const QStringList parts = QString::fromStdString(value).split(QLatin1Char('x'));
      bool ok_w = false, ok_h = false;
      if (parts.size() == 2) args.size = QSize(parts[0].toInt(&ok_w), parts[1].toInt(&ok_h));
      if (!ok_w || !ok_h || args.size.width() < 100 || args.size.height() < 100 ||
          args.size.width() > kMaxPictureSide || args.size.height() > kMaxPictureSide)
        return "--size must be WIDTHxHEIGHT in pixels, each 100 to " +
               std::to_string(kMaxPictureSide);
    } else {
      for (const QString& part : QString::fromStdString(value).split(QLatin1Char(','))) {
        bool ok = false;
        const int field = part.trimmed().toInt(&ok);
        if (!ok || field < 1 || field > kFields)
          return "--field must be whole numbers from 1 to " + std::to_string(kFields);
        if (std::find(args.fields.begin(), args.fields.end(), field) == args.fields.end())
          args.fields.push_back(field);
      }
    }
  }
  if (args.fields.empty()) args.fields.push_back(kDefaultPlotField);
  if (args.result_file.empty()) return "--plot needs a result file";
  if (args.output_file.empty() && args.csv_file.empty() && args.table_file.empty())
    return "--plot needs --out (a picture), --csv (the curves) or --table (the values)";
  if (!args.output_file.empty() && !QString::fromStdString(args.output_file)
                                        .endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
    return "--out must name a .png picture";
  if (!args.size.isEmpty() && args.output_file.empty()) return "--size works only with --out";
  // No output may replace the result it is drawn from or its statistics (however spelled,
  // also through a link), nor another output.
  const std::pair<const std::string*, const char*> outputs[] = {
      {&args.output_file, "--out"}, {&args.csv_file, "--csv"}, {&args.table_file, "--table"}};
  std::filesystem::path companion(args.result_file);
  companion.replace_filename(RunStatisticsFileName(companion.filename().string()));
  for (const auto& [out, option] : outputs) {
    if (!out->empty() && SameFile(args.result_file, *out))
      return option + std::string(" names the result file itself");
    if (!out->empty() && SameFile(companion.string(), *out))
      return option + std::string(" names the result's run statistics");
  }
  for (std::size_t a = 0; a < std::size(outputs); ++a)
    for (std::size_t b = a + 1; b < std::size(outputs); ++b)
      if (!outputs[a].first->empty() && !outputs[b].first->empty() &&
          SameFile(*outputs[a].first, *outputs[b].first))
        return std::string(outputs[a].second) + " and " + outputs[b].second + " name the same file";
  return std::nullopt;
}

// Qt's own options that take a value (QGuiApplication and QApplication).
bool QtOptionTakesValue(const std::string& option) {
  for (const char* known :
       {"-platform", "-platformpluginpath", "-platformtheme", "-plugin", "-qmljsdebugger", "-style",
        "-stylesheet", "-session", "-display", "-geometry", "-title", "-qwindowgeometry",
        "-qwindowtitle", "-qwindowicon", "-name", "-dialogs", "-fontengine"})
    if (option == known || option == std::string("-") + known) return true;
  return false;
}

QString FieldCaption(int field) { return Tr("Figures", "照射野 ") + FieldSizeText(field); }

}  // namespace

QImage RenderDepthDosePicture(const ResultTables& tables, int field, const QString& source_name) {
  // The tables outlive the picture; the set does not own them.
  CurveSet set;
  set.tables = std::shared_ptr<const ResultTables>(&tables, [](const ResultTables*) {});
  set.field = field;
  set.file = source_name;
  set.energy = EnergyOfResultName(source_name);
  return RenderCurveSetsPicture(&tables, source_name + QStringLiteral("    ") + FieldCaption(field),
                                std::span<const CurveSet>(&set, 1));
}

QImage RenderCurveSetsPicture(const ResultTables* kerma, const QString& source_name,
                              std::span<const CurveSet> given, QSize graph_size,
                              CurvePictureLayout* layout) {
  // Each set's table row as it was measured when it was drawn; a set given without one is
  // measured here, once, never while painting.
  std::vector<CurveSet> measured(given.begin(), given.end());
  for (CurveSet& set : measured)
    if (!set.row) set = MeasureSet(std::move(set));
  const std::span<const CurveSet> sets(measured);
  const QSize design = TwipsRect(0, 0, kGraphWidthTwips, kGraphHeightTwips).size();
  const QSize size = graph_size.isEmpty() ? design : graph_size;
  // Text and lines grow with the picture, so that a large one is as readable as the
  // screen; a small one keeps text that can still be read.
  const double zoom = std::max(
      kSmallestPictureZoom,
      std::min(double(size.width()) / design.width(), double(size.height()) / design.height()));
  PictureBox graph;
  graph.resize(size);
  SetUpDepthDosePlot(graph);
  graph.SetZoom(zoom);
  ShowGraphKey(graph, [sets] { return sets; });
  DrawCurveSets(graph, sets, kerma);
  const QPixmap graph_pixels = graph.grab();

  QFont title_font = DefaultFont(kTitlePoints);
  title_font.setPointSizeF(kTitlePoints * zoom);
  const QFontMetrics metrics(title_font);
  const int margin = kMarginPx;
  const QSize shown = graph_pixels.deviceIndependentSize().toSize();
  // The subtitle (the kerma's file and the geometry) on two lines where one would be cut.
  QStringList subtitle = {source_name};
  if (metrics.horizontalAdvance(source_name) > shown.width())
    subtitle = source_name.split(QStringLiteral("    "), Qt::SkipEmptyParts);
  const int title_height = (1 + static_cast<int>(subtitle.size())) * metrics.height() + margin;
  // The value table under the graph, with a row per set; none without sets.
  const int table_height = sets.empty() ? 0 : CurveTableHeight(sets, zoom, shown.width());
  QImage picture(
      shown.width() + 2 * margin,
      shown.height() + title_height + 2 * margin + (sets.empty() ? 0 : margin + table_height),
      QImage::Format_RGB32);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setFont(title_font);
  painter.setPen(Qt::black);
  QRect row(margin, margin, shown.width(), metrics.height());
  painter.drawText(
      row, Qt::AlignLeft | Qt::AlignVCenter,
      Tr("Figures", "線束中心軸上の深部線量プロファイル（表面の一次線水カーマ（当てはめ値）= 1）"));
  for (const QString& line : subtitle) {
    row.translate(0, metrics.height());
    painter.drawText(row, Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(line, Qt::ElideMiddle, row.width()));
  }
  const QRect graph_area(QPoint(margin, margin + title_height), shown);
  painter.drawPixmap(graph_area, graph_pixels);
  const QRect table_area(graph_area.left(), graph_area.bottom() + 1 + margin, shown.width(),
                         table_height);
  if (!sets.empty()) PaintCurveTable(painter, table_area, sets, zoom);
  painter.end();
  if (layout != nullptr) {
    layout->graph = graph_area;
    layout->key = GraphKeyEntries(sets);
    layout->table = sets.empty() ? QRect() : table_area;
    layout->table_rows = static_cast<int>(sets.size());
    layout->zoom = zoom;
  }
  return picture;
}

QString GeometryCaption(double ssd_cm) {
  return ssd_cm > 0 ? Tr("Figures", "点線源 SSD %1 cm（近似）").arg(ssd_cm)
                    : Tr("Figures", "平行ビーム");
}

void WritePngFile(const QImage& picture, const std::string& path) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!picture.save(&buffer, "PNG"))
    throw WriteError(Problem(ProblemKind::kCannotEncodePicture).In(path));
  WriteExportFile(path, std::string_view(png.constData(), png.size()));
}

namespace {

// What the command line asks for, once its options are classified.
enum class CommandKind { kHelp, kPlot, kMenu };

// Classifies the command line: "--help" anywhere is answered alone; "--plot" draws; anything
// else opens the menu. Every option of the program's own ("--x") is checked here, before any
// window or display is needed, by one rule: given once. Qt's single-dash options
// (-platform, -style) go on to the menu. A usage error is returned as its exit status.
std::variant<CommandKind, int> ClassifyCommandLine(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--help" || option == "-h") return CommandKind::kHelp;
  }
  bool wanted = false;
  int languages = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--plot")
      wanted = true;
    else if (option == "--lang") {
      if (i + 1 >= argc || !ParseLanguage(argv[i + 1])) return UsageError("--lang needs ja or en");
      if (++languages > 1) return UsageError("--lang given twice");
      ++i;
    } else if (option.rfind("--", 0) == 0 && !IsPlotOption(option))
      return UsageError("unknown argument '" + Excerpt(option) + "'");
  }
  if (wanted) return CommandKind::kPlot;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--lang") {
      ++i;
      continue;
    }
    if (IsPlotOption(arg)) return UsageError(arg + " works only with --plot");
    // A single-dash option of Qt's takes the next word as its value ("-platform
    // offscreen"); any other word would be silently ignored by the menu.
    if (arg.size() > 1 && arg[0] == '-') {
      if (QtOptionTakesValue(arg) && i + 1 < argc) ++i;
      continue;
    }
    return UsageError("'" + Excerpt(arg) +
                      "' is not an option; to draw a result file: Dosavia --plot " + Excerpt(arg) +
                      " --out PICTURE.png");
  }
  return CommandKind::kMenu;
}

// The curve sets of the fields asked for, from the result file and its statistics, in the
// geometry asked for.
std::vector<CurveSet> PlotSets(const PlotArguments& args, LoadedResult loaded,
                               const QString& source, std::shared_ptr<const ResultTables>& shown) {
  std::shared_ptr<const ResultTables> parallel(std::move(loaded.tables));
  const std::shared_ptr<const RunStatistics> statistics(std::move(loaded.statistics));
  // The drawn curves: the parallel beam's own, or those of a point source made from them.
  shown = parallel;
  if (args.ssd_cm > 0) shown = ClinicalGeometryTables(*parallel, args.ssd_cm);
  std::vector<CurveSet> sets;
  for (int field : args.fields) {
    CurveSet set;
    set.tables = shown;
    set.field = field;
    set.file = source;
    set.energy = EnergyOfResultName(QFileInfo(source).fileName());
    set.family = static_cast<int>(sets.size());
    if (args.ssd_cm > 0) {
      set.parallel = parallel;
      set.ssd_cm = args.ssd_cm;
    }
    set.statistics = statistics;
    sets.push_back(MeasureSet(std::move(set)));
  }
  return sets;
}

// The picture, the CSV and the table asked for. Throws what a writer throws.
void WritePlotFiles(const PlotArguments& args, const ResultTables* shown, const QString& source,
                    const std::vector<CurveSet>& sets) {
  if (!args.output_file.empty()) {
    const QString geometry = GeometryCaption(args.ssd_cm);
    const QString title =
        (sets.size() == 1 ? source + QStringLiteral("    ") + FieldCaption(sets[0].field)
                          : source) +
        QStringLiteral("    ") + geometry;
    WritePngFile(RenderCurveSetsPicture(shown, title, sets, args.size), args.output_file);
  }
  if (!args.csv_file.empty()) WriteExportFile(args.csv_file, CurvesCsvText(shown, source, sets));
  if (!args.table_file.empty()) {
    std::vector<TableTsvRow> rows;
    for (const CurveSet& set : sets)
      rows.push_back({QFileInfo(source).fileName().toStdString(), set.energy.toStdString(),
                      set.field, *set.row, args.ssd_cm});
    WriteExportFile(args.table_file, CurveTableTsv(rows));
  }
}

// --plot: reads the result file and writes what was asked for; the exit status.
int RunPlot(char** argv, const PlotArguments& args) {
  // Qt's arguments are not passed on: the command line belongs to --plot.
  int app_argc = 1;
  char* app_argv[] = {argv[0], nullptr};
  std::unique_ptr<QApplication> own_app;
  if (QCoreApplication::instance() == nullptr) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // No window is opened, so no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    own_app = std::make_unique<QApplication>(app_argc, app_argv);
  }
  // Japanese unless asked: a script's pictures do not change with the menu's last choice.
  SetLanguage(args.language.value_or(Language::kJapanese), false);
  const auto said = [](const std::exception& e) { return ReportOf(e, ProblemLanguage()); };
  LoadedResult loaded;
  try {
    loaded = ReadResultWithStatistics(std::filesystem::path(args.result_file),
                                      Excerpt(args.result_file));
  } catch (const InputError& e) {
    std::fprintf(stderr, "Dosavia: %s\n", said(e).c_str());
    return 1;
  }
  // Statistics beside the result that cannot be used are said, so that "estimated" in the
  // table is not taken for a run without them.
  if (loaded.statistics_problem)
    std::fprintf(stderr, "Dosavia: %s\n",
                 ProblemLine(*loaded.statistics_problem, ProblemLanguage()).c_str());
  const QString source = QFile::decodeName(args.result_file.c_str());
  std::shared_ptr<const ResultTables> shown;
  const std::vector<CurveSet> sets = PlotSets(args, std::move(loaded), source, shown);
  try {
    WritePlotFiles(args, shown.get(), source, sets);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Dosavia: %s\n", said(e).c_str());
    return 1;
  }
  return 0;
}

}  // namespace

std::optional<int> RunPlotCommand(int argc, char** argv) {
  const std::variant<CommandKind, int> kind = ClassifyCommandLine(argc, argv);
  if (const int* status = std::get_if<int>(&kind)) return *status;
  switch (std::get<CommandKind>(kind)) {
    case CommandKind::kHelp:
      std::printf("%s\n", kUsage);
      // Help that never reached its reader (a full disk) is no success.
      if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "Dosavia: cannot write to the standard output\n");
        return 1;
      }
      return 0;
    case CommandKind::kMenu: return std::nullopt;
    case CommandKind::kPlot: break;
  }
  PlotArguments args;
  if (const auto problem = ParseArguments(argc, argv, args)) return UsageError(*problem);
  return RunPlot(argv, args);
}

}  // namespace dosavia::gui
