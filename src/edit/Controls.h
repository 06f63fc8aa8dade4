#pragma once

#include <array>
#include <string>

namespace fw {

// The nine tool buttons, one of which is down.
enum class Tool {
  DrawWire,
  EditWires,
  Pan,
  CreatePin,
  EditPins,
  CreateText,
  EditText,
  EditObject,
  HighlightConnection
};

enum class CursorShape { Arrow, Cross };

struct ListControl {
  int index = 0;
  bool enabled = true;
};

// The model of the window's controls. The editor reads and writes it; the main window mirrors
// it into the widgets (with their signals blocked) after every handler. The zoom list
// (ComboBox1) has no entry here: it shows the view's ZoomLevel, the one place the zoom is kept,
// and is always enabled.
struct Controls {
  Tool tool = Tool::CreatePin;  // SpeedButton9 down at start

  ListControl layer{0, true};      // ComboBox3
  ListControl wireSize{2, false};  // wire
  ListControl grid{0, true};       // ComboBox4
  ListControl pinSize{1, true};    // Size
  ListControl pinStyle{0, true};   // ComboBox2

  bool deleteButton = false;  // BitBtn5 and CutObject1
  bool cutObject = false;     // CutObject1
  bool lineMethods = false;   // BitBtn8
  bool dotMethods = true;     // BitBtn10
  bool rotate = false;        // Rotate1
  bool undo = false;          // Undo1
  bool redo = false;          // Redo1

  // Check marks of the Window and Layers menus.
  bool showFrame = true;                            // ShowFrame1
  bool showGrids = true;                            // GridsOn1 (mirrors the grid flag)
  std::array<bool, 3> showLayer{true, true, true};  // Layer1, layer2, layer3

  // PopupMenu1: wire selection methods.
  bool selectSegmentOnly = true;    // seg
  bool selectCompleteWire = false;  // comp
  bool splitWire = false;           // Spl
  // Which of the three the Line Methods button last offered (BitBtn9Click).
  bool selectSegmentOnlyEnabled = true;   // seg
  bool selectCompleteWireEnabled = true;  // comp
  bool splitWireEnabled = true;           // Spl
  // PopupMenu2: pin kind.
  bool normalPin = true;    // Normal
  bool graphicPin = false;  // outl

  // Edit menu: dragging or turning pads takes the track ends on their centres along.
  bool dragConnectedTracks = false;  // DragConnectedTracks1

  std::array<std::string, 3> panel;  // status bar panels
  CursorShape cursor = CursorShape::Cross;
};

}  // namespace fw
