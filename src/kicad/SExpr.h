#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

// A small reader for the S-expressions of KiCad's footprint files: lists in parentheses, bare
// atoms and quoted strings with backslash escapes. It knows nothing of footprints and no Qt.

struct SExpr {
  bool isList = false;
  bool quoted = false;  // an atom written as a quoted string
  std::string atom;     // the atom's text, escapes resolved
  std::vector<SExpr> items;
  int line = 0;  // where it begins, from 1
  int column = 0;

  // The first item's text when it is an atom: the list's keyword, "" otherwise.
  std::string_view head() const;
  // The text of item i when it is an atom, "" otherwise.
  std::string_view atomAt(std::size_t i) const;
  // The first list item whose keyword is `name`, or null.
  const SExpr* find(std::string_view name) const;
};

// What the reader accepts. A footprint file is a few kilobytes; these keep a damaged or hostile
// file from using much memory or stack.
struct SExprLimits {
  std::size_t maxDepth = 64;
  std::size_t maxTokenLength = 4096;
  std::size_t maxFileSize = std::size_t{4} << 20;
};

// Reads exactly one list (with blanks around it) from `text` into `out`. False with
// "line L, column C: reason" in `error` for bad input or a limit passed; `out` is then empty.
bool parseSExpr(std::string_view text, SExpr& out, std::string& error,
                const SExprLimits& limits = {});

}  // namespace fw
