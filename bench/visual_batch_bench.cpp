// Time of one visual batch of 100 photons at 10 MV in a 10 x 10 field, drawn without
// yielding (step display off), on the screen's own pictures, without and with the
// depth-dose panel scoring along. Reports, asserts nothing.
#include <QtTest>

#include <QCheckBox>

#include "gui/app_forms.h"
#include "gui/form2.h"
#include "gui/module1.h"
#include "tests/gui/gui_test_support.h"

using namespace dosavia::gui;

class VisualBatchBench : public QObject {
  Q_OBJECT

 private slots:
  void batchOf100At10MV_data();
  void batchOf100At10MV();
};

void VisualBatchBench::batchOf100At10MV_data() {
  QTest::addColumn<bool>("depth_dose");
  QTest::newRow("panel off") << false;
  QTest::newRow("panel on") << true;
}

void VisualBatchBench::batchOf100At10MV() {
  QFETCH(bool, depth_dose);
  dosavia::gui::testing::TempWorkDir dir;
  if (!dir.Missing().isEmpty()) QSKIP(qPrintable("data files missing: " + dir.Missing().join(", ")));
  InitSimulation();
  LoadSpectrum("10MV.csv", "10MV.csv");
  SourceDistance = kVisualSourceDistanceCm;
  FieldSide = 10;
  StepDisplayFlag = 0;
  BatchPhotonCount = 100;
  Form2& form = GetForm2();
  form.show();
  form.Check2->setChecked(depth_dose);
  QBENCHMARK { RunVisualBatch(); }
}

QTEST_MAIN(VisualBatchBench)
#include "visual_batch_bench.moc"
