#pragma once

#include <cstdint>
#include <string>

namespace fw {

constexpr int32_t kNoWire = 30000;       // WireLastX, RubberAnchorX, RubberEndX: none
constexpr uint16_t kNoPreview = 0x4000;  // DragPrevX: no drag preview on screen

enum DragKindValue : uint16_t {
  kDragNone = 0,
  kDragPin = 1,
  kDragPoint = 2,
  kDragText = 3,
  kDragObject = 4
};

// Selections, the drag in progress, the wire being drawn with its rubber band, and the
// floating object. Selection numbers are row + 1, 0 meaning none.
struct EditorState {
  int32_t SelectedPin = 0;
  int32_t SelectedPoint = 0;
  int32_t SelectedText = 0;
  int32_t SelectedObject = 0;

  uint16_t DragKind = kDragNone;
  uint16_t PressX = 0, PressY = 0;
  uint16_t DragIndex = 0;
  uint16_t DragRadius = 0;
  uint16_t DragRefX = 0, DragRefY = 0;
  uint16_t DragCurX = 0, DragCurY = 0;
  uint16_t DragPrevX = 0, DragPrevY = 0;

  int32_t HitX = 0, HitY = 0;
  int32_t HitFound = 0;

  int32_t WireLastX = 0, WireLastY = 0;
  int32_t RubberAnchorX = 0, RubberAnchorY = 0;
  int32_t RubberEndX = 0, RubberEndY = 0;
  int32_t RubberWiped = 0;

  bool Placing = false;
  bool FloatMoved = false;
  int32_t FloatX = 0, FloatY = 0;
  int32_t FloatPinCount = 0, FloatPointCount = 0, FloatTextCount = 0;
  bool FollowSuspended = false;

  int32_t TextOptionsTarget = 0;

  // The object file chosen last to load, or saved to last; every placement reads it again.
  std::string ObjectFileName;

  bool anythingSelected() const {
    return SelectedPin > 0 || SelectedPoint > 0 || SelectedText > 0 || SelectedObject > 0;
  }
  void clearSelections() { SelectedPin = SelectedPoint = SelectedText = SelectedObject = 0; }
};

}  // namespace fw
