#include "gui/widgets/form_scaler.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QRect>
#include <QScreen>
#include <QShortcut>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include "gui/app/language.h"
#include "gui/app/preferences.h"
#include "gui/widgets/twips.h"

namespace dosavia::gui {

namespace {

// Room for the window's title bar and borders around the client area [px].
constexpr int kFrameAllowanceWidthPx = 16;
constexpr int kFrameAllowanceHeightPx = 48;
// The visual screen, the tallest form: pages opened over it never open larger than it.
constexpr double kVisualScreenWidthTwips = 18000;
constexpr double kVisualScreenHeightTwips = 12630;
// Zooms offered in the menu and stepped through by Ctrl+Plus and Ctrl+Minus.
constexpr std::array<double, 6> kZoomSteps = {0.75, 1.0, 1.25, 1.5, 1.75, 2.0};
// Start zooms are rounded down to whole per cent.
constexpr double kZoomGrain = 100.0;

const char kScalerName[] = "dosavia_form_scaler";

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

class FormScaler;
std::vector<QPointer<FormScaler>>& Scalers() {
  static std::vector<QPointer<FormScaler>> scalers;
  return scalers;
}

// The design of one control and the scaling of one form.
class FormScaler : public QObject {
 public:
  FormScaler(QWidget* form, const QSizeF& design) : QObject(form), form_(form), design_(design) {
    setObjectName(QString::fromLatin1(kScalerName));
    form_points_ = form->font().pointSizeF();
    CaptureChildren(form, true);
    form->installEventFilter(this);
    AddZoomShortcuts();
  }

  double Scale() const { return scale_; }
  const QSizeF& Design() const { return design_; }
  QWidget* Form() const { return form_; }

  void Add(QWidget* control, const QRectF& design_px) {
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
  }

  // Places every control for the form's current size.
  void Apply() {
    const double s = std::max(1e-3, std::min(form_->width() / design_.width(),
                                             form_->height() / design_.height()));
    scale_ = s;
    const QPointF offset((form_->width() - design_.width() * s) / 2,
                         (form_->height() - design_.height() * s) / 2);
    if (form_points_ > 0) SetPoints(form_, form_points_ * s);
    for (const Control& c : controls_) {
      if (c.widget.isNull()) continue;
      c.widget->setGeometry(ScaledRect(c.design, s, c.on_form ? offset : QPointF()));
      if (c.font_points > 0) SetPoints(c.widget, c.font_points * s);
      if (auto* button = qobject_cast<QAbstractButton*>(c.widget.data()); button && c.icon.isValid())
        button->setIconSize(c.icon * s);
      if (c.indent > 0)
        qobject_cast<QLabel*>(c.widget.data())->setIndent(static_cast<int>(std::lround(c.indent * s)));
      if (c.zoomable != nullptr) c.zoomable->SetZoom(s);
    }
  }

  // Resizes the window for the zoom setting and keeps it on the screen.
  void ResizeForSetting() {
    const QRect area = AvailableArea();
    const double zoom = StartZoom(design_, area, ZoomSetting());
    form_->resize(static_cast<int>(std::lround(design_.width() * zoom)),
                  static_cast<int>(std::lround(design_.height() * zoom)));
    Apply();
    QPoint at = form_->pos();
    at.setX(std::max(area.left(), std::min(at.x(), area.right() - form_->width())));
    at.setY(std::max(area.top(), std::min(at.y(), area.bottom() - form_->height())));
    if (at != form_->pos()) form_->move(at);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == form_) {
      if (event->type() == QEvent::Resize) Apply();
      if (event->type() == QEvent::ContextMenu) {
        ShowZoomMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
      }
    }
    return false;
  }

 private:
  struct Control {
    QPointer<QWidget> widget;
    QRectF design;  // [px at 100 %], in its parent
    bool on_form = false;
    double font_points = 0;  // 0: the font comes from the parent
    QSize icon;
    int indent = 0;  // [px at 100 %]
    Zoomable* zoomable = nullptr;
  };

  static void SetPoints(QWidget* widget, double points) {
    if (std::abs(widget->font().pointSizeF() - points) < 1e-6) return;
    QFont font = widget->font();
    font.setPointSizeF(points);
    widget->setFont(font);
  }

  // Every control on the form and inside its group boxes, with the geometry it has now.
  void CaptureChildren(QWidget* parent, bool on_form) {
    for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (child->isWindow()) continue;
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
        if (z > scale_ + 0.005) { next = z; break; }
    } else {
      for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it)
        if (*it < scale_ - 0.005) { next = *it; break; }
    }
    SetZoomSetting(next);
  }

  void ShowZoomMenu(const QPoint& at) {
    QMenu menu(form_);
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
      connect(action, &QAction::triggered, &menu, [language] { SetLanguage(language, true); });
    }
    if (QAction* chosen = menu.exec(at))
      if (chosen->actionGroup() == group) SetZoomSetting(chosen->data().toDouble());
  }

  QWidget* form_;
  QSizeF design_;  // client area at 100 % [px]
  double form_points_ = 0;
  double scale_ = 1;
  std::vector<Control> controls_;
};

FormScaler* ScalerOf(const QWidget* widget) {
  if (widget == nullptr) return nullptr;
  return widget->findChild<FormScaler*>(QString::fromLatin1(kScalerName),
                                        Qt::FindDirectChildrenOnly);
}

}  // namespace

void MakeScalable(QWidget* form, double width_twips, double height_twips) {
  auto* scaler = new FormScaler(form, TwipsSize(width_twips, height_twips));
  Scalers().push_back(scaler);
  const QSizeF design = scaler->Design();
  form->setMinimumSize(static_cast<int>(std::ceil(design.width() * kMinZoom)),
                       static_cast<int>(std::ceil(design.height() * kMinZoom)));
  form->setContextMenuPolicy(Qt::DefaultContextMenu);
  scaler->ResizeForSetting();
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

double ZoomSetting() {
  const double zoom = Preference(kZoomKey, kZoomToFit).toDouble();
  return zoom >= kMinZoom && zoom <= kMaxZoom ? zoom : kZoomToFit;
}

void SetZoomSetting(double zoom) {
  SetPreference(kZoomKey, zoom >= kMinZoom && zoom <= kMaxZoom ? zoom : kZoomToFit);
  for (const QPointer<FormScaler>& scaler : Scalers())
    if (!scaler.isNull()) scaler->ResizeForSetting();
}

double StartZoom(const QSizeF& design, const QRect& available, double setting) {
  const double room_w = available.width() - kFrameAllowanceWidthPx;
  const double room_h = available.height() - kFrameAllowanceHeightPx;
  const double fit = std::min(room_w / design.width(), room_h / design.height());
  double zoom = fit;
  if (setting >= kMinZoom && setting <= kMaxZoom) {
    zoom = std::min(setting, fit);
  } else {
    const QSizeF visual = TwipsSize(kVisualScreenWidthTwips, kVisualScreenHeightTwips);
    zoom = std::min(fit, std::min(room_w / visual.width(), room_h / visual.height()));
  }
  zoom = std::floor(zoom * kZoomGrain + 1e-9) / kZoomGrain;
  return std::clamp(zoom, kMinZoom, kMaxZoom);
}

}  // namespace dosavia::gui
