// What choosing each of the eight tools does to the controls.
#include "edit/ToolSettings.h"

namespace fw {

namespace {

// The controls a tool enables; every one not named is disabled.
enum Enables : unsigned {
  kNothing = 0,
  kDelete = 1u << 0,       // BitBtn5
  kCutObject = 1u << 1,    // CutObject1
  kLineMethods = 1u << 2,  // BitBtn8
  kDotMethods = 1u << 3,   // BitBtn10
  kPinStyle = 1u << 4,     // ComboBox2
  kPinSize = 1u << 5,      // Size
  kWireSize = 1u << 6,     // wire
  kRotate = 1u << 7,       // Rotate1
  kGrid = 1u << 8,         // ComboBox4
};

// What choosing a tool does to the status bar, the cursor and the other controls.
struct ToolSettings {
  Tool tool;
  const char* message;
  CursorShape cursor;
  unsigned enables;
  bool has(Enables e) const { return (enables & e) != 0; }
};

constexpr CursorShape kCross = CursorShape::Cross;
constexpr CursorShape kArrow = CursorShape::Arrow;

const ToolSettings kToolSettings[] = {
    {Tool::CreatePin, "Place Pin", kCross, kDotMethods | kPinStyle | kPinSize | kGrid},
    {Tool::EditPins, "Click on Object to edit", kArrow,
     kDelete | kCutObject | kPinStyle | kPinSize | kGrid},
    {Tool::DrawWire, "Select start position for Wire", kArrow,
     kDelete | kCutObject | kWireSize | kGrid},
    {Tool::EditWires, "Click on Wire to edit", kArrow,
     kDelete | kCutObject | kLineMethods | kWireSize | kGrid},
    {Tool::CreateText, "Place Text", kArrow, kGrid},
    {Tool::EditText, "Select Text to Edit.", kArrow, kDelete | kCutObject | kGrid},
    {Tool::EditObject, "Select Object to Edit", kArrow, kDelete | kCutObject | kRotate | kGrid},
    {Tool::Pan, "Select pan position", kCross, kNothing},
    {Tool::HighlightConnection, "Click on a pad or track to see what it connects", kArrow,
     kNothing},
};

const ToolSettings& settingsFor(Tool tool) {
  for (const ToolSettings& s : kToolSettings)
    if (s.tool == tool) return s;
  return kToolSettings[0];
}

}  // namespace

void applyToolControls(Controls& c, Tool tool) {
  const ToolSettings& s = settingsFor(tool);
  c.tool = s.tool;
  c.panel[2] = s.message;
  c.cursor = s.cursor;
  c.deleteButton = s.has(kDelete);
  c.cutObject = s.has(kCutObject);
  c.lineMethods = s.has(kLineMethods);
  c.dotMethods = s.has(kDotMethods);
  c.pinStyle.enabled = s.has(kPinStyle);
  c.pinSize.enabled = s.has(kPinSize);
  c.wireSize.enabled = s.has(kWireSize);
  c.rotate = s.has(kRotate);
  c.grid.enabled = s.has(kGrid);
}

}  // namespace fw
