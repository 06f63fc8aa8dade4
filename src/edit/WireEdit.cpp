// PLACEHOLDER: wire lists and Line Methods (being built).
#include "edit/Editor.h"

namespace fw {
void Editor::ComboBox3Change(int layerIndex) { controls_.layer.index = layerIndex; }
void Editor::WireChange(int widthIndex) { controls_.wireSize.index = widthIndex; }
void Editor::BitBtn8Click() {}
void Editor::segClick() {}
void Editor::compClick() {}
void Editor::SplClick() {}
}  // namespace fw
