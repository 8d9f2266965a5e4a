#include "gui/plot_command.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QBuffer>
#include <QFile>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/beam_geometry.h"
#include "engine/result_file.h"
#include "gui/depth_dose_plot.h"
#include "gui/form_style.h"
#include "gui/picture_box.h"
#include "gui/twips.h"
#include "records/file_io.h"
#include "records/input_error.h"
#include "records/utf8_text.h"

namespace dosavia::gui {

namespace {

// Size of the graph: the non-visual screen's picture [twips].
constexpr double kGraphWidthTwips = 10575;
constexpr double kGraphHeightTwips = 7935;
constexpr int kMarginPx = 12;
constexpr double kTitlePoints = 11.0;

constexpr const char* kUsage =
    "usage: Dosavia                  start the interactive program\n"
    "       Dosavia --plot RESULT.data [--field N] --out FILE.png\n"
    "                                draw a result file's depth-dose curves (field N = 1..10,\n"
    "                                default 8: 10 x 10 cm) into a PNG picture, no display needed\n"
    "       Dosavia --help           print this text";

int UsageError(const std::string& problem) {
  std::fprintf(stderr, "Dosavia: %s\n%s\n", problem.c_str(), kUsage);
  return 2;
}

// File names stay the bytes they were given: a Shift-JIS name from a Japanese archive opens
// here as it does in Kestrun, and is only decoded for display.
struct PlotArguments {
  std::string result_file;
  std::string output_file;
  int field = kDefaultPlotField;
};

bool IsPlotOption(const std::string& option) {
  return option == "--plot" || option == "--field" || option == "--out";
}

// Fills `args`; returns an explanation when the arguments do not make one plot request.
std::optional<std::string> ParseArguments(int argc, char** argv, PlotArguments& args) {
  bool has_field = false;
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
    } else {
      if (has_field) return "--field given twice";
      bool ok = false;
      args.field = QString::fromStdString(value).toInt(&ok);
      if (!ok || args.field < 1 || args.field > kFields)
        return "--field must be a whole number from 1 to " + std::to_string(kFields);
      has_field = true;
    }
  }
  if (args.result_file.empty()) return "--plot needs a result file";
  if (args.output_file.empty()) return "--out needs a picture file";
  if (!QString::fromStdString(args.output_file).endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
    return "--out must name a .png picture";
  // The picture must not replace the result it is drawn from (also through a link).
  std::error_code ec;
  if (std::filesystem::equivalent(args.result_file, args.output_file, ec))
    return "--out names the result file itself";
  return std::nullopt;
}

QString FieldCaption(int field) {
  const int side = static_cast<int>(kFieldSideCm[field]);
  return QStringLiteral("照射野 %1 × %1 cm").arg(side);
}

}  // namespace

QImage RenderDepthDosePicture(const ResultTables& tables, int field, const QString& source_name) {
  PictureBox graph;
  graph.resize(TwipsRect(0, 0, kGraphWidthTwips, kGraphHeightTwips).size());
  SetUpDepthDosePlot(graph);
  DrawKermaCurve(graph, tables);
  DrawDoseCurves(graph, tables, field);
  const QPixmap graph_pixels = graph.grab();

  const QFont title_font = DefaultFont(kTitlePoints);
  const QFontMetrics metrics(title_font);
  const int title_height = 2 * metrics.height() + kMarginPx;
  const QSize graph_size = graph_pixels.deviceIndependentSize().toSize();
  QImage picture(graph_size.width() + 2 * kMarginPx,
                 graph_size.height() + title_height + 2 * kMarginPx, QImage::Format_RGB32);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setFont(title_font);
  painter.setPen(Qt::black);
  const QRect title(kMarginPx, kMarginPx, graph_size.width(), metrics.height());
  painter.drawText(
      title, Qt::AlignLeft | Qt::AlignVCenter,
      QStringLiteral("線束中心軸上の深部線量プロファイル（一次線による水カーマの最大値で正規化）"));
  painter.drawText(title.translated(0, metrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   source_name + QStringLiteral("    ") + FieldCaption(field));
  painter.drawPixmap(QRect(QPoint(kMarginPx, kMarginPx + title_height), graph_size), graph_pixels);
  painter.end();
  return picture;
}

std::optional<int> RunPlotCommand(int argc, char** argv) {
  // Every option of the program's own ("--x") is handled here, before any window or
  // display is needed; Qt's single-dash options (-platform, -style) go on to the menu.
  bool wanted = false;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--help" || option == "-h") {
      std::printf("%s\n", kUsage);
      return 0;
    }
    if (option == "--plot") wanted = true;
    else if (option.rfind("--", 0) == 0 && !IsPlotOption(option))
      return UsageError("unknown argument '" + Excerpt(option) + "'");
  }
  if (!wanted) {
    for (int i = 1; i < argc; ++i)
      if (IsPlotOption(argv[i])) return UsageError(std::string(argv[i]) + " works only with --plot");
    return std::nullopt;
  }

  PlotArguments args;
  if (const auto problem = ParseArguments(argc, argv, args)) return UsageError(*problem);

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

  std::unique_ptr<ResultTables> tables;
  try {
    tables = ReadResultFile(std::filesystem::path(args.result_file), Excerpt(args.result_file));
  } catch (const InputError& e) {
    std::fprintf(stderr, "Dosavia: %s\n", e.what());
    return 1;
  }
  const QImage picture =
      RenderDepthDosePicture(*tables, args.field, QFile::decodeName(args.result_file.c_str()));
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!picture.save(&buffer, "PNG")) {
    std::fprintf(stderr, "Dosavia: cannot encode the picture\n");
    return 1;
  }
  try {
    WriteFileAtomically(args.output_file, std::string_view(png.constData(), png.size()));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Dosavia: %s\n", Excerpt(e.what(), 300).c_str());
    return 1;
  }
  return 0;
}

}  // namespace dosavia::gui
