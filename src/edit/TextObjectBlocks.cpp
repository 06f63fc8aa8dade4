// The text and object blocks of the pointer handlers and lists, in the places the handlers
// call them. They arrive with text editing and object placement; until then they do nothing.
#include "edit/Editor.h"

namespace fw {

// Right press on the selected text: the Text Options dialog for TextOptionsTarget. Arrives with
// text editing.
void Editor::showTextOptionsForSelectedText() {}

// Create Text press. Arrives with text editing.
void Editor::createTextPress() {}

// Edit Object press while an object is being placed: puts a copy down. Arrives with object
// placement.
void Editor::placeObjectPress(MouseButton) {}

// Edit Object press selecting or grabbing an object. Arrives with object selection.
void Editor::editObjectPress() {}

// Edit Text press selecting or grabbing a text. Arrives with text editing.
void Editor::editTextPress() {}

// Move previews of a dragged text (DragKind 3) and object (DragKind 4). Arrive with text
// editing and object dragging.
void Editor::textDragPreview() {}
void Editor::objectDragPreview() {}

// Releases that drop a dragged object or text. Arrive with object dragging and text editing.
void Editor::objectRelease() {}
void Editor::textRelease() {}

// The floating object follows the pointer, or is erased when FloatX is 0. Arrives with object
// placement.
void Editor::updateFloatingObject() {}

// The Active Layer list moves the selected text to the chosen layer in Edit Text mode. Arrives
// with text editing.
void Editor::activeLayerChangedForText() {}

}  // namespace fw
