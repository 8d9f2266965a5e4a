// The twip geometry of the screens: form and control sizes are given in 1/1440 inch and
// turned into pixels at the screen's logical DPI.
#pragma once

#include <QRect>
#include <QRectF>

class QWidget;

namespace dosavia::gui {

// Twips per inch: form and control geometry is given in 1/1440 inch.
inline constexpr double kTwipsPerInch = 1440.0;

// Logical dots per inch of the primary screen; 96 when there is no screen.
double LogicalDpi();

// Length in twips to device-independent pixels at the screen's logical DPI
// (15 twips per pixel at 96 dpi).
int TwipsToPixels(double twips);

// Rectangle given as Left, Top, Width, Height [twips] in pixels.
QRect TwipsRect(double left, double top, double width, double height);
inline QRect TwipsRect(const QRectF& twips) {
  return TwipsRect(twips.left(), twips.top(), twips.width(), twips.height());
}

// Property in which PlaceTwips keeps a control's Left, Top, Width, Height [twips] (QRectF),
// so that a scalable form takes the exact design rather than the rounded pixels.
inline constexpr char kTwipsProperty[] = "dosavia_twips";

// Places a control at Left, Top, Width, Height [twips] inside its parent.
void PlaceTwips(QWidget* widget, double left, double top, double width, double height);

}  // namespace dosavia::gui
