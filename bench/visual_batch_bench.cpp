// Time of visual batches at 10 MV in a 10 x 10 field, drawn with step display off, on the
// screen's own pictures: one of 100 photons without and with the depth-dose panel scoring
// along, and one of 100000 photons with and without the window system handling its events
// every few milliseconds (the price of a screen that answers Stop during a long batch), and
// with the older tracks' fade off (the price of the fade).
// Reports, asserts nothing.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <limits>

#include "gui/app/window_registry.h"
#include "gui/visual/visual_screen.h"
#include "gui/visual/visual_batch_run.h"
#include "gui/widgets/picture_box.h"
#include "tests/gui/gui_test_support.h"

using namespace dosavia;
using namespace dosavia::gui;

class VisualBatchBench : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void batchOf100At10MV_data();
  void batchOf100At10MV();
  void batchOf100000_data();
  void batchOf100000();

 private:
  std::unique_ptr<dosavia::gui::testing::TempWorkDir> dir_;
};

void VisualBatchBench::initTestCase() {
  dir_ = std::make_unique<dosavia::gui::testing::TempWorkDir>();
  if (!dir_->Missing().isEmpty())
    QSKIP(qPrintable("data files missing: " + dir_->Missing().join(", ")));
  VisualScreen& form = GetVisualScreen();
  form.PrepareForShow();
  form.step_display_box->setChecked(false);
  form.field_box->setEditText(QStringLiteral("10x10"));
  form.ok_button->click();
  form.show();
}

void VisualBatchBench::batchOf100At10MV_data() {
  QTest::addColumn<bool>("depth_dose");
  QTest::newRow("panel off") << false;
  QTest::newRow("panel on") << true;
}

void VisualBatchBench::batchOf100At10MV() {
  QFETCH(bool, depth_dose);
  VisualScreen& form = GetVisualScreen();
  form.photon_count_box->setText(QStringLiteral("100"));
  form.depth_dose_box->setChecked(depth_dose);
  QBENCHMARK { form.go_button->click(); }
}

void VisualBatchBench::batchOf100000_data() {
  QTest::addColumn<int>("interval_ms");
  QTest::addColumn<bool>("fading");
  QTest::newRow("never yielding") << std::numeric_limits<int>::max() << true;
  QTest::newRow("yielding every interval") << kBatchYieldIntervalMs << true;
  QTest::newRow("yielding every 10 ms") << 10 << true;
  QTest::newRow("yielding every interval, fade off") << kBatchYieldIntervalMs << false;
}

void VisualBatchBench::batchOf100000() {
  QFETCH(int, interval_ms);
  QFETCH(bool, fading);
  VisualScreen& form = GetVisualScreen();
  auto session = std::make_unique<VisualSession>();
  QBENCHMARK {
    session->Init();  // the same photons in every row
    session->Confirm("10", "10x10");
    session->BeginBatch("0");
    form.side_view->Clear();
    form.zoomed_side_view->Clear();
    SideViewTracks tracks;
    tracks.fade.SetFading(fading);
    VisualBatchView view{*session, *form.side_view, *form.zoomed_side_view,
                         *form.spectrum_histogram, *form.photon_energy_label};
    view.tracks = &tracks;
    RunVisualBatch(view, 100000, interval_ms);
    session->EndBatch();
  }
}

QTEST_MAIN(VisualBatchBench)
#include "visual_batch_bench.moc"
