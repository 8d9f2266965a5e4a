// Helpers of the non-visual screen's tests: result files written by the engine's own
// writer (from the engine tests' synthetic tables), the message boxes of one action, and looking for a curve's colour in the drawn
// image of a picture.
#pragma once

#include <QColor>
#include <QFile>
#include <QImage>
#include <cmath>
#include <functional>
#include <vector>

#include "engine/result_file.h"
#include "gui/widgets/picture_box.h"
#include "gui_test_support.h"
#include "tests/engine/engine_test_support.h"

namespace dosavia::gui::testing {

using dosavia::testing::SyntheticResults;

// Writes `text` to `path` as it is; false when it cannot be written.
// Pixels of exactly `color` in `image`.
inline int CountColor(const QImage& image, QRgb color) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == color;
  return n;
}

inline bool WriteText(const QString& path, const QByteArray& text) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size();
}

// Writes an executable shell script with `body` after its first line.
inline bool WriteScript(const QString& path, const QByteArray& body) {
  return WriteText(path, "#!/bin/sh\n" + body) &&
         QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
}

inline QByteArray ResultBytes(const NormalisedResults& r) {
  return QByteArray::fromStdString(ResultFileText(r));
}

// The first `records` records of a result file, with their CR LF line ends.
inline QByteArray FirstRecords(const QByteArray& text, int records) {
  int pos = 0;
  for (int n = 0; n < records; ++n) pos = text.indexOf('\n', pos) + 1;
  return text.left(pos);
}

// The message boxes that `action` showed, each answered with OK.
inline std::vector<CapturedMessage> MessagesDuring(const std::function<void()>& action) {
  MessageBoxCatcher catcher;
  action();
  return catcher.Messages();
}

// True when a pixel of `color` lies within `radius` pixels of the user point (x, y) in the
// drawn layer of `picture`.
inline bool ColorNear(PictureBox& picture, const QImage& drawn, double x, double y, QColor color,
                      int radius = 1) {
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

// True when nothing is drawn in `image`.
inline bool IsWhite(const QImage& image) {
  QImage white(image.size(), image.format());
  white.fill(Qt::white);
  return image == white;
}

}  // namespace dosavia::gui::testing
