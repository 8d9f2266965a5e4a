#include "gui/base/message_box.h"

#include <QMessageBox>
#include <QPushButton>

#include "gui/base/default_font.h"
#include "records/utf8_text.h"

namespace dosavia::gui {

QString ShownText(const QString& text) { return ShownText(text.toStdString()); }

QString ShownText(const std::string& bytes) { return QString::fromStdString(Excerpt(bytes)); }

void ShowExclamation(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Dosavia"), text, QMessageBox::Ok, parent);
  box.setFont(DefaultFont());
  box.exec();
}

bool AskToGoOn(QWidget* parent, const QString& text, const QString& go, const QString& cancel) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Dosavia"), text,
                  QMessageBox::Ok | QMessageBox::Cancel, parent);
  box.setFont(DefaultFont());
  box.button(QMessageBox::Ok)->setText(go);
  box.button(QMessageBox::Cancel)->setText(cancel);
  box.setDefaultButton(QMessageBox::Cancel);
  return box.exec() == QMessageBox::Ok;
}

}  // namespace dosavia::gui
