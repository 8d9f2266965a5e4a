// `Dosavia --plot`: the graph of a result file as a PNG picture, the exit status of every
// bad request, and the real program doing it without a display.
#include <cmath>
#include <QProcess>
#include <sys/stat.h>
#include <unistd.h>
#include <QtTest>
#include <fstream>
#include <string>
#include <vector>

#include "gui_test_support.h"
#include "gui/engine_screen/result_curve_sets.h"
#include "gui/engine_screen/result_depth_dose_plot.h"
#include "gui/engine_screen/plot_command.h"
#include "engine/run_statistics.h"

using namespace dosavia;
using namespace dosavia::gui;
using namespace dosavia::gui::testing;

namespace {

// Runs the command line with `args` (bytes) after the program name.
std::optional<int> RunBytes(const std::vector<std::string>& args) {
  std::vector<std::string> storage{"Dosavia"};
  storage.insert(storage.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& s : storage) argv.push_back(s.data());
  argv.push_back(nullptr);
  return RunPlotCommand(static_cast<int>(storage.size()), argv.data());
}

std::optional<int> Run(const QStringList& args) {
  std::vector<std::string> bytes;
  for (const QString& a : args) bytes.push_back(a.toStdString());
  return RunBytes(bytes);
}

}  // namespace

class TestPlotCommand : public QObject {
  Q_OBJECT

 private slots:
  void drawsTheGraphOfTheChosenField();
  void severalFieldsAsPictureAndTable();
  void withoutPlotTheMenuStarts();
  void badRequests_data();
  void badRequests();
  void programPlotsWithoutADisplay();
  void fileNamesAreBytes();
  void exportsNeverReplaceProgramFiles_data();
  void exportsNeverReplaceProgramFiles();
  void fileSizeLimitEndsInAnError();
  void englishPlot();
};

void TestPlotCommand::drawsTheGraphOfTheChosenField() {
  TempWorkDir dir;
  QVERIFY(WriteText(dir.Path("a.data"), ResultBytes(SyntheticResults())));
  QCOMPARE(Run({"--plot", "a.data", "--out", "default.png"}), std::optional<int>(0));
  QCOMPARE(Run({"--field", "1", "--out", "one.png", "--plot", "a.data"}), std::optional<int>(0));
  QImage defaults(dir.Path("default.png"));
  const QImage one(dir.Path("one.png"));
  QVERIFY(!defaults.isNull());
  QVERIFY(defaults.width() > 700 && defaults.height() > 529);
  for (QRgb color : {kKermaColor, kTotalDoseColor, kPrimaryDoseColor, kScatterDoseColor})
    QVERIFY2(CountColor(defaults, color) > 300, qPrintable(QString::number(color, 16)));
  // Another field gives other dose curves.
  QVERIFY(defaults != one);
  // The same request gives the same picture.
  QCOMPARE(Run({"--plot", "a.data", "--out", "again.png", "--field", "8"}), std::optional<int>(0));
  QCOMPARE(QImage(dir.Path("again.png")), defaults);
}

void TestPlotCommand::severalFieldsAsPictureAndTable() {
  TempWorkDir dir;
  QVERIFY(WriteText(dir.Path("6MV-30M.data"), ResultBytes(SyntheticResults())));
  QCOMPARE(Run({"--plot", "6MV-30M.data", "--field", "1,8", "--field", "3", "--field", "8", "--csv",
                "c.csv", "--out", "m.png", "--size", "1000x700"}),
           std::optional<int>(0));
  const QImage picture(dir.Path("m.png"));
  QCOMPARE(picture.width(), 1000 + 24);
  for (int family = 0; family < 3; ++family)
    QVERIFY(CountColor(picture, ColorFamily(family).primary) > 300);
  // Under the graph, the value table: a row with the swatch of each of the three sets (and
  // the note on their estimated uncertainties): everything below the graph's bottom frame,
  // the lowest row that is black across most of the picture.
  int frame_bottom = picture.height() - 1;
  for (; frame_bottom > 0; --frame_bottom) {
    int black = 0;
    for (int x = 0; x < picture.width(); ++x)
      black += picture.pixel(x, frame_bottom) == qRgb(0, 0, 0);
    if (black > picture.width() / 2) break;
  }
  QVERIFY(frame_bottom > picture.height() / 2);
  const QImage table =
      picture.copy(0, frame_bottom + 2, picture.width(), picture.height() - frame_bottom - 2);
  for (int family = 0; family < 3; ++family)
    QVERIFY2(CountColor(table, ColorFamily(family).scatter) > 0,
             qPrintable(QString::number(family)));
  QFile csv(dir.Path("c.csv"));
  QVERIFY(csv.open(QIODevice::ReadOnly));
  const QList<QByteArray> rows = csv.readAll().mid(3).split('\n');
  QCOMPARE(rows.size(), 1 + kDepthBins + 1);  // the last line end leaves an empty piece
  const QStringList header = QString::fromUtf8(rows[0].trimmed()).split(',');
  QCOMPARE(header.size(), 2 + 3 * 3);  // depth, kerma, three fields of three curves
  QCOMPARE(header[2],
           QString::fromUtf8(
               "6 MV 1 × 1 cm 水吸収線量 6MV-30M.data （0～5 cm の一次線水カーマ最大値 = 1）"));
  QCOMPARE(header[8],
           QString::fromUtf8(
               "6 MV 3 × 3 cm 水吸収線量 6MV-30M.data （0～5 cm の一次線水カーマ最大値 = 1）"));
  // Only a table: no picture needed.
  QCOMPARE(Run({"--plot", "6MV-30M.data", "--csv", "only.csv"}), std::optional<int>(0));
  QVERIFY(QFile::exists(dir.Path("only.csv")));
  // A point source at SSD 100 cm: every column says so, and its curves fall faster with
  // depth than the parallel beam's (the inverse square, 0.71 at 20 cm less the field growth).
  QCOMPARE(Run({"--plot", "6MV-30M.data", "--ssd", "100", "--csv", "ssd.csv", "--out", "ssd.png"}),
           std::optional<int>(0));
  QFile ssd(dir.Path("ssd.csv"));
  QVERIFY(ssd.open(QIODevice::ReadOnly));
  const QList<QByteArray> ssd_rows = ssd.readAll().mid(3).split('\n');
  const QStringList ssd_header = QString::fromUtf8(ssd_rows[0].trimmed()).split(',');
  for (int c = 1; c < ssd_header.size(); ++c)
    QVERIFY2(ssd_header[c].contains(QStringLiteral("SSD 100 cm")), qPrintable(ssd_header[c]));
  const auto kerma_at = [](const QList<QByteArray>& r, int bin) {
    return r[bin].split(',')[1].toDouble();
  };
  const double fall = kerma_at(ssd_rows, 200) / kerma_at(rows, 200);
  QVERIFY2(std::abs(fall - std::pow(100 / 119.95, 2)) < 0.002, qPrintable(QString::number(fall)));
}

void TestPlotCommand::withoutPlotTheMenuStarts() {
  QCOMPARE(Run({}), std::nullopt);
  QCOMPARE(Run({"-platform", "offscreen"}), std::nullopt);
}

void TestPlotCommand::badRequests_data() {
  QTest::addColumn<QStringList>("args");
  QTest::addColumn<int>("status");
  QTest::newRow("no picture") << QStringList{"--plot", "a.data"} << 2;
  QTest::newRow("field 0") << QStringList{"--plot", "a.data", "--field", "0", "--out", "x.png"}
                           << 2;
  QTest::newRow("field text") << QStringList{"--plot", "a.data", "--field", "8x", "--out", "x.png"}
                              << 2;
  QTest::newRow("unknown") << QStringList{"--plot", "a.data", "--out", "x.png", "--dpi", "2"} << 2;
  QTest::newRow("missing file") << QStringList{"--plot", "none.data", "--out", "x.png"} << 1;
  QTest::newRow("short file") << QStringList{"--plot", "short.data", "--out", "x.png"} << 1;
  // Every reader of a result refuses more than its limit, however the file starts.
  QTest::newRow("file over the limit") << QStringList{"--plot", "big.data", "--out", "x.png"} << 1;
  QTest::newRow("unwritable") << QStringList{"--plot", "a.data", "--out", "no/such/dir/x.png"} << 1;
  // Options are checked before any window exists: without a display nothing may abort.
  QTest::newRow("help") << QStringList{"--help"} << 0;
  QTest::newRow("out without plot") << QStringList{"--out", "x.png"} << 2;
  QTest::newRow("unknown without plot") << QStringList{"--dpi", "2"} << 2;
  QTest::newRow("not a png") << QStringList{"--plot", "a.data", "--out", "x.jpg"} << 2;
  QTest::newRow("field list 99") << QStringList{"--plot", "a.data", "--field",
                                                "1,99",   "--out",  "x.png"}
                                 << 2;
  QTest::newRow("ssd too near") << QStringList{"--plot", "a.data", "--ssd", "20", "--out", "x.png"}
                                << 2;
  QTest::newRow("ssd not a number")
      << QStringList{"--plot", "a.data", "--ssd", "1e3x", "--out", "x.png"} << 2;
  QTest::newRow("size without out")
      << QStringList{"--plot", "a.data", "--size", "800x600", "--csv", "x.png"} << 2;
  QTest::newRow("size too small") << QStringList{"--plot", "a.data", "--size",
                                                 "8x6",    "--out",  "x.png"}
                                  << 2;
  QTest::newRow("csv is the input") << QStringList{"--plot", "a.data", "--csv", "link.png"} << 2;
  // Nor the result's statistics, nor one output another, however a name is spelled.
  QTest::newRow("table is the result's statistics")
      << QStringList{"--plot", "a.data", "--table", "a.stat"} << 2;
  QTest::newRow("csv is the statistics, spelled otherwise")
      << QStringList{"--plot", "a.data", "--csv", "./no/../a.stat"} << 2;
  QTest::newRow("csv and table one file")
      << QStringList{"--plot", "a.data", "--csv", "x.csv", "--table", "./x.csv"} << 2;
  QTest::newRow("out and table one file")
      << QStringList{"--plot", "a.data", "--out", "x.png", "--table", "./x.png"} << 2;
  // The picture never replaces its own input, even through a link, nor a pipe.
  QTest::newRow("out is the input") << QStringList{"--plot", "a.data", "--out", "link.png"} << 2;
  QTest::newRow("out is a pipe") << QStringList{"--plot", "a.data", "--out", "pipe.png"} << 1;
  // Every option once, whichever it is.
  QTest::newRow("size twice") << QStringList{"--plot", "a.data",  "--size", "800x600",
                                             "--size", "900x700", "--out",  "x.png"}
                              << 2;
  QTest::newRow("lang twice") << QStringList{"--plot", "a.data", "--lang", "en",
                                             "--lang", "ja",     "--out",  "x.png"}
                              << 2;
  QTest::newRow("lang twice, menu") << QStringList{"--lang", "en", "--lang", "ja"} << 2;
  QTest::newRow("lang unknown") << QStringList{"--plot", "a.data", "--lang", "de", "--out", "x.png"}
                                << 2;
  // A bare name would be ignored by the menu.
  QTest::newRow("bare result name") << QStringList{"a.data"} << 2;
}

void TestPlotCommand::badRequests() {
  QFETCH(QStringList, args);
  QFETCH(int, status);
  TempWorkDir dir;
  const QByteArray good = ResultBytes(SyntheticResults());
  QVERIFY(WriteText(dir.Path("a.data"), good));
  QVERIFY(WriteText(dir.Path("short.data"), FirstRecords(good, 450)));
  QVERIFY(WriteText(dir.Path("big.data"), good + QByteArray(5 << 20, ' ')));
  QVERIFY(QFile::link(dir.Path("a.data"), dir.Path("link.png")));
  QCOMPARE(::mkfifo(QFile::encodeName(dir.Path("pipe.png")).constData(), 0600), 0);
  QCOMPARE(Run(args), std::optional<int>(status));
  QVERIFY(!QFile::exists(dir.Path("x.png")));
  QFile input(dir.Path("a.data"));
  QVERIFY(input.open(QIODevice::ReadOnly));
  QCOMPARE(input.readAll(), good);
  struct stat st {};
  QVERIFY(::stat(QFile::encodeName(dir.Path("pipe.png")).constData(), &st) == 0 &&
          S_ISFIFO(st.st_mode));
}

// A name that is not UTF-8 (Shift-JIS "あ" from a Japanese archive) opens as its bytes.
void TestPlotCommand::fileNamesAreBytes() {
  TempWorkDir dir;
  const std::string name = "\x82\xa0.data";
  const QByteArray bytes = ResultBytes(SyntheticResults());
  std::ofstream(name, std::ios::binary).write(bytes.constData(), bytes.size());
  QCOMPARE(RunBytes({"--plot", name, "--out", "sjis.png"}), std::optional<int>(0));
  QVERIFY(!QImage(dir.Path("sjis.png")).isNull());
}

void TestPlotCommand::programPlotsWithoutADisplay() {
  const QString program = QStringLiteral(DOSAVIA_PROGRAM);
  if (!QFile::exists(program)) QSKIP("Dosavia is not built");
  TempWorkDir dir;
  QVERIFY(WriteText(dir.Path("10MV-30M.data"), ResultBytes(SyntheticResults())));
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
  process.setProcessEnvironment(env);
  process.setWorkingDirectory(QDir::currentPath());
  process.start(program, {"--plot", "10MV-30M.data", "--out", "10MV-30M.png"});
  QVERIFY(process.waitForFinished(60000));
  QCOMPARE(process.exitStatus(), QProcess::NormalExit);
  QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
  QVERIFY(!QImage(dir.Path("10MV-30M.png")).isNull());
  // Help without a display.
  process.start(program, {"--help"});
  QVERIFY(process.waitForFinished(60000));
  QCOMPARE(process.exitCode(), 0);
  QVERIFY(process.readAllStandardOutput().contains("--csv FILE.csv"));
  // A bad request says why on stderr and fails.
  process.start(program, {"--plot", "none.data", "--out", "n.png"});
  QVERIFY(process.waitForFinished(60000));
  QCOMPARE(process.exitCode(), 1);
  QVERIFY(process.readAllStandardError().contains("none.data"));
}

void TestPlotCommand::exportsNeverReplaceProgramFiles_data() {
  QTest::addColumn<QString>("option");
  QTest::addColumn<QString>("name");
  for (const char* name : {"10MV.csv", "4mv.CSV", "water20.dat", "ELDAT.dat", "Joken.dat",
                           "Kestrun", "spectrum-link.csv", "hard-link.csv"})
    QTest::newRow(name) << QStringLiteral("--csv") << QString::fromLatin1(name);
  QTest::newRow("png over the spectrum link")
      << QStringLiteral("--out") << QStringLiteral("spectrum-link.png");
  // Nor another run's result.
  QTest::newRow("csv over another result") << QStringLiteral("--csv") << QStringLiteral("b.data");
  QTest::newRow("png over a result") << QStringLiteral("--out") << QStringLiteral("result.png");
  // Nor a run's statistics, which only the run itself can give again.
  QTest::newRow("table over another run's statistics")
      << QStringLiteral("--table") << QStringLiteral("b.stat");
}

// The README's own example once destroyed the 10 MV spectrum: now every writer refuses a
// file the programs read or run, under any name, or a result file, says which, and changes
// nothing.
void TestPlotCommand::exportsNeverReplaceProgramFiles() {
  QFETCH(QString, option);
  QFETCH(QString, name);
  TempWorkDir dir;
  QVERIFY(WriteText(dir.Path("a.data"), ResultBytes(SyntheticResults())));
  const QStringList program_files = {"10MV.csv",  "4MV.csv",   "water20.dat",
                                     "ELDAT.dat", "Joken.dat", "Kestrun"};
  for (const QString& file : program_files)
    QVERIFY(WriteText(dir.Path(file), ("original " + file).toUtf8()));
  const QByteArray other = ResultBytes(SyntheticResults());
  for (const char* result : {"b.data", "result.png"}) QVERIFY(WriteText(dir.Path(result), other));
  RunStatistics statistics;
  statistics.group.resize(kHistoryGroups);
  const QByteArray statistics_text = QByteArray::fromStdString(RunStatisticsText(statistics));
  QVERIFY(WriteText(dir.Path("b.stat"), statistics_text));
  QVERIFY(QFile::link(dir.Path("10MV.csv"), dir.Path("spectrum-link.csv")));
  QVERIFY(QFile::link(dir.Path("10MV.csv"), dir.Path("spectrum-link.png")));
  QCOMPARE(::link(QFile::encodeName(dir.Path("water20.dat")).constData(),
                  QFile::encodeName(dir.Path("hard-link.csv")).constData()),
           0);
  QCOMPARE(Run({"--plot", "a.data", option, name}), std::optional<int>(1));
  for (const QString& file : program_files) {
    QFile f(dir.Path(file));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), ("original " + file).toUtf8());
  }
  for (const char* result : {"b.data", "result.png"}) {
    QFile f(dir.Path(result));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), other);
  }
  QFile kept_statistics(dir.Path("b.stat"));
  QVERIFY(kept_statistics.open(QIODevice::ReadOnly));
  QCOMPARE(kept_statistics.readAll(), statistics_text);
  // The default name of a table cannot meet them.
  QCOMPARE(Run({"--plot", "a.data", "--csv", "a-curves.csv"}), std::optional<int>(0));
}

// A file-size limit ends the write in an error naming the file, status 1, no temporary
// file left, the earlier file intact, not in a silent kill by SIGXFSZ.
void TestPlotCommand::fileSizeLimitEndsInAnError() {
  const QString program = QStringLiteral(DOSAVIA_PROGRAM);
  if (!QFile::exists(program)) QSKIP("Dosavia is not built");
  TempWorkDir dir;
  QVERIFY(WriteText(dir.Path("r.data"), ResultBytes(SyntheticResults())));
  for (const QString& out : {QStringLiteral("--out"), QStringLiteral("--csv")}) {
    const QString name = out == "--out" ? QStringLiteral("big.png") : QStringLiteral("big.csv");
    QVERIFY(WriteText(dir.Path(name), "earlier"));
    QProcess process;
    process.setWorkingDirectory(QDir::currentPath());
    QStringList args{
        "-c", "ulimit -f 4 && exec \"$0\" \"$@\"", program, "--plot", "r.data", out, name, "--lang",
        "en"};
    if (out == "--out")
      args << "--size"
           << "2000x2000";
    process.start(QStringLiteral("/bin/sh"), args);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    const QByteArray err = process.readAllStandardError();
    QVERIFY2(process.exitCode() == 1, err.constData());
    QVERIFY2(err.contains(name.toUtf8()) && err.contains("too large"), err.constData());
    QFile earlier(dir.Path(name));
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    QCOMPARE(earlier.readAll(), QByteArray("earlier"));
    const QStringList left =
        QDir(QDir::currentPath()).entryList({"." + name + ".*"}, QDir::Files | QDir::Hidden);
    QVERIFY2(left.isEmpty(), qPrintable(left.join(' ')));
  }
}

// --lang en draws the English title.
void TestPlotCommand::englishPlot() {
  TempWorkDir dir;
  QVERIFY(WriteText(dir.Path("10MV-30M.data"), ResultBytes(SyntheticResults())));
  QCOMPARE(Run({"--plot", "10MV-30M.data", "--csv", "en.csv", "--lang", "en"}),
           std::optional<int>(0));
  QCOMPARE(Run({"--plot", "10MV-30M.data", "--csv", "ja.csv"}), std::optional<int>(0));
  QFile en(dir.Path("en.csv")), ja(dir.Path("ja.csv"));
  QVERIFY(en.open(QIODevice::ReadOnly) && ja.open(QIODevice::ReadOnly));
  const QByteArray en_header = en.readLine(), ja_header = ja.readLine();
  QVERIFY2(en_header.contains("depth") || en_header.contains("Depth"), en_header.constData());
  QVERIFY2(ja_header.contains("深さ"), ja_header.constData());
}

QTEST_MAIN(TestPlotCommand)
#include "tst_plot_command.moc"
