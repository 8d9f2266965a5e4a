// Forms that scale with their window. The twip geometry of every form is its layout at 100 %;
// a resize of the window (or a change of the zoom setting) places each control at its design
// rectangle times the form's scale, centred in the window, and sets its font to its design
// point size times the scale. Real widgets stay real widgets: only their geometry and fonts
// change.
//
// Using it in a form:
//   - place the controls as usual (PlaceTwips, MakeButton, MakeLabel, or any setGeometry at
//     the 100 % layout) and set their fonts;
//   - call MakeScalable(form, width, height) last in the constructor, with the client area
//     [twips]: everything placed so far becomes the design;
//   - a control created after that is added with RegisterTwips(control, left, top, width,
//     height) once its font is set;
//   - a widget that paints its own text or lines (drawing surface, figure) derives from
//     Zoomable as well and is told the scale through SetZoom.
//
// "Fit the screen" makes the contents follow the window. A fixed zoom keeps the contents at
// least that large: where they are larger than the window (the window is never larger than
// the screen) the form scrolls, and a line at its foot says so. No text is drawn smaller
// than kMinTextPixels, so that it still reads from the back of a classroom.
#pragma once

#include <QSizeF>

class QRect;
class QWidget;

namespace dosavia::gui {

// A widget that paints its own text and lines in sizes of the 100 % layout.
class Zoomable {
 public:
  virtual ~Zoomable() = default;
  // `zoom` is the form's scale, 1 at the design size.
  virtual void SetZoom(double zoom) = 0;
};

// Zoom range of the setting and of a resized window [fraction of the design size].
inline constexpr double kMinZoom = 0.5;
inline constexpr double kMaxZoom = 2.0;
// The setting's value for "the largest zoom at which the form fits the screen".
inline constexpr double kZoomToFit = 0.0;
// The smallest text any form shows, at any zoom [px]: legible from the back of a room on a
// 1024x768 projector.
inline constexpr double kMinTextPixels = 14.0;

// How a form's start size is bounded at "fit the screen".
enum class StartFit {
  kNotAboveVisualScreen,  // a page opened over the visual screen is never larger than it
  // An explanation page: as large as the visual screen's window holds it, so that a page
  // lower than the visual screen shows larger text rather than leaving the screen empty.
  kWithinVisualScreen,
  kOwn,  // the menu, which nothing lies under: as large as fits
};

// Room kept for a window's title bar and borders around its client area [px], where the
// window system has not yet said how large they are.
inline constexpr int kFrameAllowanceWidthPx = 16;
inline constexpr int kFrameAllowanceHeightPx = 48;

// Font size [pt] for a text of `design_points` [pt] at 100 % shown at `zoom`: scaled, but never
// below kMinTextPixels.
double ReadablePoints(double design_points, double zoom);

// True while the form's contents are larger than its window and scroll.
bool FormScrolls(const QWidget* form);

// Makes `form` scalable with a client area of width x height [twips] at 100 %: the controls
// placed so far and their fonts become the design; the window can be resized and maximised
// and starts at StartZoom for the primary screen.
void MakeScalable(QWidget* form, double width_twips, double height_twips,
                  StartFit fit = StartFit::kNotAboveVisualScreen);

// Adds a control to a form that is already scalable, at Left, Top, Width, Height [twips] of
// the 100 % layout and with its current font as the 100 % font, and places it at the form's
// scale at once; a control added before only moves to its new design place. Controls inside
// a group box are placed relative to it. On a form not yet scalable: PlaceTwips.
void RegisterTwips(QWidget* control, double left, double top, double width, double height);

// Scale of a scalable form's contents, 1 at the design size (1 for any other widget).
double FormScale(const QWidget* form);

// Design client size of a scalable form at 100 % [px]; empty for any other widget.
QSizeF DesignSize(const QWidget* form);

// Places the window `form` in the middle of the primary screen's free area, its frame and
// title bar counted, so that its foot is on the screen.
void CentreOnScreen(QWidget* form);

// Resizes a scalable form as it opens under the present setting on a screen whose free area
// is `available` [px] (the primary screen's when the setting changes).
void FitToScreenArea(QWidget* form, const QRect& available);

// The zoom setting, remembered between starts: kZoomToFit (the default) or a fixed zoom in
// [kMinZoom, kMaxZoom].
double ZoomSetting();
// Stores the setting and resizes every scalable form to its start zoom.
void SetZoomSetting(double zoom);

// The zoom at which a form's window of `design` size [px] opens on a screen area `available`
// [px]: the largest that fits (room left for the window frame), with kNotAboveVisualScreen
// never above the fit of the visual screen, with kWithinVisualScreen no larger than the visual
// screen's window (nor smaller than at its zoom), within [kMinZoom, kMaxZoom]; a fixed setting
// is used as it is where it fits (its contents scroll where it does not).
double StartZoom(const QSizeF& design, const QRect& available, double setting,
                 StartFit fit = StartFit::kNotAboveVisualScreen);

}  // namespace dosavia::gui
