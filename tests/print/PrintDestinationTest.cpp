// Where Print sends its page, decided from what Print Setup left and whether any printer is
// installed, and the PDF name Print and Print Setup offer.
#include <gtest/gtest.h>

#include <QPageSize>

#include "print/PrintDestination.h"

namespace fw {
namespace {

TEST(PrintDestination, SetupPdfThenSetupPrinterThenDefaultPrinterThenAskForAPdf) {
  using Kind = PrintDestination::Kind;
  const QPageLayout letter(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF());
  const QPageLayout a5(QPageSize(QPageSize::A5), QPageLayout::Landscape, QMarginsF(5, 5, 5, 5));
  struct Case {
    const char* name;
    bool made, toPdf;
    const char* pdfFile;
    bool installed;
    Kind kind;
    const char* file;  // pdfFile for PdfFile, suggestedPdf for AskForPdf
    bool setupLayout;  // the PDF page is Print Setup's paper, else the default printer's
  };
  const Case cases[] = {
      {"no setup, a printer", false, false, "", true, Kind::Printer, "", false},
      {"no setup, no printer", false, false, "", false, Kind::AskForPdf, "/p/amp-layer2.pdf",
       false},
      {"setup printer", true, false, "", true, Kind::Printer, "", false},
      {"setup printer gone", true, false, "", false, Kind::Printer, "", false},
      {"setup pdf", true, true, "/tmp/out.pdf", true, Kind::PdfFile, "/tmp/out.pdf", true},
      {"setup pdf, no printer", true, true, "/tmp/out.pdf", false, Kind::PdfFile, "/tmp/out.pdf",
       true},
      {"setup pdf without a file", true, true, "", false, Kind::Refused, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PrintSetupChoice setup;
    setup.made = c.made;
    setup.toPdf = c.toPdf;
    setup.pdfFile = c.pdfFile;
    setup.layout = a5;
    const PrintDestination d =
        choosePrintDestination(setup, c.installed, letter, "/p/amp-layer2.pdf");
    EXPECT_EQ(d.kind, c.kind);
    EXPECT_EQ(c.kind == Kind::Refused, !d.error.empty()) << d.error;
    EXPECT_EQ(c.kind == Kind::AskForPdf ? d.suggestedPdf : d.pdfFile, c.file);
    if (c.kind == Kind::PdfFile || c.kind == Kind::AskForPdf) {
      EXPECT_TRUE(d.pdfLayout.isEquivalentTo(c.setupLayout ? a5 : letter));
    }
  }
}

TEST(PrintDestination, TheOfferedPdfIsNamedAfterTheBoardAndTheLayer) {
  EXPECT_EQ(suggestedPdfName("/prog/projects", "/somewhere/amp.kvd", 1),
            "/prog/projects/amp-layer2.pdf");
  EXPECT_EQ(suggestedPdfName("/prog/projects", "", 0), "/prog/projects/board-layer1.pdf");
  EXPECT_EQ(suggestedPdfName("/prog/projects", "/a.b/amp.v2.kvd", 3),
            "/prog/projects/amp.v2-layer4.pdf");
}

}  // namespace
}  // namespace fw
