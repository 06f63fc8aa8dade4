#pragma once

#include <memory>
#include <string>
#include <utility>

#include "edit/EditContext.h"
#include "edit/commands/CheckBoardCommand.h"
#include "edit/commands/DeleteCommand.h"
#include "edit/commands/DocumentCommands.h"
#include "edit/commands/FabCommand.h"
#include "edit/commands/PrintCommand.h"
#include "edit/commands/RotateCommand.h"
#include "edit/commands/UndoHistory.h"
#include "edit/commands/ViewCommands.h"
#include "edit/tools/HighlightTool.h"
#include "edit/tools/ObjectPlacementTool.h"
#include "edit/tools/ObjectSelectionTool.h"
#include "edit/tools/PanTool.h"
#include "edit/tools/PinTool.h"
#include "edit/tools/TextTool.h"
#include "edit/tools/WireEditTool.h"
#include "edit/tools/WireTool.h"

namespace fw {

// The editor owns the one board, the view, the editor state, the model of the controls, the
// canvas and the renderer. It switches tools and runs the three pointer handlers, which call the
// tools' blocks in their fixed order. Each tool and command lives in a class of its own and sees
// only the EditContext.
//
// The editor is the one door for changes: every event that may change the board, the pointer
// presses and releases included, runs through run(), so whatever it changed becomes one step of
// the undo history.
class Editor {
 public:
  explicit Editor(Host& host, int areaWidth = 800, int areaHeight = 600);
  ~Editor();
  Editor(const Editor&) = delete;
  Editor& operator=(const Editor&) = delete;

  // The folder of the program (set at start-up), and the data.
  std::string ProgramDirectory;
  // Where the project and object dialogs start; empty: "projects" and "objects" in
  // ProgramDirectory. An installed program is given folders it can use.
  std::string ProjectsFolder;
  std::string ObjectsFolder;
  Board& board() { return *board_; }
  const Board& board() const { return *board_; }
  View& view() { return view_; }
  const View& view() const { return view_; }
  EditorState& state() { return state_; }
  Controls& controls() { return controls_; }
  const Controls& controls() const { return controls_; }
  Canvas& canvas() { return canvas_; }
  BoardRenderer& renderer() { return renderer_; }
  Host& host() { return host_; }

  // Print settings: scale in percent and the item of the resolution list; the window-wide
  // reset sets them back to 100 and 1 ("300 dpi").
  int PrintScale = 100;
  int PrintDpiIndex = 1;

  // The tools, for their lists, buttons and pop-up menus, and the commands, for the menus and
  // buttons that run them.
  struct Tools {
    PinTool& pins;           // Create Pin and Edit Pins
    WireTool& wireDrawing;   // Draw Wire
    WireEditTool& wireEdit;  // Edit Wires
    PanTool& pan;            // Pan Object
    TextTool& texts;         // Create Text and Edit Text
    ObjectPlacementTool& objectPlacement;
    ObjectSelectionTool& objectSelection;  // Edit Object
    HighlightTool& highlight;              // Highlight Connection
  };
  struct Commands {
    ViewCommands& viewCommands;
    DocumentCommands& documents;
    DeleteCommand& deletion;        // CutObject1 and BitBtn5
    RotateCommand& rotation;        // Edit > Rotation
    PrintCommand& printing;         // Print..., BitBtn6 and Print Setup...
    FabCommand& fab;                // Export Gerber...
    CheckBoardCommand& checkBoard;  // Window > Check Board...
  };
  Tools tools() {
    return {pins_, wires_, wireEdit_, pan_, texts_, placement_, objectSelection_, highlight_};
  }
  Commands commands() {
    return {viewCommands_, documents_, deletion_, rotation_, printing_, fab_, checkBoard_};
  }
  UndoHistory& history() { return history_; }
  void BitBtn2Click() { CenterObjects(ctx_); }  // and Window > Center Objects

  // Drawing.
  Visibility visibility() const;
  Selection selection() const;
  // The full repaint; forgets every inverted preview.
  void RedrawBoard();
  // The drawing area changed size: resize the canvas and the view, then redraw.
  void resizeArea(int width, int height);
  // The drawing area is being repainted: after the object open dialog the floating object
  // waits for this repaint (FollowSuspended), which redraws the board once and releases it.
  void FormPaint();
  // Empty board, reset state and controls; no redraw.
  void windowReset();

  // Tool buttons (SpeedButton9Click and the other seven run the same steps).
  void selectTool(Tool tool);

  // Runs one event of the window (a menu item, a button, a list, a key) as one step of the
  // undo history. An event run inside another belongs to the outer one's step.
  template <typename Handler>
  void run(Handler&& handler) {
    const UndoHistory::StepScope step(history_);
    std::forward<Handler>(handler)();
  }

  // The pointer, in drawing-area pixels. A press and a release act at the position of the latest
  // move, each as one step of the undo history (a drag commits on its release); the release
  // looks at its own y only to ignore a release over the toolbar. A move only previews, so it
  // opens no step and stays cheap.
  void mouseMove(int x, int y) { mousemove(x, y); }
  void mouseDown(MouseButton button) {
    run([&] { MouseDown(button); });
  }
  void mouseUp(MouseButton button, int y) {
    run([&] { FormMouseUp(button, y); });
  }
  // The library panel's double-click: starts placing the object file at `path` as Load Object
  // does once the file is chosen.
  void placeObjectFile(const std::string& path) {
    run([&] { placement_.placeObjectFile(path); });
  }
  // The Escape key: stops the wire being drawn and the placement, as a right press does.
  void escapePressed();

  // The Active Layer list acts on the selected text, then on the selected wire.
  void ComboBox3Change(int layerIndex);

 private:
  // The right press's end of a placement, which Escape shares.
  void endPlacement();
  // The three pointer handlers themselves, reached through the door above.
  void mousemove(int x, int y);
  void MouseDown(MouseButton button);
  void FormMouseUp(MouseButton button, int y);

  void showPointerReadout();
  void showSegmentReadout();

  Host& host_;
  std::unique_ptr<Board> board_;
  View view_;
  EditorState state_;
  Controls controls_;
  Canvas canvas_;
  BoardRenderer renderer_;
  EditContext ctx_;

  PinTool pins_{ctx_};
  WireTool wires_{ctx_};
  WireEditTool wireEdit_{ctx_};
  UndoHistory history_{ctx_};
  PanTool pan_{ctx_};
  TextTool texts_{ctx_};
  ObjectPlacementTool placement_{ctx_};
  ObjectSelectionTool objectSelection_{ctx_};
  HighlightTool highlight_{ctx_, history_.boardChanges()};
  ViewCommands viewCommands_{ctx_};
  DocumentCommands documents_;
  DeleteCommand deletion_{ctx_};
  RotateCommand rotation_{ctx_, [this] { placement_.updateFloatingObject(); }};
  PrintCommand printing_{ctx_, PrintScale, PrintDpiIndex};
  CheckBoardCommand checkBoard_{
      ctx_, [this]() -> const Connectivity& {
        return highlight_.connectivity(ConnectivityDetail::IslandsAndEnds);
      }};
  FabCommand fab_{ctx_, [this] { return checkBoard_.errorCount(); }};
};

}  // namespace fw
