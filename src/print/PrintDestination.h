#pragma once

#include <QPageLayout>
#include <string>

namespace fw {

// Where File > Print... sends its page. The rule lives here, apart from the dialogs: the host
// only asks the system whether a printer is installed, shows the file dialog when the rule says
// so, and hands the page to the printer or the PDF writer.

// What Print Setup left behind, if it was ever confirmed.
struct PrintSetupChoice {
  bool made = false;    // Print Setup was confirmed at least once
  bool toPdf = false;   // it chose "Print to File (PDF)" rather than a printer
  std::string pdfFile;  // the file it chose then, in the local file name encoding
  QPageLayout layout;   // the paper it chose
};

struct PrintDestination {
  enum class Kind {
    Printer,    // the printer of Print Setup, or the system's default printer
    PdfFile,    // the PDF file of Print Setup: pdfFile
    AskForPdf,  // no printer at all: a save dialog asks for the file, offering suggestedPdf
    Refused,    // Print Setup chose a PDF but no file name: error says so
  };
  Kind kind = Kind::Printer;
  std::string pdfFile;
  std::string suggestedPdf;
  QPageLayout pdfLayout;  // the page a PDF is drawn on (PdfFile and AskForPdf)
  std::string error;
};

// A PDF chosen in Print Setup wins; then the printer of Print Setup; with no Print Setup the
// system's default printer; and only when no printer is installed at all a PDF file is asked
// for, on the page an unconfigured printer would have (`defaultLayout`).
PrintDestination choosePrintDestination(const PrintSetupChoice& setup, bool printerInstalled,
                                        const QPageLayout& defaultLayout,
                                        const std::string& suggestedPdf);

// The PDF file offered for a print: projectsDir/NAME-layerN.pdf, NAME the board file's name
// without its extension ("board" for a board never saved), N the layer item plus one.
std::string suggestedPdfName(const std::string& projectsDir, const std::string& boardFile,
                             int layer);

}  // namespace fw
