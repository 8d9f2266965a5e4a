// Comparing curves: two sets overlaid on the non-visual screen with their legend and value
// table, and the graph and the numbers saved as PNG and CSV and read back. The numbers of a
// curve and the legend's words are tested in tests/models (curve_table_test.cpp).
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <array>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>

#include "gui_test_support.h"
#include "gui/app/window_registry.h"
#include "gui/base/language.h"
#include "models/curve_metrics.h"
#include "models/curve_table.h"
#include "gui/engine_screen/result_curve_legend.h"
#include "gui/engine_screen/result_curve_sets.h"
#include "gui/engine_screen/result_graph_key.h"
#include "gui/engine_screen/plot_command.h"
#include "gui/engine_screen/engine_screen.h"

using namespace dosavia;
using namespace dosavia::gui;
using namespace dosavia::gui::testing;

class TestCurveSets : public QObject {
  Q_OBJECT

 private slots:
  void twoSetsOverlaidSavedAndCleared();
  void legendNamesSwitchedOffPhysics();
  void wordsInPlaceOfDmaxKeepTheColumnNarrow();
  void savedPictureHoldsKeyAndTable_data();
  void savedPictureHoldsKeyAndTable();
};

void TestCurveSets::twoSetsOverlaidSavedAndCleared() {
  TempWorkDir dir;
  QVERIFY(WriteText(dir.Path("10MV-30M.data"), ResultBytes(SyntheticResults())));
  QVERIFY(WriteText(dir.Path("4MV-30M.data"), ResultBytes(SyntheticResults(0.5f))));
  EngineScreen& form = GetEngineScreen();
  form.PrepareForShow();
  form.show();

  // 10 MV at 10 x 10, then 4 MV at 1 x 1 laid over it.
  const auto load = [&](const QString& name) {
    form.results.file_list->findItems(name, Qt::MatchExactly).front()->setSelected(true);
    QCOMPARE(MessagesDuring([&] { form.results.load_selected_button->click(); }).size(), 0u);
  };
  load("10MV-30M.data");
  form.results.field_options[7]->click();
  form.results.draw_button->click();
  form.results.draw_button->click();  // the same set twice is one set
  load("4MV-30M.data");
  form.results.field_options[0]->click();
  form.results.draw_button->click();
  QVERIFY(form.graph.loaded_file_label->text().contains("4MV-30M.data"));

  CurveSetLegend& legend = *form.graph.legend;
  QCOMPARE(legend.rowCount(), 2);
  // Results without their statistics: the "*" is explained under the rows, not only in a
  // tooltip that a projected screen never shows.
  const auto* note = legend.findChild<QLabel*>(QStringLiteral("estimated_note"));
  QVERIFY(note != nullptr && note->isVisible());
  QCOMPARE(note->text(), EstimatedNote());
  // The note takes the bottom of the frame, not the column titles above the rows.
  QVERIFY(legend.horizontalHeader()->isVisible());
  QVERIFY(legend.viewport()->geometry().top() >= legend.horizontalHeader()->geometry().bottom());
  QVERIFY(note->geometry().top() > legend.viewport()->geometry().bottom());
  QCOMPARE(legend.item(0, CurveSetLegend::kCurves)->text(),
           QString::fromUtf8("10 MV, 10 × 10 cm, 10MV-30M.data"));
  QCOMPARE(legend.item(1, CurveSetLegend::kCurves)->text(),
           QString::fromUtf8("4 MV, 1 × 1 cm, 4MV-30M.data"));
  const auto& sets = legend.Sets();
  for (int row = 0; row < 2; ++row) {
    const CurveMetrics m = MeasureCurve(sets[row].tables->DoseTable[kTotalDose][sets[row].field]);
    // d_max with the uncertainty of the result's own noise beside it.
    const CurveTableRow values = MeasureCurveSet(*sets[row].tables, sets[row].field);
    QVERIFY(values.dmax_sigma_cm >= 0);
    QCOMPARE(legend.item(row, CurveSetLegend::kDmax)->text(),
             QString::number(m.maximum.depth_cm, 'f', 2) + QString::fromUtf8(" ± ") +
                 QString::number(std::max(0.01, values.dmax_sigma_cm), 'f', 2) +
                 (values.measured ? QString() : QStringLiteral("*")));
    QVERIFY(m.maximum.depth_cm > 1 && m.maximum.depth_cm < 15);
  }
  // The field changes the fall-off relative to the maximum.
  QVERIFY(legend.item(0, CurveSetLegend::kD10)->text() !=
          legend.item(1, CurveSetLegend::kD10)->text());

  // Both colour families are drawn, and both go into the saved picture.
  // Each set's kerma in its own colour: not two black kermas that cannot be told apart.
  const QImage drawn = form.graph.plot->DrawnImage();
  for (const CurveColors& c : {ColorFamily(0), ColorFamily(1)})
    QVERIFY(CountColor(drawn, c.primary) > 100 && CountColor(drawn, c.kerma) > 100);
  form.SaveGraphPicture(dir.Path("graph.png"), QSize(1024, 768));
  const QImage png(dir.Path("graph.png"));
  QVERIFY(png.width() > 1024 && png.height() > 768);
  for (const CurveColors& c : {ColorFamily(0), ColorFamily(1)})
    QVERIFY(CountColor(png, c.total) > 300);

  // CSV: BOM, CR LF, depth and one column per curve, the file's values.
  form.SaveCurvesCsv(dir.Path("curves.csv"));
  QFile csv_file(dir.Path("curves.csv"));
  QVERIFY(csv_file.open(QIODevice::ReadOnly));
  const QByteArray csv = csv_file.readAll();
  QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
  QCOMPARE(csv.count("\r\n"), 1 + kDepthBins);
  QCOMPARE(csv.count('\n'), 1 + kDepthBins);
  const QList<QByteArray> rows = csv.mid(3).split('\n');
  const QStringList header = QString::fromUtf8(rows[0].trimmed()).split(',');
  // The loaded 4 MV file's kerma, then the 10 MV set led by its own file's kerma.
  QCOMPARE(header.size(), 2 + 1 + 2 * 3);
  QCOMPARE(header[2],
           QString::fromUtf8(
               "10 MV 一次線水カーマ 10MV-30M.data （0～5 cm の一次線水カーマ最大値 = 1）"));
  QCOMPARE(header[4],
           QString::fromUtf8(
               "10 MV 10 × 10 cm 一次線線量 10MV-30M.data （0～5 cm の一次線水カーマ最大値 = 1）"));
  QCOMPARE(header[8],
           QString::fromUtf8(
               "4 MV 1 × 1 cm 散乱線線量 4MV-30M.data （0～5 cm の一次線水カーマ最大値 = 1）"));
  const QList<QByteArray> bin150 = rows[150].trimmed().split(',');
  QCOMPARE(bin150[0].toDouble(), 14.95);
  QCOMPARE(bin150[1].toDouble(), form.Tables().Kerma[150]);
  QCOMPARE(bin150[2].toDouble(), sets[0].tables->Kerma[150]);
  QCOMPARE(bin150[6].toDouble(), sets[1].tables->DoseTable[kTotalDose][1][150]);

  // Graph clear empties the legend; the next set takes the first colours again.
  form.graph.clear_button->click();
  QCOMPARE(legend.rowCount(), 0);
  QVERIFY(!note->isVisible());
  form.results.draw_button->click();
  QCOMPARE(legend.Sets().front().family, 0);
  form.hide();
}

// A result of switched-off physics (Kestrun --without) can never be taken for a full one:
// the legend names what was off, in the interface language, and a full result gets no note.
void TestCurveSets::legendNamesSwitchedOffPhysics() {
  CurveSet set;
  set.energy = QStringLiteral("10 MV");
  set.field = 8;
  set.file = QStringLiteral("10MV-30M-noe.data");
  SetLanguage(Language::kEnglish, false);
  // Too long for the key of a default picture, it loses part of its name, not of its note.
  const QFontMetricsF metrics{QFont()};
  const QString note = QStringLiteral(" [without electron and positron transport]");
  const QString fitted =
      ElidedLegend(metrics, LegendText(set), metrics.horizontalAdvance(note) + 60);
  QVERIFY2(fitted.endsWith(note) && fitted.contains(QChar(0x2026)), qPrintable(fitted));
  // Beside a full run of the same beam, shortened as a 1024x768 screen shortens it, the two
  // rows still differ: the file's name loses its middle, not its end or the note.
  CurveSet full = set;
  full.file = QStringLiteral("10MV-1M.data");
  set.file = QStringLiteral("10MV-1M-noe.data");
  const LegendParts parts = LegendTextParts(set);
  const double narrow =
      metrics.horizontalAdvance(parts.head + QStringLiteral("10M\u2026ata") + parts.tail) + 2;
  // The field alone before the whole name, rather than the energy twice and the name cut.
  const QString without = ElidedLegend(metrics, parts, narrow);
  QCOMPARE(without, parts.compact_head + set.file + note);
  QVERIFY(ElidedLegend(metrics, LegendTextParts(full), narrow) != without);
  // Narrower still, as the table's name column at 1024x768: the field and the name's ends.
  const double narrower =
      metrics.horizontalAdvance(parts.compact_head + QStringLiteral("10M\u2026ata") + parts.tail) +
      2;
  const QString compact = ElidedLegend(metrics, parts, narrower);
  QVERIFY2(compact.startsWith(QStringLiteral("10×10, 10")) && compact.endsWith(note),
           qPrintable(compact));
  QVERIFY(ElidedLegend(metrics, LegendTextParts(full), narrower) != compact);
  // In lines (the key, the tables): the name whole over its note, whole on its own lines.
  const QStringList lines =
      LegendLines(metrics, parts, metrics.horizontalAdvance(parts.compact_head + set.file) + 2);
  QCOMPARE(lines.first(), parts.compact_head + set.file);
  QCOMPARE(lines.mid(1).join(' '), note.trimmed());
  set.file = QStringLiteral("10MV-30M-noe.data");
  SetLanguage(Language::kJapanese, false);
  QVERIFY2(LegendText(set).contains(QStringLiteral("電子・陽電子の輸送")),
           qPrintable(LegendText(set)));
}

// A curve without build-up says so in place of its d_max, on two lines: on one the words
// widened the column to over twice its numbers, and a 1024x768 screen cut the sets' names
// beside it to "4 M…ata".
void TestCurveSets::wordsInPlaceOfDmaxKeepTheColumnNarrow() {
  CurveTableRow measured;
  measured.dmax_cm = 2.63;
  measured.dmax_sigma_cm = 0.02;
  measured.measured = true;
  measured.surface_percent = 12.7;
  measured.d10_percent = 81.1;
  CurveTableRow flat = measured;
  flat.build_up = BuildUp::kNone;
  std::vector<CurveSet> sets(2);
  for (std::size_t k = 0; k < sets.size(); ++k) {
    sets[k].energy = QStringLiteral("10 MV");
    sets[k].file = k == 0 ? QStringLiteral("10MV-3M.data") : QStringLiteral("10MV-3M-noe.data");
    sets[k].row = std::make_shared<const CurveTableRow>(k == 0 ? measured : flat);
  }
  for (const Language language : {Language::kJapanese, Language::kEnglish}) {
    SetLanguage(language, false);
    CurveSetLegend legend;
    legend.resize(555, 200);  // the table's width on a 1024x768 screen
    legend.show();
    legend.ShowSets(sets);
    legend.resizeColumnsToContents();
    const QString number = legend.item(0, CurveSetLegend::kDmax)->text();
    const QString words = legend.item(1, CurveSetLegend::kDmax)->text();
    QVERIFY2(words.count(QLatin1Char('\n')) == 1, qPrintable(words));
    const QFontMetrics metrics(legend.font());
    QVERIFY2(legend.columnWidth(CurveSetLegend::kDmax) < 1.8 * metrics.horizontalAdvance(number),
             qPrintable(QString::number(legend.columnWidth(CurveSetLegend::kDmax))));
  }
  SetLanguage(Language::kJapanese, false);
}

void TestCurveSets::savedPictureHoldsKeyAndTable_data() {
  QTest::addColumn<int>("count");
  QTest::addColumn<QSize>("size");
  QTest::newRow("one set, the screen's size") << 1 << QSize(705, 529);
  QTest::newRow("three sets, the screen's size") << 3 << QSize(705, 529);
  QTest::newRow("three sets, 2400 wide") << 3 << QSize(2400, 1800);
  QTest::newRow("six sets, 1024 wide") << 6 << QSize(1024, 768);
}

// The saved picture is read without the screen beside it: its key names every set once
// with the curve kinds once, and under the graph the value table has a row per set with the
// set's swatch and numbers, its text growing with the picture.
void TestCurveSets::savedPictureHoldsKeyAndTable() {
  QFETCH(int, count);
  QFETCH(QSize, size);
  TempWorkDir dir;
  QVERIFY(WriteText(dir.Path("10MV-30M.data"), ResultBytes(SyntheticResults())));
  const std::shared_ptr<const ResultTables> tables(ReadResultFile(
      std::filesystem::path(dir.Path("10MV-30M.data").toStdString()), "10MV-30M.data"));
  const int fields[] = {8, 1, 10, 3, 5, 9};
  std::vector<CurveSet> sets;
  for (int s = 0; s < count; ++s)
    sets.push_back(
        {tables, fields[s], QStringLiteral("10MV-30M.data"), QStringLiteral("10 MV"), s});

  CurvePictureLayout layout;
  const QImage picture =
      RenderCurveSetsPicture(tables.get(), QStringLiteral("10MV-30M.data"), sets, size, &layout);
  QCOMPARE(layout.graph.size(), size);
  QCOMPARE(int(layout.key.size()), kCurveKinds + count);
  for (int k = 0; k < kCurveKinds; ++k) QVERIFY(layout.key[k].family < 0);
  for (int s = 0; s < count; ++s) {
    QCOMPARE(layout.key[kCurveKinds + s].text, LegendText(sets[s]));
    QCOMPARE(layout.key[kCurveKinds + s].family, s);
  }
  QCOMPARE(layout.table_rows, count);
  QVERIFY(layout.table.top() > layout.graph.bottom());
  QVERIFY(picture.rect().contains(layout.table));
  QCOMPARE(layout.table.width(), size.width());
  // Rows as tall as text readable at this size: a 10 pt line scaled with the picture.
  // (title, sets, and the note on the uncertainties estimated without a .stat file).
  const double row = layout.table.height() / double(count + 2);
  QVERIFY2(row >= 15 * layout.zoom, qPrintable(QString::number(row)));
  for (int s = 0; s < count; ++s) {
    const QImage band = picture.copy(layout.table.left(), layout.table.top() + int((s + 1) * row),
                                     layout.table.width(), int(row));
    const CurveColors c = ColorFamily(s);
    for (QRgb color : {c.total, c.primary, c.scatter})
      QVERIFY2(CountColor(band, color) > 0, qPrintable(QStringLiteral("set %1").arg(s)));
    // Its numbers: dark text in the right half, where the number columns lie.
    int dark = 0;
    for (int y = 0; y < band.height(); ++y)
      for (int x = band.width() / 2; x < band.width(); ++x) dark += qGray(band.pixel(x, y)) < 96;
    QVERIFY2(dark > 20, qPrintable(QStringLiteral("set %1").arg(s)));
  }
}

QTEST_MAIN(TestCurveSets)
#include "tst_curve_sets.moc"
