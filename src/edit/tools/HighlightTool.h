#pragma once

#include <cstdint>
#include <memory>

#include "check/Connectivity.h"
#include "edit/EditContext.h"

namespace fw {

// Highlight Connection: a press on a pad or a track lights up all the copper joined to it, on
// both layers, until the next press, Escape or another tool. It only looks: the board, the undo
// history and SavedFlag stay as they were.
class HighlightTool {
 public:
  // `boardChanges` is the undo history's count of events that changed the board; the
  // connectivity is built again only when it moved.
  HighlightTool(EditContext& ctx, const uint64_t& boardChanges)
      : ctx_(ctx), generation_(boardChanges) {}
  ~HighlightTool();

  void highlightPress();
  // Forgets the island; true when one was shown, so the caller repaints.
  bool clear();
  bool active() const { return shown_; }
  const Island& island() const { return island_; }
  // Draws the island over a fresh repaint; a board changed since the press drops it.
  void drawHighlight();
  // The connectivity of the board as it is now, with at least `detail`, built when the board
  // has changed or more detail is asked for.
  const Connectivity& connectivity(ConnectivityDetail detail = ConnectivityDetail::Islands);

 private:
  // The pad or track segment under the pointer, or an empty item (row -1).
  CopperItem itemAtPointer();

  EditContext& ctx_;
  const uint64_t& generation_;
  std::unique_ptr<Connectivity> connectivity_;
  uint64_t builtAt_ = 0;
  ConnectivityDetail builtDetail_ = ConnectivityDetail::Islands;
  int32_t builtPins_ = -1, builtPoints_ = -1, builtTexts_ = -1;
  bool shown_ = false;
  uint64_t shownAt_ = 0;
  Island island_;
};

}  // namespace fw
