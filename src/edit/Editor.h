#pragma once

#include <memory>
#include <string>

#include "board/Board.h"
#include "board/View.h"
#include "edit/Controls.h"
#include "edit/EditorState.h"
#include "edit/Host.h"
#include "render/BoardRenderer.h"
#include "render/Canvas.h"

namespace fw {

enum class MouseButton { Left = 0, Right = 1, Middle = 2 };

// The editor: the one board, the view, the editor state and the model of the controls, the
// canvas it draws on, and the handlers that the window's events and commands call.
class Editor {
 public:
  explicit Editor(Host& host, int areaWidth = 800, int areaHeight = 600);
  ~Editor();
  Editor(const Editor&) = delete;
  Editor& operator=(const Editor&) = delete;

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

  std::string ProgramDirectory;
  // CurrentFileName as it was before a Save As, put back when that Save As writes nothing.
  std::string PreviousFileName;
  // The working directory as recorded after the last save attempt; empty until then.
  std::string SaveDirectory;
  // Print settings: scale in percent and the item of the resolution list; the window-wide
  // reset sets them back to 100 and 1 ("300 dpi").
  int PrintScale = 100;
  int PrintDpiIndex = 1;

  // What the drawing reads from the controls and the state.
  Visibility visibility() const;
  Selection selection() const;

  // The full repaint; forgets every inverted preview.
  void RedrawBoard();
  // The drawing area changed size: resize the canvas and the view, then redraw.
  void resizeArea(int width, int height);
  // Empty board, reset state and controls; no redraw.
  void windowReset();
  // The drawing area is being repainted: after the object open dialog the floating object
  // waits for this repaint (FollowSuspended), which redraws the board once and releases it.
  void FormPaint();

  // View commands; none of them changes SavedFlag.
  void ComboBox1Change(int zoomIndex);  // zoom list
  void ScrollBar1Scroll(int position);  // horizontal
  void ScrollBar2Scroll(int position);  // vertical
  void GotoCenter1Click();              // "+" button and Ctrl+C
  void BitBtn8Click();                  // the Update Screen button (BitBtn7)
  void GridsOn1Click();
  void ShowFrame1Click();
  void Layer1Click();
  void layer2Click();
  void layer3Click();
  void ComboBox4Change(int gridIndex);  // grid resolution list: read by the next pointer event

  // Tool buttons (SpeedButton9Click and the other seven run the same steps).
  void selectTool(Tool tool);

  // Pointer handlers, in drawing-area pixels. A press and a release act at the position of the
  // latest move; the release looks at its own y only to ignore a release over the toolbar.
  void mousemove(int x, int y);
  void MouseDown(MouseButton button);
  void FormMouseUp(MouseButton button, int y);

  // Pin lists and the Dot Methods pop-up.
  void SizeChange(int sizeIndex);
  void ComboBox2Change(int styleIndex);
  void BitBtn10Click();
  void NormalClick();
  void outlClick();

  // Wire lists and the Line Methods pop-up.
  void ComboBox3Change(int layerIndex);
  void WireChange(int widthIndex);
  void BitBtn9Click();  // the Line Methods button (BitBtn8)
  void segClick();
  void compClick();
  void SplClick();

  // Document commands and the two board dialogs. FormClose returns whether the window may close.
  void NewProject();
  void OpenProject();
  void SaveProject();
  void SaveAs1Click();
  bool FormClose();
  void FrameSize1Click();
  void Info1Click();

 private:
  void toggleLayer(int layer);

  // Pointer handling shared by the tools (ToolModes.cpp).
  bool toolIs(Tool tool) const { return controls_.tool == tool; }
  void abandonPlacement();
  void updateFloatingObject();
  void showPointerReadout();
  void showSegmentReadout();
  bool dragPreviewStands() const;
  void stepDragPreview(void (Editor::*draw)(int, int));
  void armDrag(uint16_t kind, int row);
  void setInvertingPen();

  // Blocks of the text and object tools; they arrive with text editing and object placement
  // (TextObjectBlocks.cpp).
  void showTextOptionsForSelectedText();
  void createTextPress();
  void placeObjectPress(MouseButton button);
  void editObjectPress();
  void editTextPress();
  void textDragPreview();
  void objectDragPreview();
  void objectRelease();
  void textRelease();
  void activeLayerChangedForText();

  // Pins (PinTool.cpp).
  void createPinPress();
  void editPinsPress();
  void pinDragPreview();
  void pinRelease(int windowY);
  void drawPinNormal(int row);
  void drawPinSelected(int row);
  void drawPinPreviewCircle(int centreX, int centreY);
  uint16_t pinDragRadius(int row) const;
  void showPinInLists(int row);

  // Draw Wire (WireTool.cpp).
  void drawWirePress(MouseButton button);
  void endWire();
  void startWire();
  void addWirePoint();
  void moveRubberBand();
  void eraseRubberBand();

  // Edit Wires (WireEdit.cpp).
  void editWiresPress();
  void pointDragPreview();
  void drawPointPreviewLines(int atX, int atY);
  void pointRelease();
  void DrawNormalSegment(int row);
  void highlightPoint(int row);
  void unhighlightPoint(int row);
  void showPointInLists(int row);
  void changeSelectedWireAttr(uint8_t keepMask, uint8_t newBits);
  int wireSegmentEnd(int row) const;
  int wireStartOf(int row) const;
  template <typename Visit>
  void forEachPointOfWire(int row, Visit visit) const;
  int halfWireWidth(int row) const;

  // Pan Object (PanTool.cpp).
  void panPress();

  Host& host_;
  std::unique_ptr<Board> board_;
  View view_;
  EditorState state_;
  Controls controls_;
  Canvas canvas_;
  BoardRenderer renderer_;
};

}  // namespace fw
