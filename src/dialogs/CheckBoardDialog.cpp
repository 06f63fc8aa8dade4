#include "dialogs/CheckBoardDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>
#include <utility>

namespace fw {

namespace {

QDoubleSpinBox* millimetres(QWidget* parent, const char* name) {
  auto* box = new QDoubleSpinBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setRange(0.0, 10.0);
  box->setDecimals(2);
  box->setSingleStep(0.05);
  box->setSuffix(QStringLiteral(" mm"));
  return box;
}

bool sameValues(const CheckRules& a, const CheckRules& b) {
  // The spin boxes hold two decimals.
  auto same = [](double x, double y) { return std::abs(x - y) < 0.005; };
  return same(a.clearanceMm, b.clearanceMm) && same(a.minWidthMm, b.minWidthMm) &&
         same(a.minRingMm, b.minRingMm) && same(a.edgeMm, b.edgeMm);
}

}  // namespace

CheckBoardDialog::CheckBoardDialog(std::vector<Preset> presets, CheckFn check, ChooseFn choose,
                                   QWidget* parent)
    : QDialog(parent),
      presets_(std::move(presets)),
      check_(std::move(check)),
      choose_(std::move(choose)) {
  setObjectName(QStringLiteral("CheckBoardDialog"));
  setWindowTitle(QStringLiteral("Check Board"));
  auto* column = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  preset_ = new QComboBox(this);
  preset_->setObjectName(QStringLiteral("preset"));
  for (const Preset& p : presets_) preset_->addItem(p.name);
  preset_->addItem(QStringLiteral("Custom"));
  form->addRow(QStringLiteral("Rules:"), preset_);
  clearance_ = millimetres(this, "clearance");
  minWidth_ = millimetres(this, "minWidth");
  minRing_ = millimetres(this, "minRing");
  edge_ = millimetres(this, "edgeClearance");
  form->addRow(QStringLiteral("Clearance:"), clearance_);
  form->addRow(QStringLiteral("Minimum width:"), minWidth_);
  form->addRow(QStringLiteral("Minimum ring:"), minRing_);
  form->addRow(QStringLiteral("Edge clearance:"), edge_);
  column->addLayout(form);

  list_ = new QTableWidget(0, 5, this);
  list_->setObjectName(QStringLiteral("findings"));
  list_->setHorizontalHeaderLabels({QStringLiteral("Kind"), QStringLiteral("Severity"),
                                    QStringLiteral("Layer"), QStringLiteral("Position"),
                                    QStringLiteral("Measured (required)")});
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->horizontalHeader()->setStretchLastSection(true);
  list_->verticalHeader()->hide();
  list_->setMinimumSize(560, 240);
  column->addWidget(list_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  column->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  connect(preset_, qOverload<int>(&QComboBox::activated), this, &CheckBoardDialog::presetChosen);
  for (QDoubleSpinBox* box : {clearance_, minWidth_, minRing_, edge_})
    connect(box, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
            &CheckBoardDialog::valueChanged);
  connect(list_, &QTableWidget::currentCellChanged, this, [this](int row) {
    if (!filling_ && row >= 0 && choose_) choose_(row);
  });
}

void CheckBoardDialog::setRules(const CheckRules& rules) {
  rules_ = rules;
  filling_ = true;
  clearance_->setValue(rules.clearanceMm);
  minWidth_->setValue(rules.minWidthMm);
  minRing_->setValue(rules.minRingMm);
  edge_->setValue(rules.edgeMm);
  int match = int(presets_.size());  // Custom
  for (std::size_t i = 0; i < presets_.size(); ++i)
    if (sameValues(presets_[i].rules, rules)) match = int(i);
  preset_->setCurrentIndex(match);
  filling_ = false;
  refill();
}

CheckRules CheckBoardDialog::rules() const {
  return rules_;
}

void CheckBoardDialog::presetChosen(int index) {
  if (index < 0 || index >= int(presets_.size())) return;  // Custom keeps the values shown
  setRules(presets_[std::size_t(index)].rules);
}

void CheckBoardDialog::valueChanged() {
  if (filling_) return;
  rules_.clearanceMm = clearance_->value();
  rules_.minWidthMm = minWidth_->value();
  rules_.minRingMm = minRing_->value();
  rules_.edgeMm = edge_->value();
  setRules(rules_);
}

void CheckBoardDialog::refill() {
  filling_ = true;
  const std::vector<CheckFindingRow> rows =
      check_ ? check_(rules_) : std::vector<CheckFindingRow>();
  list_->clearContents();
  list_->setRowCount(int(rows.size()));
  for (int r = 0; r < int(rows.size()); ++r) {
    const CheckFindingRow& f = rows[std::size_t(r)];
    const QString cells[] = {f.kind, f.severity, f.layer, f.position, f.measured};
    for (int c = 0; c < 5; ++c) list_->setItem(r, c, new QTableWidgetItem(cells[c]));
  }
  list_->setCurrentCell(-1, -1);
  filling_ = false;
}

}  // namespace fw
