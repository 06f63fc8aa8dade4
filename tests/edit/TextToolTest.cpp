// Create Text and Edit Text: placing through Text Options, selecting by extent, dragging the
// outline, re-layering and the options of a selected text.
#include "EditorScenario.h"

namespace fw {
namespace {

class TextToolTest : public EditorScenario {
 protected:
  void placeText(int x, int y, const std::string& text, int size = 10) {
    ed.selectTool(Tool::CreateText);
    host.textOptionsAnswers.push_back(std::make_pair(text, size));
    clickAt(x, y);
  }
  TextItem& text(int row) { return board().TextTable[static_cast<std::size_t>(row)]; }
};

TEST_F(TextToolTest, CreateTextStoresWhatTheDialogConfirms) {
  struct Case {
    MouseButton button;
    int layer;
    std::optional<std::pair<std::string, int>> answer;
    int count;
    std::string stored;
  };
  const Case cases[] = {
      {kLeft, 0, std::make_pair(std::string("R1"), 20), 1, "R1"},
      {kRight, 1, std::make_pair(std::string(""), 5), 2, "*"},  // empty is stored as "*"
      {kMiddle, 2, std::make_pair(std::string("C3"), 50), 3, "C3"},
      {kLeft, 0, std::nullopt, 3, ""},  // Cancel stores nothing
  };
  ed.selectTool(Tool::CreateText);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    ed.ComboBox3Change(c.layer);
    board().SavedFlag = true;
    host.textOptionsAnswers.push_back(c.answer);
    moveTo(300, 292);
    press(c.button);
    release(c.button);
    EXPECT_EQ(host.textOptionsShown.back(), std::make_pair(std::string("Text"), 10));
    EXPECT_EQ(board().TextCount, c.count);
    EXPECT_FALSE(board().SavedFlag);
    if (!c.answer) continue;
    EXPECT_EQ(text(c.count - 1).text.str(), c.stored);
    EXPECT_EQ(text(c.count - 1).size, c.answer->second);
    EXPECT_EQ(text(c.count - 1).x, c.layer * 4096 + 300);
  }
  EXPECT_EQ(text(2).x, 8492);  // graphic layer at x 300
}

TEST_F(TextToolTest, OverlappingTextsSelectTheLastAndTheListFollowsItsLayer) {
  placeText(300, 292, "first");
  ed.ComboBox3Change(1);
  placeText(302, 292, "second");
  ed.ComboBox3Change(0);
  ed.selectTool(Tool::EditText);
  clickAt(301, 292);
  EXPECT_EQ(state().SelectedText, 2);
  EXPECT_EQ(controls().layer.index, 1);
  EXPECT_EQ(controls().panel[2],
            "Text Selected. Drag Text with Mouse or Press Right Button for TextOptions.");
  clickAt(500, 500);
  EXPECT_EQ(state().SelectedText, 0);
  EXPECT_EQ(controls().panel[2], "Select Text to Edit.");
}

// The hit box is the drawn string's pixel size at the zoom, divided by the zoom factor, around
// the text's position: its corners hit, one unit beyond misses. A first press only selects.
TEST_F(TextToolTest, HitBoxFollowsTheZoomFactorAndAFirstPressOnlySelects) {
  placeText(400, 300, "Wide text", 30);
  ed.selectTool(Tool::EditText);
  for (int zoom = 0; zoom < kZoomLevels; ++zoom) {
    SCOPED_TRACE(zoom);
    ed.commands().viewCommands.ComboBox1Change(zoom);
    const int f = view().zoomFactor();
    ed.canvas().setFontPointSize(30 * f / 5);
    const QSize px = ed.canvas().textExtent(QStringLiteral("Wide text"));
    const int left = 400 - px.width() / (2 * f), right = left + px.width() / f;
    const int top = 300 - px.height() / (2 * f), bottom = top + px.height() / f;
    const std::pair<BoardPoint, bool> presses[] = {
        {{left, top}, true},     {{left - 1, top}, false},     {{left, top - 1}, false},
        {{right, bottom}, true}, {{right + 1, bottom}, false}, {{right, bottom + 1}, false}};
    for (const auto& [at, hits] : presses) {
      moveTo(at.x, at.y);
      press();
      EXPECT_EQ(state().SelectedText, hits ? 1 : 0) << at.x << "," << at.y;
      EXPECT_EQ(state().DragKind, kDragNone);
      release();
    }
  }
}

TEST_F(TextToolTest, FullTextTableRefusesANewTextAndSaysSo) {
  for (int i = 0; i < kTextCapacity; ++i) board().addText({});
  placeText(300, 300, "late");
  EXPECT_EQ(board().TextCount, kTextCapacity);
  EXPECT_TRUE(host.textOptionsShown.empty());
  EXPECT_EQ(controls().panel[2], "Text table full: text not created");
}

TEST_F(TextToolTest, DraggingMovesByTheSnappedDifferenceAndKeepsTheLayer) {
  ed.ComboBox3Change(1);
  placeText(300, 292, "U1", 30);
  ed.selectTool(Tool::EditText);
  clickAt(300, 292);  // select
  moveTo(300, 292);
  press();  // grab
  const QImage before = snapshot();
  release();  // no move: nothing happens
  EXPECT_EQ(text(0).x, 4096 + 300);
  EXPECT_EQ(differingPixels(before, snapshot()), 0);

  press();
  moveTo(304, 292);
  EXPECT_GT(differingPixels(before, snapshot()), 0);  // the outline
  moveTo(308, 296);
  release();
  EXPECT_EQ(text(0).x, 4096 + 308);
  EXPECT_EQ(text(0).y, 296);

  // Dragged far beyond the board's edge the text stops at it, still on Layer 2.
  moveTo(308, 296);
  press();
  view().PointerX = -5000;
  ed.mouseMove(-5000, view().PointerY);
  release();
  EXPECT_EQ(text(0).x, 4096 + 0);
}

TEST_F(TextToolTest, RightPressEditsTheSelectedTextAndTheListMovesIt) {
  placeText(300, 292, "old", 20);
  text(0).size |= 0xC0;  // high bits are not part of the size
  ed.selectTool(Tool::EditText);
  clickAt(300, 292);
  host.textOptionsAnswers.push_back(std::make_pair(std::string("new"), 5));
  moveTo(100, 100);
  press(kRight);
  EXPECT_EQ(host.textOptionsShown.back(), std::make_pair(std::string("old"), 20));
  EXPECT_EQ(text(0).text.str(), "new");
  EXPECT_EQ(text(0).size, 5);
  EXPECT_EQ(state().SelectedText, 1);

  ed.ComboBox3Change(2);
  EXPECT_EQ(text(0).x, 2 * 4096 + 300);
  EXPECT_EQ(controls().panel[2], "Active Layer Changed");
}

}  // namespace
}  // namespace fw
