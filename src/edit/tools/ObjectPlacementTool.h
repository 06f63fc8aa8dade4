#pragma once

#include <optional>
#include <string>

#include "edit/EditContext.h"
#include "files/ObjectFile.h"

namespace fw {

// Placing copies of an object file: the floating object waits in the free rows past the counts
// with its pins' top-left corner at the origin, follows the pointer as an inverted outline, and
// each left or middle press puts a copy down; the right press ends the placement.
class ObjectPlacementTool {
 public:
  explicit ObjectPlacementTool(EditContext& ctx) : ctx_(ctx) {}

  // Load Object (BitBtn15) and File > Insert Object...: Edit Object becomes the tool and the
  // object open dialog asks for the file.
  void BitBtn15Click();
  void InsertObject1Click();
  // The library panel's double-click: Load Object with the file already chosen. A file that
  // cannot be read is reported as Load Object reports it, and nothing else changes.
  void placeObjectFile(const std::string& path);
  // File > Import KiCad Footprint...: Edit Object becomes the tool, a .kicad_mod is chosen,
  // imported and placed as a loaded object is. A footprint refused only for its rounding may be
  // accepted on the question; every other refusal is shown as an error.
  void ImportKicadFootprint1Click();

  // Puts `object` into the free rows, moved to its origin, as the floating object. False with
  // the reason when it does not fit in the free rows; nothing is changed then.
  bool startPlacing(const ObjectData& object, std::string& reason);

  // Edit Object press while an object is being placed: puts a copy down.
  void placeObjectPress(MouseButton button);
  // The floating object follows the pointer, at most once per pointer event.
  void updateFloatingObject();
  // Ends the placement and erases the outline that stands on screen.
  void abandonPlacement();

 private:
  // Load Object's first steps: ends a placement, clears the selection, Edit Object tool.
  void startEditObject();
  void objectOpen();
  // Reads ObjectFileName into the free rows and moves it to its origin; false (reported) when
  // the file cannot be read.
  bool objectLoad();
  // The next copy after a press: from the file again, or from the imported footprint.
  bool reloadFloating();
  // Load Object's report of a file it could not load.
  void reportNotLoaded(const std::string& reason);
  // The outline follows the pointer again only once the window has repainted after a dialog.
  void suspendFollowing();

  EditContext& ctx_;
  // The footprint being placed when it came from an import rather than an object file.
  std::optional<ObjectData> imported_;
};

}  // namespace fw
