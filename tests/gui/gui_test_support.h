// Shared fixtures of the GUI tests: a temporary working directory holding the shipped data
// files, and a catcher that answers the program's message boxes and records them.
#pragma once

#include <QDir>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <vector>

namespace dosavia::gui::testing {

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

// A spectrum file of 400 records "energy, weight" with the given weights (bin i at
// 0.05 i - 0.025 MeV); `records` below 400 writes a short file.
QByteArray SpectrumText(const std::vector<double>& weights, int records = 400);

}  // namespace dosavia::gui::testing
