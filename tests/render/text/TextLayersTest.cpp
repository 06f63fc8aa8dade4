// The merged text layers: a small change to the texts mends a layer's mask where the changed
// rows lay and lie, and the mended mask is the one made afresh; many changes make it afresh.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "render/Canvas.h"
#include "render/text/TextCache.h"
#include "render/text/TextLayers.h"
#include "render/text/TextTestTools.h"

namespace fw {
namespace {

// Rows of short texts close together on layer 1, all in view at 4x, some overlapping.
std::unique_ptr<Board> crowdedBoard() {
  auto b = makeBoard();
  for (int i = 0; i < 120; ++i) {
    TextItem t;
    t.text.set("T" + std::to_string(i));
    t.size = uint8_t(10 + i % 4);
    t.x = uint16_t(300 + (i % 12) * 8);
    t.y = uint16_t(240 + (i / 12) * 4);
    b->addText(t);
  }
  return b;
}

struct Drawing {
  Drawing() {
    view.setAreaSize(800, 600);
    view.ZoomLevel = 2;
  }
  // The layer's mask after preparing the layers for the board, as a redraw does.
  test::Pixels layer(TextLayers& layers, const Board& b, int l = 0) {
    cache.beginDrawing(canvas.font());
    const TextLayers::Scene s{b, view, canvas, {true, true, true}};
    layers.prepare(s, cache);
    const TextLayers::Layer got = layers.layer(s, cache, l);
    return got.mask ? test::litPixels(*got.mask) : test::Pixels{};
  }
  View view;
  Canvas canvas{800, 600, 60};
  TextCache cache;
};

TEST(TextLayers, ASmallChangeMendsTheMaskToTheOneMadeAfresh) {
  Drawing d;
  const auto board = crowdedBoard();
  TextLayers layers(false);
  EXPECT_FALSE(d.layer(layers, *board).empty());
  EXPECT_EQ(layers.merged(), 120u);
  // Unchanged: drawn as it is.
  d.layer(layers, *board);
  EXPECT_EQ(layers.merged(), 0u);

  // A text moved by a grid step, one retyped, one added and one moved to another layer.
  board->TextTable[5].x = uint16_t(board->TextTable[5].x + 4);
  board->TextTable[40].text.set("W");
  TextItem added = board->TextTable[70];
  added.y = uint16_t(added.y + 2);
  board->addText(added);
  board->TextTable[90].x = uint16_t(board->TextTable[90].x + 4096);
  const test::Pixels mended = d.layer(layers, *board);
  EXPECT_GT(layers.merged(), 0u);
  EXPECT_LT(layers.merged(), 60u);  // only the texts around the four rows
  TextLayers fresh(false);
  EXPECT_EQ(mended, d.layer(fresh, *board));
  EXPECT_EQ(d.layer(layers, *board, 1), d.layer(fresh, *board, 1));
}

TEST(TextLayers, ManyChangesOrAnotherViewMakeTheMaskAfresh) {
  Drawing d;
  const auto board = crowdedBoard();
  TextLayers layers(false);
  d.layer(layers, *board);
  for (int i = 0; i < 100; ++i) board->TextTable[std::size_t(i)].y += 1;
  d.layer(layers, *board);
  EXPECT_EQ(layers.merged(), 120u);
  d.view.scrollX += 1;
  d.layer(layers, *board);
  EXPECT_EQ(layers.merged(), 120u);
}

}  // namespace
}  // namespace fw
