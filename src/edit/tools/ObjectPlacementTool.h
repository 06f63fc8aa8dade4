#pragma once

#include <string>

#include "edit/EditContext.h"

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

  EditContext& ctx_;
};

}  // namespace fw
