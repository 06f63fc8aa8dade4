#pragma once

#include "edit/EditContext.h"

namespace fw {

// Commands that change only what the window shows, never the board or SavedFlag.
class ViewCommands {
 public:
  explicit ViewCommands(EditContext& ctx) : ctx_(ctx) {}

  void ComboBox1Change(int zoomIndex);  // zoom list
  void ScrollBar1Scroll(int position);  // horizontal
  void ScrollBar2Scroll(int position);  // vertical
  void GotoCenter1Click();              // "+" button and Ctrl+C
  void BitBtn8Click();                  // the Update Screen button (BitBtn7)
  void GridsOn1Click();
  void ShowFrame1Click();
  void Layer1Click();
  void layer2Click();
  void layer3Click();
  void ComboBox4Change(int gridIndex);  // grid resolution list: read by the next pointer event

  // The mouse wheel, in whole notches (positive away from the user): it scrolls vertically,
  // with Shift horizontally, by the scroll bars' large change a notch; with Ctrl it zooms one
  // level a notch and keeps the board under the pointer where the scroll ranges allow.
  void wheel(int notches, bool ctrl, bool shift);

 private:
  void toggleLayer(int layer);

  EditContext& ctx_;
};

}  // namespace fw
