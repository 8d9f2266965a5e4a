// Shared fixtures and helpers of the GUI tests (and of the screenshots tool): a temporary
// working directory holding the shipped data files, a catcher that answers the program's
// message boxes and records them, files written as the engine writes them, and looks into
// drawn pictures.
#pragma once

#include "models/visual_batch.h"

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QImage>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <vector>

#include "engine/result_file.h"
#include "gui/widgets/picture_box.h"
#include "tests/engine/engine_test_support.h"

namespace dosavia::gui::testing {

using dosavia::testing::SyntheticResults;

// Makes a temporary directory the working directory, with copies of "water20.dat",
// "ELDAT.dat" and the spectrum files; the old working directory returns on destruction.
class TempWorkDir {
 public:
  TempWorkDir();
  ~TempWorkDir();
  TempWorkDir(const TempWorkDir&) = delete;
  TempWorkDir& operator=(const TempWorkDir&) = delete;

  QString Path(const QString& name) const { return dir_.filePath(name); }
  // Data files that were not found in the data directory.
  const QStringList& Missing() const { return missing_; }
  // Writes `content` to a file of the working directory.
  void Write(const QString& name, const QByteArray& content) const;

 private:
  QTemporaryDir dir_;
  QString previous_;
  QStringList missing_;
};

// A message box as the user saw it.
struct CapturedMessage {
  QString text;
  QMessageBox::Icon icon;
  QMessageBox::StandardButtons buttons;
  bool selectable = false;  // its text can be selected and copied
};

// While alive, answers every message box that opens with OK and records what it showed.
class MessageBoxCatcher {
 public:
  MessageBoxCatcher();
  ~MessageBoxCatcher();
  const std::vector<CapturedMessage>& Messages() const { return messages_; }

 private:
  QTimer timer_;
  std::vector<CapturedMessage> messages_;
};

// The message boxes that `action` showed, each answered with OK.
std::vector<CapturedMessage> MessagesDuring(const std::function<void()>& action);

// A spectrum file of 400 records "energy, weight" with the given weights (bin i at
// 0.05 i - 0.025 MeV); `records` below 400 writes a short file.
QByteArray SpectrumText(const std::vector<double>& weights, int records = 400);

// A result file as the engine's own writer makes it.
QByteArray ResultBytes(const NormalisedResults& r);

// The first `records` records of a result file, with their CR LF line ends.
QByteArray FirstRecords(const QByteArray& text, int records);

// Writes `text` to `path` as it is; false when it cannot be written.
bool WriteText(const QString& path, const QByteArray& text);

// Writes an executable shell script with `body` after its first line.
bool WriteScript(const QString& path, const QByteArray& body);

// The whole file; empty when it cannot be read.
QByteArray ReadAll(const QString& path);

// Photons in the visual screen's spectrum histogram.
long long TallySum(const VisualSimulation& simulation);

// Pixels of exactly `color` in `image`.
int CountColor(const QImage& image, QColor color);

// True when a pixel of `color` lies within `radius` pixels of the user point (x, y) in the
// drawn layer of `picture`.
bool ColorNear(PictureBox& picture, const QImage& drawn, double x, double y, QColor color,
               int radius = 1);

// True when nothing is drawn in `image`.
bool IsWhite(const QImage& image);

}  // namespace dosavia::gui::testing
