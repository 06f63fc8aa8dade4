// PLACEHOLDER: document commands and board dialogs (being built).
#include "edit/Editor.h"

namespace fw {
void Editor::NewProject() {}
void Editor::OpenProject() {}
void Editor::SaveProject() {}
void Editor::SaveAs1Click() {}
bool Editor::FormClose() { return true; }
void Editor::FrameSize1Click() {}
void Editor::Info1Click() {}
}  // namespace fw
