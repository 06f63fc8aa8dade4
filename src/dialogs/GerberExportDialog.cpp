#include "dialogs/GerberExportDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

namespace fw {

namespace {

constexpr int kRows = kFabPadRows;

QString millimetres(double um) {
  return QString::number(um / 1000.0, 'f', 2);
}

}  // namespace

QString padSizeCaption(int row) {
  return row >= 0 && row < kRows ? QString::fromStdString(fabPadSizeLabel(row) + " mm") : QString();
}

double padSizeUm(int row) {
  return double(fabPadSizeNm(row)) / 1000.0;
}

int firstThinRingRow(const FabOptions& options) {
  for (int row = 0; row < kRows; ++row)
    if (fabRingNm(options, row) < kMinRingUm * 1000LL) return row;
  return -1;
}

GerberExportDialog::GerberExportDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("GerberExportDialog"));
  setWindowTitle(QStringLiteral("Export Gerber"));

  folderEdit_ = new QLineEdit(this);
  folderEdit_->setObjectName(QStringLiteral("FolderEdit"));
  folderEdit_->setMinimumWidth(320);  // a whole path in sight
  browseButton_ = new QPushButton(QStringLiteral("Browse..."), this);
  browseButton_->setObjectName(QStringLiteral("BrowseButton"));
  browseButton_->setAutoDefault(false);
  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(folderEdit_, 1);
  folderRow->addWidget(browseButton_);

  holeTable_ = new QTableWidget(kRows, 2, this);
  holeTable_->setObjectName(QStringLiteral("HoleTable"));
  holeTable_->setHorizontalHeaderLabels({QStringLiteral("Pad size"), QStringLiteral("Hole (mm)")});
  holeTable_->verticalHeader()->setVisible(false);
  holeTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  holeTable_->setSelectionMode(QAbstractItemView::SingleSelection);
  for (int row = 0; row < kRows; ++row) {
    auto* pad = new QTableWidgetItem(padSizeCaption(row));
    pad->setFlags(Qt::ItemIsEnabled);  // the pad sizes are fixed; only holes are edited
    holeTable_->setItem(row, 0, pad);
    holeTable_->setItem(row, 1, new QTableWidgetItem);
  }
  holeTable_->resizeRowsToContents();
  int tableHeight =
      holeTable_->horizontalHeader()->sizeHint().height() + 2 * holeTable_->frameWidth();
  for (int row = 0; row < kRows; ++row) tableHeight += holeTable_->rowHeight(row);
  holeTable_->setMinimumHeight(tableHeight);

  maskSpin_ = new QDoubleSpinBox(this);
  maskSpin_->setObjectName(QStringLiteral("MaskExpansion"));
  maskSpin_->setRange(0.0, 1.0);
  maskSpin_->setSingleStep(0.01);
  maskSpin_->setDecimals(2);
  maskSpin_->setSuffix(QStringLiteral(" mm"));

  protelBox_ = new QCheckBox(QStringLiteral("Protel file names (.GTL, .GBL ...)"), this);
  protelBox_->setObjectName(QStringLiteral("ProtelBox"));
  zipBox_ = new QCheckBox(QStringLiteral("Pack into NAME-gerber.zip"), this);
  zipBox_->setObjectName(QStringLiteral("ZipBox"));

  auto* buttons = new QDialogButtonBox(this);
  exportButton_ = buttons->addButton(QStringLiteral("Export"), QDialogButtonBox::AcceptRole);
  exportButton_->setObjectName(QStringLiteral("ExportButton"));
  exportButton_->setDefault(true);
  cancelButton_ = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  cancelButton_->setObjectName(QStringLiteral("CancelButton"));

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Folder:"), folderRow);
  form->addRow(QStringLiteral("Solder mask expansion:"), maskSpin_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(new QLabel(QStringLiteral("Finished hole for each pad size:"), this));
  layout->addWidget(holeTable_, 1);
  layout->addWidget(protelBox_);
  layout->addWidget(zipBox_);
  layout->addWidget(buttons);

  connect(browseButton_, &QPushButton::clicked, this, &GerberExportDialog::browse);
  connect(exportButton_, &QPushButton::clicked, this, &GerberExportDialog::exportClicked);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  setChoice(std::string(), FabOptions());
}

void GerberExportDialog::setChoice(const std::string& folder, const FabOptions& options) {
  shown_ = options;
  folderEdit_->setText(QString::fromStdString(folder));
  // Shown with two decimals, as the pad sizes beside them ("1.00", not "1").
  for (int row = 0; row < kRows; ++row)
    holeTable_->item(row, 1)->setData(Qt::EditRole, millimetres(options.holeUm[std::size_t(row)]));
  maskSpin_->setValue(options.maskExpansionUm / 1000.0);
  protelBox_->setChecked(options.protel);
  zipBox_->setChecked(options.zip);
}

std::string GerberExportDialog::folder() const {
  return folderEdit_->text().trimmed().toStdString();
}

FabOptions GerberExportDialog::options() const {
  FabOptions o = shown_;
  for (int row = 0; row < kRows; ++row) {
    bool ok = false;
    const double mm = holeTable_->item(row, 1)->data(Qt::EditRole).toDouble(&ok);
    if (ok && std::isfinite(mm)) o.holeUm[std::size_t(row)] = int(std::lround(mm * 1000.0));
  }
  o.maskExpansionUm = int(std::lround(maskSpin_->value() * 1000.0));
  o.protel = protelBox_->isChecked();
  o.zip = zipBox_->isChecked();
  return o;
}

void GerberExportDialog::browse() {
  // Qt's own folder dialog, kept smaller than the main window so that the board stays in
  // sight around it (the desktop's native one opens nearly as large as the screen).
  QFileDialog dialog(this, QStringLiteral("Export Gerber"), folderEdit_->text());
  dialog.setObjectName(QStringLiteral("BrowseFolderDialog"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.resize(560, 380);
  if (dialog.exec() != QDialog::Accepted) return;
  const QStringList chosen = dialog.selectedFiles();
  if (!chosen.isEmpty()) folderEdit_->setText(chosen.first());
}

bool GerberExportDialog::checkChoice(QString& reason) const {
  if (folder().empty()) {
    reason = QStringLiteral("Choose the folder the Gerber files go into.");
    return false;
  }
  for (int row = 0; row < kRows; ++row) {
    bool ok = false;
    const double mm = holeTable_->item(row, 1)->data(Qt::EditRole).toDouble(&ok);
    if (!ok || !std::isfinite(mm) || mm <= 0.0) {
      reason = QStringLiteral("The hole of the %1 pads must be a size in mm larger than 0.")
                   .arg(padSizeCaption(row));
      return false;
    }
  }
  const int thin = firstThinRingRow(options());
  if (thin >= 0) {
    reason = QStringLiteral(
                 "The hole of the %1 pads leaves less than %2 mm of copper around it; make it "
                 "at most %3 mm.")
                 .arg(padSizeCaption(thin), millimetres(kMinRingUm),
                      millimetres(padSizeUm(thin) - 2 * kMinRingUm));
    return false;
  }
  return true;
}

void GerberExportDialog::exportClicked() {
  QString reason;
  if (!checkChoice(reason)) {
    QMessageBox::warning(this, windowTitle(), reason);
    return;
  }
  accept();
}

bool runGerberExportDialog(QWidget* parent, std::string& folder, FabOptions& options) {
  GerberExportDialog dialog(parent);
  dialog.setChoice(folder, options);
  if (dialog.exec() != QDialog::Accepted) return false;
  folder = dialog.folder();
  options = dialog.options();
  return true;
}

}  // namespace fw
