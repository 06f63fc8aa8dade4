// The text blocks arrive with text editing; until then they do nothing.
#include "edit/tools/TextTool.h"

namespace fw {

void TextTool::showTextOptionsForSelectedText() {}
void TextTool::createTextPress() {}
void TextTool::editTextPress() {}
void TextTool::textDragPreview() {}
void TextTool::textRelease() {}
void TextTool::activeLayerChangedForText() {}

}  // namespace fw
