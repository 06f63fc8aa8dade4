#include <gtest/gtest.h>

#include "kicad/SExpr.h"

namespace fw {

TEST(SExpr, ReadsListsAtomsAndEscapedStringsWithTheirPositions) {
  SExpr root;
  std::string error;
  ASSERT_TRUE(parseSExpr("(footprint \"A \\\"B\\\" \\\\n\\n\" (at 1.5 -2)\n  (layer F.SilkS))\n",
                         root, error))
      << error;
  EXPECT_EQ(root.head(), "footprint");
  EXPECT_EQ(root.atomAt(1), "A \"B\" \\n\n");
  EXPECT_TRUE(root.items[1].quoted);
  const SExpr* at = root.find("at");
  ASSERT_NE(at, nullptr);
  EXPECT_EQ(at->atomAt(2), "-2");
  const SExpr* layer = root.find("layer");
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(layer->line, 2);
  EXPECT_EQ(layer->column, 3);
  EXPECT_EQ(root.find("pad"), nullptr);
}

TEST(SExpr, RefusesBadInputAndPassedLimitsWithLineAndColumn) {
  const SExprLimits small{3, 8, 64};
  struct Case {
    std::string text;
    const char* error;  // the start of the message
  } cases[] = {
      {"", "line 1, column 1: the file holds no list"},
      {"  atom", "line 1, column 3: expected '('"},
      {"(a\n  (b c)", "line 1, column 1: this '(' is never closed"},
      {"(a)\n(b)", "line 2, column 1: text after"},
      {"(a\n b\"c\")", "line 2, column 3: a quote inside"},
      {"(a\n  \"open)", "line 2, column 3: this string is never closed"},
      {"(a (b (c (d))))", "line 1, column 10: lists nested deeper than 3"},
      {"(a (b (c)))", ""},
      {"(a 123456789)", "line 1, column 12: a word or string longer than 8"},
      {"(a \"12345678\")", ""},
      {"(a \"123456789\")", "line 1, column 13: a word or string longer than 8"},
      {"(a" + std::string(70, ' ') + ")", "line 1, column 1: the file is larger than 64"},
  };
  for (const Case& c : cases) {
    SExpr root;
    std::string error;
    const bool ok = parseSExpr(c.text, root, error, small);
    EXPECT_EQ(ok, *c.error == '\0') << c.text << ": " << error;
    EXPECT_EQ(error.rfind(c.error, 0), 0u) << c.text << ": " << error;
    if (!ok) {
      EXPECT_TRUE(root.items.empty() && !root.isList) << c.text;
    }
  }
}

}  // namespace fw
