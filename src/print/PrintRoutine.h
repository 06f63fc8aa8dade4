#pragma once

#include <QIODevice>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QRect>
#include <QSize>
#include <string>

#include "board/Board.h"
#include "print/PrintSettings.h"

namespace fw {

// The print routine: one layer of the board as black-on-white artwork in printer dots. It
// draws the same on a printer, a PDF page and an image; only how the page gets mirrored
// differs (see Mirroring).

// Whether the board holds anything to print at all.
bool boardHasMaterial(const Board& board);

// A length in 1/360 inch as printer dots at the settings' scale and resolution, truncating in
// the order (q * scale / 100) * dpi / 360.
int PrintUnits(int q, const PrintSettings& settings);

// The point size a text of the given size prints at: ((size & 63) * scale / 208) * dpi / 360.
int printTextPoints(int size, const PrintSettings& settings);

enum class Mirroring {
  Transform,  // the painter mirrors the page: printers and PDF
  None,       // the caller mirrors the finished picture itself, pixel for pixel
};

// Draws the artwork on `painter`, whose device has the settings' resolution and whose (0, 0)
// is the printable area's corner; `area` is the printable area in dots. The top-left pin's
// centre lands 20 dots in from the corner, unless the artwork of any layer would then reach past
// the left or top edge: then everything moves right and down by just enough, the same for every
// layer, so that the layers' prints stay in register. Texts, then wires, then pins, then the
// frame marks; with the additions, the negative ground first and the ruler last. zoomLevel is the
// screen's, which sets the pen of graphic pin rings.
void printBoard(QPainter& painter, QSize area, const Board& board, const PrintSettings& settings,
                int zoomLevel, Mirroring mirroring = Mirroring::Transform);

// The whole page as an image, one pixel per dot, white where nothing is printed; the page's
// corner is the printable area's. Used for PNG output and by tests.
QImage printToImage(const Board& board, const PrintSettings& settings, QSize pageDots,
                    int zoomLevel);

// The artwork on one PDF page of vector shapes with the given page layout, at the settings'
// resolution, written to `device`. False when the page cannot be started or finished.
bool printToPdf(QIODevice& device, const QPageLayout& layout, const Board& board,
                const PrintSettings& settings, int zoomLevel);

// The chosen layer's artwork box in dots where the page puts it (before mirroring), grown by 2 mm
// on each side: where a negative print swaps black and white. Empty for a board with nothing to
// print.
QRect negativeArea(const Board& board, const PrintSettings& settings, int zoomLevel);

// Whether the page cuts off some of the chosen layer's artwork (with its ruler): the words for
// it when the artwork reaches past the right or bottom edge of a printable area `area` dots wide
// and high ("The artwork reaches 12.3 mm past the right edge of the printable area and is cut
// off there."), empty when all of it lands on the page.
std::string artworkCutOff(const Board& board, const PrintSettings& settings, QSize area,
                          int zoomLevel);

}  // namespace fw
