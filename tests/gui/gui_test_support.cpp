#include "gui_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>

#include <cmath>
#include <numeric>

#include "engine/spectrum_file.h"
#include "engine/working_folder.h"
#include "models/visual_batch.h"
#include "gui/widgets/picture_box.h"

namespace dosavia::gui::testing {

TempWorkDir::TempWorkDir() : previous_(QDir::currentPath()) {
  const QDir data(QStringLiteral(DOSAVIA_DATA_DIR));
  // Every shipped file, the slab phantoms' materials among them, as a working folder has them.
  for (const char* name : kShippedDataFiles) {
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
    messages_.push_back({box->text(), box->icon(), box->standardButtons(),
                         (box->textInteractionFlags() & Qt::TextSelectableByMouse) != 0});
    if (QAbstractButton* ok = box->button(QMessageBox::Ok))
      ok->click();
    else
      box->reject();
  });
  timer_.start();
}

MessageBoxCatcher::~MessageBoxCatcher() { timer_.stop(); }

std::vector<CapturedMessage> MessagesDuring(const std::function<void()>& action) {
  MessageBoxCatcher catcher;
  action();
  return catcher.Messages();
}

QByteArray SpectrumText(const std::vector<double>& weights, int records) {
  QByteArray text;
  for (int i = 1; i <= records; ++i) {
    const double weight = i <= static_cast<int>(weights.size()) ? weights[i - 1] : 0.0;
    text += QByteArray::number(BinEnergy(i) / 1000.0, 'f', 3) + ", " +
            QByteArray::number(weight, 'E', 3) + "\r\n";
  }
  return text;
}

QByteArray ResultBytes(const NormalisedResults& r) {
  return QByteArray::fromStdString(ResultFileText(r));
}

QByteArray FirstRecords(const QByteArray& text, int records) {
  int pos = 0;
  for (int n = 0; n < records; ++n) pos = text.indexOf('\n', pos) + 1;
  return text.left(pos);
}

bool WriteText(const QString& path, const QByteArray& text) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size();
}

bool WriteScript(const QString& path, const QByteArray& body) {
  return WriteText(path, "#!/bin/sh\n" + body) &&
         QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
}

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

long long TallySum(const VisualSimulation& simulation) {
  return std::accumulate(simulation.SpectrumTally().begin() + 1, simulation.SpectrumTally().end(),
                         0LL);
}

int CountColor(const QImage& image, QColor color) {
  const QRgb wanted = color.rgba();
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y).rgba() == wanted;
  return n;
}

bool ColorNear(PictureBox& picture, const QImage& drawn, double x, double y, QColor color,
               int radius) {
  const QPointF p = picture.ToPixels(x, y) - QPointF(picture.contentsRect().topLeft());
  const int cx = static_cast<int>(std::floor(p.x()));
  const int cy = static_cast<int>(std::floor(p.y()));
  for (int dy = -radius; dy <= radius; ++dy)
    for (int dx = -radius; dx <= radius; ++dx) {
      const QPoint q(cx + dx, cy + dy);
      if (drawn.valid(q) && drawn.pixelColor(q).rgb() == color.rgb()) return true;
    }
  return false;
}

bool IsWhite(const QImage& image) {
  QImage white(image.size(), image.format());
  white.fill(Qt::white);
  return image == white;
}

}  // namespace dosavia::gui::testing
