#include "app/QtHost.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStringList>
#include <algorithm>
#include <filesystem>

#include "app/GerberExportSettings.h"
#include "app/Settings.h"
#include "dialogs/CheckBoardDialog.h"
#include "dialogs/FrameSizeDialog.h"
#include "dialogs/GerberExportDialog.h"
#include "dialogs/InfoDialog.h"
#include "dialogs/PrintBoardDialog.h"
#include "dialogs/TextOptionsDialog.h"
#include "files/FileIo.h"
#include "print/PrintDestination.h"
#include "print/PrintRoutine.h"

namespace fw {

namespace {
QString toQString(const std::string& s) {
  return QString::fromStdString(s);
}
QString messageTitle() {
  return QCoreApplication::applicationName();
}
}  // namespace

QtHost::QtHost(QWidget* window) : window_(window) {}
QtHost::~QtHost() = default;

void QtHost::showError(const std::string& text) {
  QMessageBox::critical(window_, messageTitle(), toQString(text), QMessageBox::Ok);
}

namespace {
bool askYesNoWith(QWidget* window, QMessageBox::Icon icon, const std::string& text) {
  QMessageBox box(icon, messageTitle(), toQString(text), QMessageBox::Yes | QMessageBox::No,
                  window);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}
}  // namespace

bool QtHost::askYesNo(const std::string& text) {
  return askYesNoWith(window_, QMessageBox::Warning, text);
}

bool QtHost::askConfirmation(const std::string& text) {
  return askYesNoWith(window_, QMessageBox::Question, text);
}

bool QtHost::askText(const std::string& caption, const std::string& prompt, std::string& answer) {
  bool ok = false;
  const QString text = QInputDialog::getText(window_, toQString(caption), toQString(prompt),
                                             QLineEdit::Normal, QString(), &ok);
  // UTF-8, as every string of the host; the editor turns it into the files' Latin-1 where it
  // stores it.
  if (ok) answer = text.toStdString();
  return ok;
}

QString QtHost::qtFilter(const std::string& filter) {
  const QString text = toQString(filter);
  if (!text.contains(QLatin1Char('|'))) return text;
  // Pairs of description and pattern; the description is what the user sees. Qt filters by
  // the parenthesised group at the end of a description, so the patterns are added unless the
  // description already ends with them ("Kestroval (kvd)" would otherwise filter by "kvd").
  const QStringList parts = text.split(QLatin1Char('|'));
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
    if (!description.endsWith("(" + patterns + ")")) description += " (" + patterns + ")";
    filters << description;
  }
  return filters.join(QStringLiteral(";;"));
}

// The file and folder dialogs are Qt's own, not the desktop's. Nothing redraws or drops the
// board while one is open: the drawing area's paints only copy the canvas, which keeps the
// board. What hid it was the dialog itself: the desktop's native file dialog (GTK's, chosen by
// the platform theme) opens at nearly the size of the screen and covers the whole drawing area
// until it closes, so the user saw no board behind Export Gerber's folder dialog or Print's
// PDF file dialog. Qt's dialog opens at a moderate size over the middle of the window.
void QtHost::keepBoardInSight(QFileDialog& dialog) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.resize(kFileDialogSize);
}

std::string QtHost::runFileDialog(const FileDialogRequest& request, bool save) {
  QFileDialog dialog(window_, toQString(request.caption), toQString(request.initialFolder),
                     qtFilter(request.filter));
  keepBoardInSight(dialog);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // Saving over an existing file asks first (Qt's default for save dialogs, stated here).
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  if (!request.defaultExtension.empty())
    dialog.setDefaultSuffix(toQString(request.defaultExtension));
  if (!request.suggestedName.empty()) dialog.selectFile(toQString(request.suggestedName));
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList files = dialog.selectedFiles();
  return files.isEmpty() ? std::string() : files.first().toStdString();
}

std::string QtHost::chooseOpenFile(const FileDialogRequest& request) {
  return runFileDialog(request, false);
}

std::string QtHost::chooseSaveFile(const FileDialogRequest& request) {
  return runFileDialog(request, true);
}

std::string QtHost::chooseFolder(const FileDialogRequest& request) {
  QFileDialog dialog(window_, toQString(request.caption), toQString(request.initialFolder));
  keepBoardInSight(dialog);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList folders = dialog.selectedFiles();
  return folders.isEmpty() ? std::string() : folders.first().toStdString();
}

bool QtHost::editFrameSize(int& width, int& height) {
  return runFrameSizeDialog(window_, width, height);
}

bool QtHost::editTextOptions(std::string& text, int& size) {
  return runTextOptionsDialog(window_, text, size);
}

bool QtHost::askPrintSettings(PrintSettings& settings) {
  return runPrintBoardDialog(window_, settings);
}

namespace {

// Where the Check Board rules are kept, and the four values by their keys.
constexpr const char* kRuleKeys[] = {"check/clearanceMm", "check/minWidthMm", "check/minRingMm",
                                     "check/edgeMm"};
double* ruleValue(CheckRules& r, int i) {
  double* values[] = {&r.clearanceMm, &r.minWidthMm, &r.minRingMm, &r.edgeMm};
  return values[i];
}

QString millimetres(double mm) {
  return QString::number(mm, 'f', 2) + QStringLiteral(" mm");
}

CheckFindingRow findingRow(const Finding& f) {
  CheckFindingRow row;
  row.kind = QString::fromLatin1(findingKindName(f.kind));
  row.severity = QString::fromLatin1(severityName(f.severity));
  row.layer = QString::fromLatin1(findingLayerName(f.layer));
  row.position = QString::number(f.xMm, 'f', 2) + QStringLiteral(", ") +
                 QString::number(f.yMm, 'f', 2) + QStringLiteral(" mm");
  if (f.hasValues)
    row.measured = millimetres(f.measuredMm) + QStringLiteral(" (") + millimetres(f.requiredMm) +
                   QStringLiteral(")");
  return row;
}

}  // namespace

void QtHost::loadCheckRules(CheckRules& rules) {
  QSettings settings = programSettings();
  for (int i = 0; i < 4; ++i) {
    bool ok = false;
    const double v = settings.value(QString::fromLatin1(kRuleKeys[i])).toDouble(&ok);
    if (ok && v >= 0 && v <= 10) *ruleValue(rules, i) = v;
  }
}

void QtHost::storeCheckRules(const CheckRules& rules) {
  QSettings settings = programSettings();
  CheckRules r = rules;
  for (int i = 0; i < 4; ++i)
    settings.setValue(QString::fromLatin1(kRuleKeys[i]), *ruleValue(r, i));
}

bool QtHost::loadDragConnectedTracks() {
  QSettings settings = programSettings();
  return settings.value(QStringLiteral("dragConnectedTracks"), false).toBool();
}

void QtHost::storeDragConnectedTracks(bool on) {
  QSettings settings = programSettings();
  settings.setValue(QStringLiteral("dragConnectedTracks"), on);
}

void QtHost::showCheckBoard(CheckBoardSession& session) {
  std::vector<CheckBoardDialog::Preset> presets;
  for (const RulePreset& p : rulePresets())
    presets.push_back({QString::fromLatin1(p.name), p.rules});
  std::vector<Finding> findings;
  CheckBoardDialog dialog(
      std::move(presets),
      [&](const CheckRules& rules) {
        findings = session.check(rules);
        std::vector<CheckFindingRow> rows;
        for (const Finding& f : findings) rows.push_back(findingRow(f));
        return rows;
      },
      [&](int row) {
        if (row < 0 || row >= int(findings.size())) return;
        session.showFinding(findings[std::size_t(row)]);
        if (boardChanged_) boardChanged_();
      },
      window_);
  dialog.setRules(session.rules);
  // A chosen finding is scrolled to the middle of the drawing area and marked there, so the
  // list stands at the window's right edge, clear of the middle.
  if (window_) {
    dialog.adjustSize();
    const QRect frame = window_->frameGeometry();
    dialog.move(frame.right() - dialog.frameGeometry().width() - 8, frame.top() + 120);
  }
  dialog.exec();
  session.rules = dialog.rules();
  storeCheckRules(session.rules);
}

bool QtHost::askGerberExport(GerberExportChoice& choice) {
  GerberExportChoice shown = choice;
  GerberExportSettings::load(shown);
  if (!runGerberExportDialog(window_, shown.folder, shown.options)) return false;
  GerberExportSettings::store(shown);
  choice = shown;
  return true;
}

void QtHost::showInformation(const InfoCounts& counts) {
  runInfoDialog(window_, counts);
}

void QtHost::showAbout() {
  if (about_) about_->exec();
}

void QtHost::setLineMethodsMenu(QMenu* menu, QWidget* button) {
  lineMethodsMenu_ = menu;
  lineMethodsButton_ = button;
}

void QtHost::setDotMethodsMenu(QMenu* menu, QWidget* button) {
  dotMethodsMenu_ = menu;
  dotMethodsButton_ = button;
}

void QtHost::popUpBelow(QMenu* menu, QWidget* button) {
  if (!menu || !button) return;
  const QPoint corner = button->mapToGlobal(QPoint(button->width(), button->height()));
  menu->popup(QPoint(corner.x() - menu->sizeHint().width(), corner.y()));
}

void QtHost::showLineMethodsMenu() {
  popUpBelow(lineMethodsMenu_, lineMethodsButton_);
}

void QtHost::showDotMethodsMenu() {
  popUpBelow(dotMethodsMenu_, dotMethodsButton_);
}

}  // namespace fw

namespace fw {

// A confirmed choice is kept for Print...; a cancelled one leaves the earlier choice, or none.
void QtHost::showPrintSetup(const std::string& suggestedPdf) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (printer_) {
    printer->setPrinterName(printer_->printerName());
    printer->setOutputFormat(printer_->outputFormat());
    printer->setOutputFileName(printer_->outputFileName());
    printer->setPageLayout(printer_->pageLayout());
  }
  QPrintDialog dialog(printer.get(), window_);
  dialog.setWindowTitle(QStringLiteral("Print Setup"));
  offerPdfName(dialog, *printer, suggestedPdf);
  if (dialog.exec() == QDialog::Accepted) printer_ = std::move(printer);
}

// Qt's print dialog offers print.pdf in the home folder for "Print to File (PDF)" when the
// printer holds no file name yet. Print offers projects/NAME-layerN.pdf, so Print Setup offers
// the same. The name goes into the dialog's file field only: giving it to the printer instead
// would switch the printer to PDF output and preselect PDF over a real printer. A file name
// chosen earlier in Print Setup stays what the field shows. The field is the Qt dialog's own
// "filename" line edit; should a Qt release name it otherwise, Qt's default is left (and
// QtHostTest says so).
void QtHost::offerPdfName(QPrintDialog& dialog, const QPrinter& printer,
                          const std::string& suggestedPdf) {
  if (suggestedPdf.empty() || !printer.outputFileName().isEmpty()) return;
  if (auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("filename")))
    field->setText(QFile::decodeName(QByteArray::fromStdString(suggestedPdf)));
}

namespace {

// The page drawn with the given page layout into memory, then written as a project file is, so
// a failure never leaves the previous file half overwritten.
bool printToPdfFile(const std::string& path, const QPageLayout& layout, const Board& board,
                    const PrintSettings& settings, int zoomLevel, std::string& error) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  if (!printToPdf(buffer, layout, board, settings, zoomLevel)) {
    error = "The PDF page could not be drawn.";
    return false;
  }
  const QByteArray& bytes = buffer.data();
  return replaceFile(path, reinterpret_cast<const uint8_t*>(bytes.constData()),
                     static_cast<std::size_t>(bytes.size()), error);
}

}  // namespace

// Where the page goes is choosePrintDestination's rule; the host asks the system whether a
// printer is installed, shows the file dialog when a PDF is to be asked for, and hands the page
// to the PDF writer or the printer.
bool QtHost::printBoard(const Board& board, const PrintSettings& settings, int zoomLevel,
                        const std::string& suggestedPdf, std::string& error) {
  PrintSetupChoice setup;
  if (printer_) {
    setup.made = true;
    setup.toPdf = printer_->outputFormat() == QPrinter::PdfFormat;
    setup.pdfFile = QFile::encodeName(printer_->outputFileName()).toStdString();
    setup.layout = printer_->pageLayout();
  }
  // Without Print Setup the job goes to a printer as Qt sets it up by default: the system's
  // default printer, with its paper; a PDF asked for gets that printer's page too.
  std::unique_ptr<QPrinter> fallback;
  if (!printer_) fallback = std::make_unique<QPrinter>(QPrinter::HighResolution);
  QPrinter* printer = printer_ ? printer_.get() : fallback.get();
  const PrintDestination destination = choosePrintDestination(
      setup, !QPrinterInfo::availablePrinters().isEmpty(), printer->pageLayout(), suggestedPdf);
  const int dpi = kPrintDpiTable[std::clamp(settings.dpiIndex, 0, 4)];
  // A board larger than the paper is printed only when the user wants the part that fits.
  const auto wholeOrAccepted = [&](const QPageLayout& layout) {
    const std::string cut =
        artworkCutOff(board, settings, layout.paintRectPixels(dpi).size(), zoomLevel);
    return cut.empty() || askYesNo(cut + "\nPrint it all the same?");
  };
  const QPageLayout& page = destination.kind == PrintDestination::Kind::Printer
                                ? printer->pageLayout()
                                : destination.pdfLayout;
  if (destination.kind != PrintDestination::Kind::Refused && !wholeOrAccepted(page)) {
    error.clear();  // the user's own choice, as a cancelled file dialog
    return false;
  }

  switch (destination.kind) {
    case PrintDestination::Kind::Refused:
      error = destination.error;
      return false;
    case PrintDestination::Kind::PdfFile:
      return printToPdfFile(destination.pdfFile, destination.pdfLayout, board, settings, zoomLevel,
                            error);
    case PrintDestination::Kind::AskForPdf: {
      FileDialogRequest request;
      request.caption = "Print to PDF";
      request.filter = "PDF files (*.pdf)";
      request.defaultExtension = "pdf";
      request.initialFolder =
          std::filesystem::path(destination.suggestedPdf).parent_path().string();
      request.suggestedName = destination.suggestedPdf;
      const std::string path = chooseSaveFile(request);
      if (path.empty()) {
        error.clear();
        return false;
      }
      return printToPdfFile(path, destination.pdfLayout, board, settings, zoomLevel, error);
    }
    case PrintDestination::Kind::Printer:
      break;
  }
  printer->setResolution(dpi);
  QPainter painter;
  if (!painter.begin(printer)) {
    error = "The printer " + printer->printerName().toStdString() + " could not start the job.";
    return false;
  }
  const QSize area = printer->pageLayout().paintRectPixels(dpi).size();
  fw::printBoard(painter, area, board, settings, zoomLevel);
  const bool ended = painter.end();
  if (!ended || printer->printerState() == QPrinter::Error) {
    error = "The print job failed while it was drawn.";
    return false;
  }
  return true;
}

}  // namespace fw
