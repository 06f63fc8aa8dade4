#include "print/PrintDestination.h"

#include <filesystem>

namespace fw {

PrintDestination choosePrintDestination(const PrintSetupChoice& setup, bool printerInstalled,
                                        const QPageLayout& defaultLayout,
                                        const std::string& suggestedPdf) {
  PrintDestination d;
  if (setup.made && setup.toPdf) {
    // The PDF of Print Setup is written whole or not at all, like a project file, on the paper
    // chosen there; a choice without a file name cannot be printed anywhere.
    if (setup.pdfFile.empty()) {
      d.kind = PrintDestination::Kind::Refused;
      d.error = "No PDF file was chosen in Print Setup.";
      return d;
    }
    d.kind = PrintDestination::Kind::PdfFile;
    d.pdfFile = setup.pdfFile;
    d.pdfLayout = setup.layout;
    return d;
  }
  // A printer confirmed in Print Setup is used even if the system lists none now: its own job
  // then reports the failure, as it would for a printer that went away.
  if (setup.made || printerInstalled) return d;
  d.kind = PrintDestination::Kind::AskForPdf;
  d.suggestedPdf = suggestedPdf;
  d.pdfLayout = defaultLayout;
  return d;
}

std::string suggestedPdfName(const std::string& projectsDir, const std::string& boardFile,
                             int layer) {
  const std::string name =
      boardFile.empty() ? std::string("board") : std::filesystem::path(boardFile).stem().string();
  return projectsDir + "/" + name + "-layer" + std::to_string(layer + 1) + ".pdf";
}

}  // namespace fw
