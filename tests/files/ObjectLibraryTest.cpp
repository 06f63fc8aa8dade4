#include <gtest/gtest.h>

#include "files/ObjectLibrary.h"

namespace fw {
namespace {

TEST(ObjectLibrary, FootprintIsCentredOnTheBoardWithItsPadsOnTheGrid) {
  const std::string text =
      "# a comment\n"
      "\n"
      "object part.kvo\n"
      "  description  Two pads and a ring  \n"
      "row 2 0 0 12 0 2 horizontal\r\n"
      "pad 6 -9 9 vertical\n"
      "ring 6 -3 4\n"
      "wire graphic 1 -3 -2 15 -2 15 2\n"
      "wire layer2 11 0 0 12 0\n"
      "text 6 5 graphic 12 R 1\n"
      "end\n"
      "object second.kvo\n"
      "description Only a text\n"
      "text -700 700 layer1 5 T\n"
      "end\n";
  std::vector<LibraryObject> lib;
  std::string error;
  ASSERT_TRUE(parseObjectLibrary(text, lib, error)) << error;
  ASSERT_EQ(lib.size(), 2u);
  EXPECT_EQ(lib[0].fileName, "part.kvo");
  EXPECT_EQ(lib[0].line, 3);
  const ObjectData& o = lib[0].object;
  EXPECT_EQ(o.description.str(), "Two pads and a ring");
  // The pads span x 0..12 and y -9..0: their middle (6, -5) moves to (396, 296), then the first
  // pad to the nearest grid position, the lower one of two: (388, 300).
  const std::vector<Pin> pins{
      {388, 300, 2, 1}, {400, 300, 2, 1}, {394, 291, 9, 2}, {394, 297, 4, GraphicPinFlag}};
  EXPECT_EQ(o.pins, pins);
  const uint16_t f = WireStartFlag;
  const std::vector<WirePoint> points{{uint16_t(385 + f), uint16_t(298 + f), 255},
                                      {403, 298, 0x21},
                                      {403, 302, 0x21},
                                      {uint16_t(388 + f), uint16_t(300 + f), 255},
                                      {400, 300, 0x1B}};
  EXPECT_EQ(o.points, points);
  ASSERT_EQ(o.texts.size(), 1u);
  EXPECT_EQ(o.texts[0].text.str(), "R 1");
  EXPECT_EQ(o.texts[0].size, 12);
  EXPECT_EQ(o.texts[0].x, 2 * 4096 + 394);
  EXPECT_EQ(o.texts[0].y, 305);
  // Without pins or wires the text itself is centred.
  EXPECT_EQ(lib[1].object.texts[0].x, 396);
  EXPECT_EQ(lib[1].object.texts[0].y, 296);
}

TEST(ObjectLibrary, FaultsAreRefusedWithTheirLine) {
  const std::string head = "object a.kvo\ndescription A\n";
  const struct {
    std::string text;
    const char* where;
  } cases[] = {
      {"description A\n", "1: expected 'object"},
      {"object a.txt\n", "1: 'a.txt' is not a plain file name"},
      {"object ../a.kvo\n", "1: '../a.kvo'"},
      {"object .kvo\n", "1: '.kvo'"},
      {head + "pad 0 0 2 circle\nend\nobject a.kvo\n", "5: a.kvo is described twice"},
      {head + "pad 0 0 2 circle\n", "1: a.kvo has no 'end'"},
      {head + "pad 0 0 2 circle\nobject b.kvo\n", "4: 'object' inside a.kvo"},
      {"object a.kvo\npad 0 0 2 circle\nend\n", "3: a.kvo has no description"},
      {head + "description B\n", "3: a.kvo has two descriptions"},
      {"object a.kvo\ndescription " + std::string(51, 'x') + "\n", "2: a description has 1 to 50"},
      {head + "end\n", "3: a.kvo is empty"},
      {head + "pad 0 0 10 circle\n", "3: a pad size must be a whole number from 0 to 9"},
      {head + "pad 0 0 2 round\n", "3: a pad style must be one of circle, horizontal, vertical"},
      {head + "pad 0 0 2\n", "3: expected 'pad X Y SIZE STYLE'"},
      {head + "pad 0 1.5 2 circle\n", "3: a coordinate must be"},
      {head + "pad 0 900 2 circle\n", "3: a coordinate must be"},
      {head + "row 0 0 0 4 0 2 circle\n", "3: the number of pads must be"},
      {head + "ring 0 0\n", "3: expected 'ring X Y SIZE'"},
      {head + "wire graphic 1 0 0\n", "3: expected 'wire LAYER WIDTH X Y X Y ...'"},
      {head + "wire graphic 1 0 0 4\n", "3: expected 'wire"},
      {head + "wire top 1 0 0 4 4\n", "3: a layer must be one of layer1, layer2, graphic"},
      {head + "wire graphic 12 0 0 4 4\n", "3: a wire width must be"},
      {head + "text 0 0 graphic 4 T\n", "3: a text size must be"},
      {head + "text 0 0 graphic 10\n", "3: expected 'text X Y LAYER SIZE TEXT'"},
      {head + "text 0 0 graphic 10 " + std::string(33, 't') + "\n", "3: a text has at most 32"},
      {head + "polygon 0 0\n", "3: unknown keyword 'polygon'"},
      {head + "row 3 0 0 400 0 2 circle\nend\n", "1: a.kvo does not fit on the board"},
      {head + "pad 0 0 2 circle\nwire graphic 1 0 0 0 400\nend\n", "1: a.kvo does not fit"},
  };
  for (const auto& c : cases) {
    std::vector<LibraryObject> lib{LibraryObject{}};
    std::string error;
    EXPECT_FALSE(parseObjectLibrary(c.text, lib, error)) << c.text;
    EXPECT_EQ(error.rfind(c.where, 0), 0u) << c.text << "\n" << error;
    EXPECT_TRUE(lib.empty());
  }
}

}  // namespace
}  // namespace fw
