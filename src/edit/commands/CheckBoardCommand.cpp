#include "edit/commands/CheckBoardCommand.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace fw {

namespace {

// The marker's colour and size in pixels: a yellow circle with a cross, drawn over the board
// after the repaint, so the next repaint takes it away.
const QColor kMarkerColor(255, 255, 0);
constexpr int kMarkerRadius = 12;

// The board position of a point of the Gerber frame: the frame mapping is linear, so its value
// at two positions gives its inverse.
int boardPosition(double nm, double at0, double at1) {
  return int(std::lround((nm - at0) / (at1 - at0)));
}

}  // namespace

void CheckBoardCommand::CheckBoard1Click() {
  CheckBoardSession session;
  session.rules = rules;
  session.check = [this](const CheckRules& r) {
    rules = r;
    return findings();
  };
  session.showFinding = [this](const Finding& f) { showFinding(f); };
  ctx_.host.showCheckBoard(session);
  rules = session.rules;
  ctx_.redraw();  // the marker goes with the dialog
}

std::vector<Finding> CheckBoardCommand::findings() {
  return checkBoard(connectivity_(), rules);
}

int CheckBoardCommand::errorCount() {
  const std::vector<Finding> all = findings();
  return int(std::count_if(all.begin(), all.end(),
                           [](const Finding& f) { return f.severity == Severity::Error; }));
}

void CheckBoardCommand::showFinding(const Finding& finding) {
  const CopperMap& copper = connectivity_().copper();
  const int bx = boardPosition(finding.xMm * 1e6, copper.frameX(0), copper.frameX(1));
  const int by = boardPosition(finding.yMm * 1e6, copper.frameY(0), copper.frameY(1));
  // As Pan Object does for a press at the finding's pixel: the nearest grid step to the middle.
  View& v = ctx_.view;
  const int s = v.pxPerGrid();
  const int px = v.toWindowX(bx), py = v.toWindowY(by) - kBoardAreaTop;
  v.scrollX = clampInt((v.scrollX * s + px + s / 2 - v.W / 2) / s, 0, kScrollMaxX);
  v.scrollY =
      clampInt((v.scrollY * s + py + s / 2 + kBoardAreaTop / 2 - (v.H - kBoardAreaTop) / 2) / s, 0,
               kScrollMaxY);
  ctx_.redraw();

  Canvas& c = ctx_.canvas;
  const int x = v.toWindowX(bx), y = v.toWindowY(by);
  c.setRasterMode(RasterMode::Copy);
  c.setPenStyle(PenStyle::Solid);
  c.setPenColor(kMarkerColor);
  c.setPenWidth(2);
  c.setBrushStyle(BrushStyle::Clear);
  c.ellipse(x - kMarkerRadius, y - kMarkerRadius, x + kMarkerRadius, y + kMarkerRadius);
  c.moveTo(x - kMarkerRadius - 6, y);
  c.lineTo(x + kMarkerRadius + 7, y);
  c.moveTo(x, y - kMarkerRadius - 6);
  c.lineTo(x, y + kMarkerRadius + 7);
  c.setPenWidth(1);
  char text[96];
  std::snprintf(text, sizeof text, "%s, %s at %.2f, %.2f mm", findingKindName(finding.kind),
                findingLayerName(finding.layer), finding.xMm, finding.yMm);
  ctx_.controls.panel[2] = text;
}

}  // namespace fw
