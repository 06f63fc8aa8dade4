#pragma once

#include <QIcon>
#include <QPixmap>

namespace fw {

// The pictures of the toolbar buttons, drawn with QPainter so the program needs no image files.
enum class Glyph {
  NewFile,
  OpenFolder,
  Floppy,
  Printer,
  Delete,
  CenterArrows,
  Refresh,
  Wire,
  WireEdit,
  Hand,
  Pad,
  PadEdit,
  Text,
  TextEdit,
  Object,
  DownArrow,
  LoadObject,
  Connection,
};

// A glyph drawn into a transparent pixmap of the given size.
QPixmap drawGlyph(Glyph glyph, int width = 20, int height = 20);
// The same glyph as an icon, with a greyed version for disabled buttons.
QIcon glyphIcon(Glyph glyph, int width = 20, int height = 20);
// The fixed picture at the right end of the toolbar: a small board with pads and tracks.
QPixmap drawToolbarPicture(int width, int height);

}  // namespace fw
