#pragma once

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

  // Edit Object press while an object is being placed: puts a copy down.
  void placeObjectPress(MouseButton button);
  // The floating object follows the pointer, at most once per pointer event.
  void updateFloatingObject();
  // Ends the placement and erases the outline that stands on screen.
  void abandonPlacement();

 private:
  void objectOpen();
  // Reads ObjectFileName into the free rows and moves it to its origin; false (reported) when
  // the file cannot be read.
  bool objectLoad();

  EditContext& ctx_;
};

}  // namespace fw
