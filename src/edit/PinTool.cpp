// PLACEHOLDER: pin lists and Dot Methods (being built).
#include "edit/Editor.h"

namespace fw {
void Editor::SizeChange(int sizeIndex) { controls_.pinSize.index = sizeIndex; }
void Editor::ComboBox2Change(int styleIndex) { controls_.pinStyle.index = styleIndex; }
void Editor::BitBtn10Click() {}
void Editor::NormalClick() {}
void Editor::outlClick() {}
}  // namespace fw
