#pragma once

#include <functional>
#include <string>

#include "board/Board.h"
#include "board/Geometry.h"
#include "board/View.h"
#include "edit/Controls.h"
#include "edit/EditorState.h"
#include "edit/Host.h"
#include "render/BoardRenderer.h"
#include "render/Canvas.h"

namespace fw {

enum class MouseButton { Left = 0, Right = 1, Middle = 2 };

// What a tool or a command may touch: the editor's data, the canvas it draws previews on, the
// host for anything modal, and the full repaint. Tools and commands never see the Editor.
struct EditContext {
  Board& board;
  View& view;
  EditorState& state;
  Controls& controls;
  Canvas& canvas;
  BoardRenderer& renderer;
  Host& host;
  // The folder of the program, below which the projects and objects folders lie.
  const std::string& programDirectory;
  // Where the project and object dialogs start; empty means the folder below programDirectory.
  const std::string& projectsFolder;
  const std::string& objectsFolder;
  // RedrawBoard: repaints everything, re-highlights the selection, forgets every preview.
  std::function<void()> redraw;

  bool toolIs(Tool tool) const { return controls.tool == tool; }
  // An armed pin drag keeps its preview circle the size of the pin at the current zoom.
  void refreshPinDragRadius() {
    if (state.DragKind == kDragPin)
      state.DragRadius = pinDragRadius(board, state.DragIndex, view.ZoomLevel);
  }
  std::string projectsDir() const {
    return projectsFolder.empty() ? programDirectory + "/projects" : projectsFolder;
  }
  std::string objectsDir() const {
    return objectsFolder.empty() ? programDirectory + "/objects" : objectsFolder;
  }
};

}  // namespace fw
