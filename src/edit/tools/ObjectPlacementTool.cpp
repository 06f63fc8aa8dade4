#include "edit/tools/ObjectPlacementTool.h"

#include <cstdio>
#include <filesystem>
#include <utility>

#include "edit/ToolSettings.h"
#include "edit/tools/ObjectOutline.h"
#include "files/ObjectFile.h"
#include "kicad/KicadFootprint.h"

namespace fw {

void ObjectPlacementTool::BitBtn15Click() {
  startEditObject();
  objectOpen();
}

void ObjectPlacementTool::startEditObject() {
  EditorState& s = ctx_.state;
  if (s.Placing) abandonPlacement();
  ctx_.controls.panel[2] = "Select Object to Edit";
  if (s.anythingSelected()) {
    s.clearSelections();
    ctx_.redraw();
  }
  applyToolControls(ctx_.controls, Tool::EditObject);
}

void ObjectPlacementTool::InsertObject1Click() {
  ctx_.state.SelectedObject = 0;
  const std::string status = ctx_.controls.panel[2];
  applyToolControls(ctx_.controls, Tool::EditObject);
  ctx_.controls.panel[2] = status;  // Insert Object leaves the status text as it was
  objectOpen();
}

void ObjectPlacementTool::placeObjectFile(const std::string& path) {
  ObjectData object;
  std::string reason;
  // A file that cannot be read is reported as Load Object reports it, and nothing changes.
  const bool readable = ReadObjectFile(path, object, reason);
  if (readable) {
    startEditObject();
    suspendFollowing();
    ctx_.state.ObjectFileName = path;
  }
  if (!readable || !startPlacing(object, reason)) {
    reportNotLoaded(reason);
    return;
  }
  imported_.reset();
}

// The outline is drawn again only once the window has repainted after the dialog.
void ObjectPlacementTool::suspendFollowing() {
  EditorState& s = ctx_.state;
  s.FollowSuspended = true;
  s.FloatX = 0;
  s.FloatY = 0;
}

void ObjectPlacementTool::objectOpen() {
  FileDialogRequest request;
  request.filter = "Kestroval Objects (*.kvo)|*.kvo";
  request.initialFolder = ctx_.objectsDir();
  suspendFollowing();
  const std::string path = ctx_.host.chooseOpenFile(request);
  if (path.empty()) return;
  ctx_.state.ObjectFileName = path;
  objectLoad();
}

bool ObjectPlacementTool::objectLoad() {
  ObjectData object;
  std::string reason;
  if (!ReadObjectFile(ctx_.state.ObjectFileName, object, reason) || !startPlacing(object, reason)) {
    reportNotLoaded(reason);
    return false;
  }
  imported_.reset();
  return true;
}

void ObjectPlacementTool::reportNotLoaded(const std::string& reason) {
  ctx_.controls.panel[2] = "Object not Loaded";
  ctx_.host.showError("Error in file name. Object not opened.\n" + reason);
}

bool ObjectPlacementTool::startPlacing(const ObjectData& object, std::string& reason) {
  if (!loadIntoFreeRows(ctx_.board, object, reason)) return false;
  EditorState& s = ctx_.state;
  s.FloatPinCount = static_cast<int32_t>(object.pins.size());
  s.FloatPointCount = static_cast<int32_t>(object.points.size());
  s.FloatTextCount = static_cast<int32_t>(object.texts.size());
  ctx_.controls.panel[2] = "Place Object. Right mouse to Stop.";
  s.Placing = true;
  // The top-left corner of the pins' box (or of the wires', or the texts') becomes the origin.
  const BoardObject rows = floatingRows(ctx_.board, s);
  const ObjectBox box = objectBox(ctx_.board, rows);
  moveObjectRows(ctx_.board, rows, -box.minX, -box.minY);
  return true;
}

bool ObjectPlacementTool::reloadFloating() {
  if (!imported_) return objectLoad();
  std::string reason;
  if (startPlacing(*imported_, reason)) return true;
  ctx_.controls.panel[2] = "Object not Loaded";
  ctx_.host.showError("Footprint not placed.\n" + reason);
  return false;
}

void ObjectPlacementTool::ImportKicadFootprint1Click() {
  startEditObject();
  FileDialogRequest request;
  request.caption = "Import KiCad Footprint";
  request.filter = "KiCad Footprints (*.kicad_mod)|*.kicad_mod";
  // Debian's kicad-footprints package, where it is installed.
  const char* const kicadLibraries = "/usr/share/kicad/footprints";
  std::error_code ec;
  request.initialFolder =
      std::filesystem::is_directory(kicadLibraries, ec) ? kicadLibraries : ctx_.objectsDir();
  suspendFollowing();
  const std::string path = ctx_.host.chooseOpenFile(request);
  if (path.empty()) return;

  ObjectData object;
  KicadImportReport report;
  if (!importKicadFootprintFile(path, false, object, report) && report.refusedForRounding) {
    char mm[16];
    std::snprintf(mm, sizeof mm, "%.3f", report.largestErrorMm);
    if (ctx_.host.askYesNo("Rounding to the 0.635 mm board unit moves a pad of " + report.name +
                           " by " + mm + " mm.\nImport it all the same?"))
      importKicadFootprintFile(path, true, object, report);
  }
  std::string reason = report.reason;
  if (report.refused || !startPlacing(object, reason)) {
    ctx_.controls.panel[2] = "Footprint not Imported";
    ctx_.host.showError("KiCad footprint not imported.\n" + reason);
    return;
  }
  imported_ = std::move(object);
}

void ObjectPlacementTool::updateFloatingObject() {
  EditorState& s = ctx_.state;
  if (!s.Placing || s.FloatMoved) return;
  const BoardPoint p = ctx_.view.snappedPointer();
  const auto j = static_cast<uint16_t>(p.x);
  const auto k = static_cast<uint16_t>(p.y);
  if ((j == s.FloatX && k == s.FloatY) || !View::acceptsPosition(j, k)) return;
  s.FloatMoved = true;
  const BoardObject rows = floatingRows(ctx_.board, s);
  if (s.FloatX > 0) drawObjectOutline(ctx_, rows, s.FloatX, s.FloatY);
  drawObjectOutline(ctx_, rows, j, k);
  s.FloatX = j;
  s.FloatY = k;
}

// The outline is erased where it stands; after a repaint (FloatX 0) nothing stands.
void ObjectPlacementTool::abandonPlacement() {
  EditorState& s = ctx_.state;
  if (s.Placing && s.FloatX > 0)
    drawObjectOutline(ctx_, floatingRows(ctx_.board, s), s.FloatX, s.FloatY);
  s.FloatX = 0;
  s.FloatMoved = false;
  s.Placing = false;
}

void ObjectPlacementTool::placeObjectPress(MouseButton button) {
  if (button == MouseButton::Right) return;
  Board& b = ctx_.board;
  EditorState& s = ctx_.state;
  const BoardPoint p = ctx_.view.snappedPointer();
  const BoardObject rows = floatingRows(b, s);
  if (!objectFitsOnBoard(b, rows, p.x, p.y)) {
    ctx_.controls.panel[2] = "Object does not fit on the board here";
    return;
  }
  const std::string description =
      b.ObjectDescriptions[static_cast<std::size_t>(b.ObjectCount)].str();
  if (!b.addObject(rows, description)) {
    ctx_.controls.panel[2] = "Object table full: object not placed";
    return;
  }
  moveObjectRows(b, rows, p.x, p.y);
  b.PinCount += s.FloatPinCount;
  b.WirePointCount += s.FloatPointCount;
  b.TextCount += s.FloatTextCount;
  // A fresh copy floats for the next press; a file that has become unreadable ends the
  // placement, so that stale rows are never placed.
  if (!reloadFloating()) s.Placing = false;
  ctx_.redraw();
}

}  // namespace fw
