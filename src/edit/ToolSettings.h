#pragma once

#include "edit/Controls.h"

namespace fw {

// Puts the tool's button down and sets the status text, the cursor and the enabled state of the
// lists, buttons and menu items as that tool wants them.
void applyToolControls(Controls& controls, Tool tool);

}  // namespace fw
