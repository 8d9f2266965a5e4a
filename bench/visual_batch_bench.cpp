// Time of one visual batch of 100 photons at 10 MV in a 10 x 10 field, drawn without
// yielding (step display off), on the screen's own pictures. Reports, asserts nothing.
#include <QtTest>

#include "gui/app_forms.h"
#include "gui/form2.h"
#include "gui/module1.h"
#include "tests/gui/gui_test_support.h"

using namespace dosavia::gui;

class VisualBatchBench : public QObject {
  Q_OBJECT

 private slots:
  void batchOf100At10MV();
};

void VisualBatchBench::batchOf100At10MV() {
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
  QBENCHMARK { RunVisualBatch(); }
}

QTEST_MAIN(VisualBatchBench)
#include "visual_batch_bench.moc"
