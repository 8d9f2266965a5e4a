#include "gui_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>

#include "engine/spectrum_file.h"

namespace dosavia::gui::testing {

namespace {
const char* const kDataFiles[] = {"water20.dat", "ELDAT.dat", "4MV.csv",
                                  "6MV.csv",     "10MV.csv",  "15MV.csv"};
}

TempWorkDir::TempWorkDir() : previous_(QDir::currentPath()) {
  const QDir data(QStringLiteral(DOSAVIA_DATA_DIR));
  for (const char* name : kDataFiles) {
    const QString file = QString::fromLatin1(name);
    if (!QFile::copy(data.filePath(file), dir_.filePath(file))) missing_ << file;
  }
  QDir::setCurrent(dir_.path());
}

TempWorkDir::~TempWorkDir() { QDir::setCurrent(previous_); }

void TempWorkDir::Write(const QString& name, const QByteArray& content) const {
  QFile file(dir_.filePath(name));
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(content);
}

MessageBoxCatcher::MessageBoxCatcher() {
  timer_.setInterval(5);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    messages_.push_back({box->text(), box->icon(), box->standardButtons()});
    if (QAbstractButton* ok = box->button(QMessageBox::Ok))
      ok->click();
    else
      box->reject();
  });
  timer_.start();
}

MessageBoxCatcher::~MessageBoxCatcher() { timer_.stop(); }

QByteArray SpectrumText(const std::vector<double>& weights, int records) {
  QByteArray text;
  for (int i = 1; i <= records; ++i) {
    const double weight = i <= static_cast<int>(weights.size()) ? weights[i - 1] : 0.0;
    text += QByteArray::number(BinEnergy(i) / 1000.0, 'f', 3) + ", " +
            QByteArray::number(weight, 'E', 3) + "\r\n";
  }
  return text;
}

}  // namespace dosavia::gui::testing
