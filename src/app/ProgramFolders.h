#pragma once

#include <QString>
#include <string>

namespace fw {

// Where the dialogs start, as the editor is given them: empty means the folder beside the
// program ("objects" and "projects"), as in the build tree.
struct ProgramFolders {
  std::string objects;
  std::string projects;
};

// An installed program (bin/ferrowrit) has no "objects" beside it: its library is in
// ../share/ferrowrit/objects. A program whose folder cannot be written starts its project
// dialogs in `documents`.
ProgramFolders programFolders(const QString& programDirectory, const QString& documents);

}  // namespace fw
