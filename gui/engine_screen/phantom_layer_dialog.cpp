#include "gui/engine_screen/phantom_layer_dialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "engine/phantom_file.h"
#include "gui/base/language.h"
#include "gui/base/message_text.h"
#include "records/problem_text.h"

namespace dosavia::gui {

namespace {

enum Column { kMaterial, kThickness };

void AddRow(QTableWidget& table, const EditedLayer& layer) {
  const int row = table.rowCount();
  table.insertRow(row);
  auto* material = new QComboBox(&table);
  for (const PhantomMaterial& m : kPhantomMaterials) {
    material->addItem(
        QString::fromStdString(MaterialName(m.name, CurrentLanguage() == Language::kEnglish)),
        QString::fromUtf8(m.name.data(), static_cast<qsizetype>(m.name.size())));
  }
  const int at = material->findData(QString::fromStdString(layer.material));
  material->setCurrentIndex(at >= 0 ? at : 0);
  table.setCellWidget(row, kMaterial, material);
  table.setItem(row, kThickness, new QTableWidgetItem(QString::fromStdString(layer.thickness)));
}

std::vector<EditedLayer> RowsOf(const QTableWidget& table) {
  std::vector<EditedLayer> rows;
  for (int r = 0; r < table.rowCount(); ++r) {
    const auto* material = qobject_cast<const QComboBox*>(table.cellWidget(r, kMaterial));
    const QTableWidgetItem* thickness = table.item(r, kThickness);
    rows.push_back({material != nullptr ? material->currentData().toString().toStdString() : "",
                    thickness != nullptr ? thickness->text().trimmed().toStdString() : ""});
  }
  return rows;
}

}  // namespace

std::vector<EditedLayer> EditPhantomLayers(QWidget* parent, PhantomSession& session,
                                           std::vector<EditedLayer> rows) {
  QDialog dialog(parent);
  dialog.setWindowTitle(Tr("EngineScreen", "ファントムの層"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(
      Tr("EngineScreen", "表面から順に物質と厚さ [cm]。最後の層より深いところは水（30 cm まで）"),
      &dialog));
  auto* table = new QTableWidget(0, 2, &dialog);
  table->setHorizontalHeaderLabels({Tr("EngineScreen", "物質"), Tr("EngineScreen", "厚さ [cm]")});
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  // An editor opened for the first time starts from the lung slab's layers.
  const std::vector<EditedLayer> shown =
      rows.empty() ? std::vector<EditedLayer>{{"water", "3"}, {"lung", "10"}} : rows;
  for (const EditedLayer& layer : shown) AddRow(*table, layer);
  layout->addWidget(table);
  auto* row_buttons = new QHBoxLayout;
  auto* add = new QPushButton(Tr("EngineScreen", "行を追加"), &dialog);
  auto* remove = new QPushButton(Tr("EngineScreen", "行を削除"), &dialog);
  row_buttons->addWidget(add);
  row_buttons->addWidget(remove);
  layout->addLayout(row_buttons);
  QObject::connect(add, &QPushButton::clicked, table, [table] { AddRow(*table, {"water", "1"}); });
  QObject::connect(remove, &QPushButton::clicked, table, [table] {
    const int row = table->currentRow() >= 0 ? table->currentRow() : table->rowCount() - 1;
    if (row >= 0) table->removeRow(row);
  });
  // What the engine would refuse, with its row, in the interface language.
  auto* problem = new QLabel(&dialog);
  problem->setObjectName(QStringLiteral("phantom_problem"));
  problem->setWordWrap(true);
  problem->setStyleSheet(QStringLiteral("color: #b00000"));
  layout->addWidget(problem);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    const std::vector<EditedLayer> edited = RowsOf(*table);
    if (const auto refused = session.EditLayers(edited)) {
      problem->setText(QString::fromStdString(ProblemLine(*refused, ProblemLanguage())));
      return;
    }
    rows = edited;
    dialog.accept();
  });
  dialog.exec();
  return rows;
}

}  // namespace dosavia::gui
