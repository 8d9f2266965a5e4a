#include "gui/widgets/form_scaler.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QAction>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QEvent>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QApplication>
#include <QRect>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include "gui/base/language.h"
#include "gui/base/preferences.h"
#include "gui/widgets/twips.h"
#include "gui/widgets/zoom_style.h"

namespace dosavia::gui {

namespace {

// Zooms offered in the menu and stepped through by Ctrl+Plus and Ctrl+Minus.
constexpr std::array<double, 6> kZoomSteps = {0.75, 1.0, 1.25, 1.5, 1.75, 2.0};

const char kScalerName[] = "dosavia_form_scaler";
// Points per inch of a font size.
constexpr double kPointsPerInch = 72.0;
// Lines moved by one notch of the mouse wheel over a scrolling form.
constexpr int kWheelLines = 3;
constexpr int kWheelNotch = 120;
// Room above and below the scroll note's text [px].
constexpr int kNoteMarginPx = 4;
// Step in which a text that does not fit is made smaller [pt].
constexpr double kFitStepPoints = 0.25;

QSizeF TwipsSize(double width, double height) {
  const double px_per_twip = LogicalDpi() / kTwipsPerInch;
  return QSizeF(width * px_per_twip, height * px_per_twip);
}

// Left, Top, Width, Height [twips] as pixels at 100 %, unrounded.
QRectF TwipsToDesign(const QRectF& twips) {
  const double px_per_twip = LogicalDpi() / kTwipsPerInch;
  return QRectF(twips.topLeft() * px_per_twip, twips.size() * px_per_twip);
}

QRect AvailableArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

// A rectangle at 100 % [px] scaled by `s` and shifted by `offset`; edges are rounded, not
// sizes, so that controls that touch at 100 % touch at every scale.
QRect ScaledRect(const QRectF& design, double s, QPointF offset) {
  const int left = static_cast<int>(std::lround(design.left() * s + offset.x()));
  const int top = static_cast<int>(std::lround(design.top() * s + offset.y()));
  const int right = static_cast<int>(std::lround(design.right() * s + offset.x()));
  const int bottom = static_cast<int>(std::lround(design.bottom() * s + offset.y()));
  return QRect(left, top, std::max(1, right - left), std::max(1, bottom - top));
}

// Moves the window `form` so that its frame, title bar included, lies inside `area` where it
// can: pos() is the frame's corner, the size the client's, and the frame's own size is known
// only once the window system has framed the window (until then the allowance stands in).
void KeepFrameInside(QWidget* form, const QRect& area) {
  const QRect frame = form->frameGeometry();
  const int extra_w = std::max(kFrameAllowanceWidthPx, frame.width() - form->width());
  const int extra_h = std::max(kFrameAllowanceHeightPx, frame.height() - form->height());
  QPoint at = form->pos();
  at.setX(std::max(area.left(), std::min(at.x(), area.right() + 1 - form->width() - extra_w)));
  at.setY(std::max(area.top(), std::min(at.y(), area.bottom() + 1 - form->height() - extra_h)));
  if (at != form->pos()) form->move(at);
}

class FormScaler;
std::vector<QPointer<FormScaler>>& Scalers() {
  static std::vector<QPointer<FormScaler>> scalers;
  return scalers;
}

// The design of one control and the scaling of one form.
class FormScaler : public QObject {
 public:
  FormScaler(QWidget* form, const QSizeF& design, StartFit fit)
      : QObject(form), form_(form), design_(design), fit_(fit) {
    setObjectName(QString::fromLatin1(kScalerName));
    form_points_ = form->font().pointSizeF();
    CaptureChildren(form, true);
    form->installEventFilter(this);
    AddZoomShortcuts();
    MakeScrollParts();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { ShowFocused(now); });
  }

  double Scale() const { return scale_; }
  bool Scrolls() const { return scrolls_; }
  const QSizeF& Design() const { return design_; }
  QWidget* Form() const { return form_; }

  void Add(QWidget* control, const QRectF& design_px) {
    // A control placed again (a layout that follows the language) keeps the rest of its design.
    for (Control& placed : controls_)
      if (placed.widget == control) {
        placed.design = design_px;
        return;
      }
    Control c;
    c.widget = control;
    c.design = design_px;
    c.on_form = control->parentWidget() == form_;
    // A style sheet stops later font changes of the parent from reaching the control, so
    // such a control gets its font set directly too.
    if (control->testAttribute(Qt::WA_SetFont) || !control->styleSheet().isEmpty())
      c.font_points = control->font().pointSizeF();
    if (auto* button = qobject_cast<QAbstractButton*>(control); button && !button->icon().isNull())
      c.icon = button->iconSize();
    if (auto* label = qobject_cast<QLabel*>(control)) {
      c.indent = label->indent();
      if (!label->pixmap().isNull()) label->setScaledContents(true);
    }
    c.zoomable = dynamic_cast<Zoomable*>(control);
    controls_.push_back(c);
    // Parts with a font of their own (a table's header) are not reached by the control's.
    for (QWidget* part : control->findChildren<QWidget*>())
      if (part->testAttribute(Qt::WA_SetFont) && part->font().pointSizeF() > 0)
        part_fonts_.push_back({part, part->font().pointSizeF()});
  }

  // Places every control for the form's current size, the zoom floor and the scroll bars.
  void Apply() {
    if (applying_) return;
    applying_ = true;
    const double fit = std::max(
        1e-3, std::min(form_->width() / design_.width(), form_->height() / design_.height()));
    const double s = std::max(fit, floor_zoom_);
    scale_ = s;
    const QPointF offset = PlaceScrollParts(s);
    if (form_points_ > 0) SetPoints(form_, ReadablePoints(form_points_, s));
    for (const PartFont& part : part_fonts_)
      if (!part.widget.isNull()) SetPoints(part.widget, ReadablePoints(part.points, s));
    for (const Control& c : controls_) {
      if (c.widget.isNull()) continue;
      // The zoom first, so that a drawing redrawn for its new size has its new pen widths.
      if (c.zoomable != nullptr) c.zoomable->SetZoom(s);
      c.widget->setGeometry(ScaledRect(c.design, s, c.on_form ? offset : QPointF()));
      if (c.font_points > 0) SetPoints(c.widget, ReadablePoints(c.font_points, s));
      if (auto* label = qobject_cast<QLabel*>(c.widget.data())) FitCaption(label, c, s);
      if (auto* box = qobject_cast<QCheckBox*>(c.widget.data())) FitButtonText(box, c, s);
      if (auto* option = qobject_cast<QRadioButton*>(c.widget.data())) FitButtonText(option, c, s);
      if (auto* combo = qobject_cast<QComboBox*>(c.widget.data()); combo && combo->isEditable())
        FitComboText(combo, c, s);
      if (auto* button = qobject_cast<QAbstractButton*>(c.widget.data());
          button && c.icon.isValid())
        button->setIconSize(c.icon * s);
      if (c.indent > 0)
        qobject_cast<QLabel*>(c.widget.data())
            ->setIndent(static_cast<int>(std::lround(c.indent * s)));
      // The style's own parts (check box, slider handle) take their size from the zoom.
      c.widget->updateGeometry();
      c.widget->update();
    }
    applying_ = false;
  }

  // Resizes the window for the zoom setting and keeps it on the screen.
  void ResizeForSetting(const QRect& area) {
    const double setting = ZoomSetting();
    const double zoom = StartZoom(design_, area, setting, fit_);
    floor_zoom_ = setting >= kMinZoom && setting <= kMaxZoom ? setting : 0.0;
    QSize size(static_cast<int>(std::lround(design_.width() * zoom)),
               static_cast<int>(std::lround(design_.height() * zoom)));
    if (floor_zoom_ > zoom) {
      // Too large for the screen: the window takes the screen, the contents scroll. Where the
      // screen has room, the window is wider by the vertical bar and taller by the note's
      // line, so that a form too tall alone does not scroll sideways as well.
      const int bar = static_cast<int>(std::lround(
          form_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) * std::max(1.0, floor_zoom_)));
      QFont note_font = note_->font();
      note_font.setPointSizeF(NotePoints());
      const int strip = std::max(bar, QFontMetrics(note_font).height() + 2 * kNoteMarginPx);
      const int room_w = area.width() - kFrameAllowanceWidthPx;
      const int room_h = area.height() - kFrameAllowanceHeightPx;
      int w = static_cast<int>(std::lround(design_.width() * floor_zoom_));
      int h = static_cast<int>(std::lround(design_.height() * floor_zoom_)) + strip;
      if (h > room_h) w += bar;
      size = QSize(std::min(w, room_w), std::min(h, room_h));
    }
    form_->resize(size);
    Apply();
    KeepFrameInside(form_, area);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == form_) {
      if (event->type() == QEvent::Resize || event->type() == QEvent::LanguageChange) Apply();
      // A window rescaled or moved while hidden (a zoom chosen on another form, a screen
      // unplugged) comes back with its title bar on the screen it shows on, so that it can
      // still be moved and closed; the primary screen's area where it lies on none.
      if (event->type() == QEvent::Show) {
        const QScreen* screen = QGuiApplication::screenAt(form_->frameGeometry().center());
        KeepFrameInside(form_, screen != nullptr ? screen->availableGeometry() : AvailableArea());
      }
      if (event->type() == QEvent::Wheel && scrolls_) {
        // A wheel turn that no control used scrolls the form.
        const QPoint delta = static_cast<QWheelEvent*>(event)->angleDelta();
        QScrollBar* bar = delta.y() != 0 && v_bar_->isVisible() ? v_bar_ : h_bar_;
        const int turn = delta.y() != 0 ? delta.y() : delta.x();
        bar->setValue(bar->value() - turn * kWheelLines * bar->singleStep() / kWheelNotch);
        return true;
      }
      if (event->type() == QEvent::ContextMenu) {
        ShowZoomMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
      }
    }
    return false;
  }

 private:
  struct PartFont {
    QPointer<QWidget> widget;
    double points = 0;  // at 100 % [pt]
  };

  struct Control {
    QPointer<QWidget> widget;
    QRectF design;  // [px at 100 %], in its parent
    bool on_form = false;
    double font_points = 0;  // 0: the font comes from the parent
    QSize icon;
    int indent = 0;  // [px at 100 %]
    Zoomable* zoomable = nullptr;
  };

  void MakeScrollParts() {
    h_bar_ = new QScrollBar(Qt::Horizontal, form_);
    v_bar_ = new QScrollBar(Qt::Vertical, form_);
    note_ = new QLabel(form_);
    note_->setObjectName(QStringLiteral("zoom_scroll_note"));
    note_->setAutoFillBackground(true);
    note_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (QWidget* part : {static_cast<QWidget*>(h_bar_), static_cast<QWidget*>(v_bar_),
                          static_cast<QWidget*>(note_)})
      part->hide();
    for (QScrollBar* bar : {h_bar_, v_bar_})
      connect(bar, &QScrollBar::valueChanged, this, [this] { Apply(); });
  }

  // Shows the scroll bars and the note where the contents at zoom `s` are larger than the
  // window, sets their ranges, and returns where the contents' top left corner lies [px].
  QPointF PlaceScrollParts(double s) {
    const QSizeF content = design_ * s;
    const int width = form_->width();
    const int height = form_->height();
    bool wide = content.width() > width + 0.5;
    bool tall = content.height() > height + 0.5;
    scrolls_ = wide || tall;
    if (!scrolls_) {
      for (QWidget* part : {static_cast<QWidget*>(h_bar_), static_cast<QWidget*>(v_bar_),
                            static_cast<QWidget*>(note_)})
        part->hide();
      return QPointF((width - content.width()) / 2, (height - content.height()) / 2);
    }
    SetPoints(note_, NotePoints());
    note_->setText(Tr("ZoomMenu",
                      "表示倍率 %1 %：画面に入らない部分はスクロールで見られます"
                      "（Ctrl+0 で画面に合わせる）")
                       .arg(std::lround(floor_zoom_ > 0 ? floor_zoom_ * 100 : s * 100)));
    const int extent = form_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, v_bar_);
    const int strip = std::max(extent, note_->fontMetrics().height() + 2 * kNoteMarginPx);
    // The note's line at the foot takes height; a vertical bar then takes width.
    const int view_height = height - strip;
    tall = content.height() > view_height + 0.5;
    const int view_width = width - (tall ? extent : 0);
    wide = content.width() > view_width + 0.5;
    const int note_width =
        std::min(width, note_->fontMetrics().horizontalAdvance(note_->text()) + 4 * kNoteMarginPx);
    // The note's ground spans the whole foot, under the horizontal bar and in the corner
    // beside it, so that the contents never show below the view.
    note_->setGeometry(0, view_height, width, strip);
    note_->setIndent(kNoteMarginPx);
    note_->show();
    note_->raise();
    const auto set_bar = [](QScrollBar* bar, bool needed, double content_px, int view_px,
                            const QRect& place) {
      bar->setVisible(needed);
      if (!needed) return bar->setValue(0);
      bar->setRange(0, std::max(0, static_cast<int>(std::ceil(content_px)) - view_px));
      bar->setPageStep(view_px);
      bar->setSingleStep(std::max(1, view_px / 20));
      bar->setGeometry(place);
      bar->raise();
    };
    set_bar(h_bar_, wide, content.width(), view_width,
            QRect(note_width, view_height + (strip - extent) / 2,
                  std::max(1, view_width - note_width), extent));
    set_bar(v_bar_, tall, content.height(), view_height,
            QRect(width - extent, 0, extent, view_height));
    return QPointF(wide ? -h_bar_->value() : (view_width - content.width()) / 2,
                   tall ? -v_bar_->value() : (view_height - content.height()) / 2);
  }

  // The note's size [pt]: the form's own text size at 100 %, whatever the zoom.
  double NotePoints() const {
    return ReadablePoints(form_points_ > 0 ? form_points_ : kMinTextPixels, 1.0);
  }

  // Scrolls so that a control that takes the keyboard focus (Tab) is in sight.
  void ShowFocused(QWidget* now) {
    if (!scrolls_ || now == nullptr || now->window() != form_ || now == h_bar_ || now == v_bar_)
      return;
    const QRect at(now->mapTo(form_, QPoint(0, 0)), now->size());
    const QRect view(0, 0, form_->width() - (v_bar_->isVisible() ? v_bar_->width() : 0),
                     note_->y());
    if (view.contains(at)) return;
    if (h_bar_->isVisible() && (at.left() < 0 || at.right() > view.right()))
      h_bar_->setValue(h_bar_->value() + (at.left() < 0 ? at.left() : at.right() - view.right()));
    if (v_bar_->isVisible() && (at.top() < 0 || at.bottom() > view.bottom()))
      v_bar_->setValue(v_bar_->value() + (at.top() < 0 ? at.top() : at.bottom() - view.bottom()));
  }

  // A plain caption that the least readable size would push past its label's edge is set as
  // large as fits instead, never smaller than its design size times the zoom.
  void FitCaption(QLabel* label, const Control& c, double s) {
    if (label->wordWrap() || label->textFormat() == Qt::RichText ||
        Qt::mightBeRichText(label->text()))
      return;
    // One pixel kept for the rounding of glyph advances at the size chosen.
    FitText(label, c, s, label->text(),
            label->contentsRect().width() - std::max(0, label->indent()) - 1);
  }

  // The same for the text of a check box or an option, beside its indicator.
  void FitButtonText(QAbstractButton* button, const Control& c, double s) {
    const int beside =
        button->sizeHint().width() - button->fontMetrics().horizontalAdvance(button->text());
    FitText(button, c, s, button->text(), button->width() - beside - 1);
  }

  // The same for the widest item of a box that is typed in, beside its arrow.
  void FitComboText(QComboBox* combo, const Control& c, double s) {
    QString widest;
    for (int i = 0; i < combo->count(); ++i)
      if (combo->itemText(i).size() > widest.size()) widest = combo->itemText(i);
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = true;
    option.rect = QRect(QPoint(0, 0), combo->size());
    const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                       QStyle::SC_ComboBoxEditField, combo);
    // The line edit's own margins either side of its text.
    constexpr int kEditMarginsPx = 4;
    FitText(combo, c, s, widest, field.width() - kEditMarginsPx - 1);
  }

  // Sets `widget`'s text (lines of `text`) as large as fits in `room` [px] where the least
  // readable size does not, never smaller than its design size times the zoom `s`.
  void FitText(QWidget* widget, const Control& c, double s, const QString& text, int room) {
    // A control without a font of its own has its group's, or the form's.
    double design = c.font_points;
    if (design <= 0 && widget->parentWidget() != form_)
      design = DesignPoints(widget->parentWidget());
    if (design <= 0) design = form_points_;
    if (design <= 0 || text.isEmpty()) return;
    const double readable = ReadablePoints(design, s);
    const auto widest_at = [&](double points) {
      QFont font = widget->font();
      font.setPointSizeF(points);
      double widest = 0;
      for (const QString& line : text.split(QLatin1Char('\n')))
        widest = std::max<double>(widest, QFontMetricsF(font).horizontalAdvance(line));
      return widest;
    };
    const double widest = widest_at(readable);
    if (widest <= room || readable <= design * s) {
      if (c.font_points <= 0 && widget->testAttribute(Qt::WA_SetFont)) widget->setFont(QFont());
      return;
    }
    // Glyph advances do not scale exactly with the size: a step smaller until it fits.
    double points = std::max(design * s, readable * room / widest);
    while (points > design * s && widest_at(points) > room)
      points = std::max(design * s, points - kFitStepPoints);
    SetPoints(widget, points);
  }

  // The design size of a control's own font [pt]; 0 where it takes its parent's.
  double DesignPoints(const QWidget* widget) const {
    for (const Control& c : controls_)
      if (c.widget == widget) return c.font_points;
    return 0;
  }

  static void SetPoints(QWidget* widget, double points) {
    if (std::abs(widget->font().pointSizeF() - points) < 1e-6) return;
    QFont font = widget->font();
    font.setPointSizeF(points);
    widget->setFont(font);
  }

  // Every control on the form and inside its group boxes, with the geometry it has now.
  void CaptureChildren(QWidget* parent, bool on_form) {
    for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (child->isWindow() || child == h_bar_ || child == v_bar_ || child == note_) continue;
      const QVariant twips = child->property(kTwipsProperty);
      // Where the control still stands where PlaceTwips put it, the exact twips are the design.
      QRectF design = QRectF(child->geometry());
      if (twips.isValid() && TwipsRect(twips.toRectF()) == child->geometry())
        design = TwipsToDesign(twips.toRectF());
      Add(child, design);
      controls_.back().on_form = on_form;
      if (qobject_cast<QGroupBox*>(child) != nullptr) CaptureChildren(child, false);
    }
  }

  void AddZoomShortcuts() {
    const auto add = [this](QKeySequence keys, int direction) {
      auto* shortcut = new QShortcut(keys, form_);
      connect(shortcut, &QShortcut::activated, this, [this, direction] { Step(direction); });
    };
    add(QKeySequence::ZoomIn, 1);
    add(QKeySequence(Qt::CTRL | Qt::Key_Equal), 1);
    add(QKeySequence::ZoomOut, -1);
    add(QKeySequence(Qt::CTRL | Qt::Key_0), 0);
  }

  // One zoom step up or down from this form's present scale; 0 returns to fitting.
  void Step(int direction) {
    if (direction == 0) return SetZoomSetting(kZoomToFit);
    double next = direction > 0 ? kZoomSteps.back() : kZoomSteps.front();
    if (direction > 0) {
      for (double z : kZoomSteps)
        if (z > scale_ + 0.005) {
          next = z;
          break;
        }
    } else {
      for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it)
        if (*it < scale_ - 0.005) {
          next = *it;
          break;
        }
    }
    SetZoomSetting(next);
  }

  void ShowZoomMenu(const QPoint& at) {
    QMenu menu(form_);
    // A popup does not take its window's font: it is given it, so that it grows with the form.
    menu.setFont(form_->font());
    menu.addSection(Tr("ZoomMenu", "表示倍率"));
    auto* group = new QActionGroup(&menu);
    const double setting = ZoomSetting();
    QAction* fit = menu.addAction(Tr("ZoomMenu", "画面に合わせる"));
    fit->setCheckable(true);
    fit->setChecked(setting == kZoomToFit);
    fit->setData(kZoomToFit);
    group->addAction(fit);
    for (double z : kZoomSteps) {
      QAction* action = menu.addAction(QStringLiteral("%1 %").arg(std::lround(z * 100)));
      action->setCheckable(true);
      action->setChecked(std::abs(setting - z) < 1e-6);
      action->setData(z);
      group->addAction(action);
    }
    // The language: each named in itself, so that either can be found in the other.
    // Named in both languages, so that one who cannot read the other still finds it.
    menu.addSection(QString::fromUtf8("言語 / Language"));
    auto* languages = new QActionGroup(&menu);
    for (const auto& [language, name] :
         {std::pair{Language::kJapanese, "日本語"}, std::pair{Language::kEnglish, "English"}}) {
      QAction* action = menu.addAction(QString::fromUtf8(name));
      action->setCheckable(true);
      action->setChecked(CurrentLanguage() == language);
      languages->addAction(action);
      connect(action, &QAction::triggered, &menu,
              [chosen = language] { SetLanguage(chosen, true); });
    }
    if (QAction* chosen = menu.exec(at))
      if (chosen->actionGroup() == group) SetZoomSetting(chosen->data().toDouble());
  }

  QWidget* form_;
  QSizeF design_;  // client area at 100 % [px]
  StartFit fit_;
  double form_points_ = 0;
  double scale_ = 1;
  // The fixed zoom setting the contents never go below; 0 at "fit the screen".
  double floor_zoom_ = 0;
  bool scrolls_ = false;
  bool applying_ = false;
  QScrollBar* h_bar_ = nullptr;
  QScrollBar* v_bar_ = nullptr;
  QLabel* note_ = nullptr;  // says that the form scrolls, and how to undo it
  std::vector<Control> controls_;
  std::vector<PartFont> part_fonts_;
};

FormScaler* ScalerOf(const QWidget* widget) {
  if (widget == nullptr) return nullptr;
  return widget->findChild<FormScaler*>(QString::fromLatin1(kScalerName),
                                        Qt::FindDirectChildrenOnly);
}

}  // namespace

void MakeScalable(QWidget* form, double width_twips, double height_twips, StartFit fit) {
  InstallZoomStyle();
  auto* scaler = new FormScaler(form, TwipsSize(width_twips, height_twips), fit);
  Scalers().push_back(scaler);
  const QSizeF design = scaler->Design();
  form->setMinimumSize(static_cast<int>(std::ceil(design.width() * kMinZoom)),
                       static_cast<int>(std::ceil(design.height() * kMinZoom)));
  form->setContextMenuPolicy(Qt::DefaultContextMenu);
  scaler->ResizeForSetting(AvailableArea());
}

void CentreOnScreen(QWidget* form) {
  const QRect area = AvailableArea();
  const QSize framed = form->size() + QSize(kFrameAllowanceWidthPx, kFrameAllowanceHeightPx);
  form->move(area.center() - QPoint(framed.width() / 2, framed.height() / 2));
  KeepFrameInside(form, area);
}

void FitToScreenArea(QWidget* form, const QRect& available) {
  if (FormScaler* scaler = ScalerOf(form)) scaler->ResizeForSetting(available);
}

void RegisterTwips(QWidget* control, double left, double top, double width, double height) {
  QWidget* form = control->window();
  FormScaler* scaler = ScalerOf(form);
  if (scaler == nullptr) return PlaceTwips(control, left, top, width, height);
  scaler->Add(control, TwipsToDesign(QRectF(left, top, width, height)));
  scaler->Apply();
}

double FormScale(const QWidget* form) {
  const FormScaler* scaler = ScalerOf(form);
  return scaler != nullptr ? scaler->Scale() : 1.0;
}

QSizeF DesignSize(const QWidget* form) {
  const FormScaler* scaler = ScalerOf(form);
  return scaler != nullptr ? scaler->Design() : QSizeF();
}

double ReadablePoints(double design_points, double zoom) {
  const double least = kMinTextPixels * kPointsPerInch / LogicalDpi();
  return std::max(design_points * zoom, least);
}

bool FormScrolls(const QWidget* form) {
  const FormScaler* scaler = ScalerOf(form);
  return scaler != nullptr && scaler->Scrolls();
}

double ZoomSetting() {
  const double zoom = Preference(kZoomKey, kZoomToFit).toDouble();
  return zoom >= kMinZoom && zoom <= kMaxZoom ? zoom : kZoomToFit;
}

void SetZoomSetting(double zoom) {
  SetPreference(kZoomKey, zoom >= kMinZoom && zoom <= kMaxZoom ? zoom : kZoomToFit);
  for (const QPointer<FormScaler>& scaler : Scalers())
    if (!scaler.isNull()) scaler->ResizeForSetting(AvailableArea());
}

}  // namespace dosavia::gui
