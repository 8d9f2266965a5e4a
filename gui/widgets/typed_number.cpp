#include "gui/widgets/typed_number.h"

#include "models/typed_text.h"

namespace dosavia::gui {

QString PlainTypedText(const QString& text) {
  return text.normalized(QString::NormalizationForm_KC);
}

QString FieldSizeText(const QString& text) {
  return QString::fromStdString(dosavia::FieldSizeText(PlainTypedText(text).toStdString()));
}

}  // namespace dosavia::gui
