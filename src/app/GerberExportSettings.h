#pragma once

#include "edit/Host.h"

namespace fw {

// The last choice confirmed in the Export Gerber dialog, kept in the user's settings
// (organisation and application "Ferrowrit") so that the next export, in this run or a later
// one, starts from it.
class GerberExportSettings {
 public:
  // Replaces what `choice` holds with what is stored. A value that is missing or out of range
  // (settings edited by hand, or from another version) leaves the one `choice` had.
  static void load(GerberExportChoice& choice);
  static void store(const GerberExportChoice& choice);
};

}  // namespace fw
