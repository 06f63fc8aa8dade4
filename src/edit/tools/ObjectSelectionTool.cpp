// Selecting and dragging objects arrive with the object library; until then they do nothing.
#include "edit/tools/ObjectSelectionTool.h"

namespace fw {

void ObjectSelectionTool::editObjectPress() {}
void ObjectSelectionTool::objectDragPreview() {}
void ObjectSelectionTool::objectRelease() {}

}  // namespace fw
