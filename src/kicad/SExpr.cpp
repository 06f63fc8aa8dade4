#include "kicad/SExpr.h"

namespace fw {

std::string_view SExpr::head() const {
  return atomAt(0);
}

std::string_view SExpr::atomAt(std::size_t i) const {
  if (i >= items.size() || items[i].isList) return {};
  return items[i].atom;
}

const SExpr* SExpr::find(std::string_view name) const {
  for (const SExpr& item : items)
    if (item.isList && item.head() == name) return &item;
  return nullptr;
}

namespace {

class Reader {
 public:
  Reader(std::string_view text, const SExprLimits& limits) : text_(text), limits_(limits) {}

  bool read(SExpr& out, std::string& error) {
    skipBlanks();
    if (at_ >= text_.size()) return fail("the file holds no list", error);
    if (text_[at_] != '(') return fail("expected '(' at the start", error);
    if (!list(out, 1, error)) return false;
    skipBlanks();
    if (at_ < text_.size()) return fail("text after the closing ')'", error);
    return true;
  }

 private:
  bool fail(const std::string& reason, std::string& error) const {
    error = "line " + std::to_string(line_) + ", column " + std::to_string(column_) + ": " + reason;
    return false;
  }

  void advance() {
    if (text_[at_] == '\n') {
      ++line_;
      column_ = 1;
    } else {
      ++column_;
    }
    ++at_;
  }

  static bool blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

  void skipBlanks() {
    while (at_ < text_.size() && blank(text_[at_])) advance();
  }

  void mark(SExpr& e) const {
    e.line = line_;
    e.column = column_;
  }

  // At '(': reads the list to its ')'.
  bool list(SExpr& out, std::size_t depth, std::string& error) {
    if (depth > limits_.maxDepth)
      return fail("lists nested deeper than " + std::to_string(limits_.maxDepth), error);
    out.isList = true;
    mark(out);
    advance();
    for (;;) {
      skipBlanks();
      if (at_ >= text_.size()) {
        line_ = out.line;
        column_ = out.column;
        return fail("this '(' is never closed", error);
      }
      const char c = text_[at_];
      if (c == ')') {
        advance();
        return true;
      }
      SExpr item;
      const bool ok = c == '('   ? list(item, depth + 1, error)
                      : c == '"' ? quoted(item, error)
                                 : bare(item, error);
      if (!ok) return false;
      out.items.push_back(std::move(item));
    }
  }

  bool bare(SExpr& out, std::string& error) {
    mark(out);
    const std::size_t start = at_;
    while (at_ < text_.size() && !blank(text_[at_]) && text_[at_] != '(' && text_[at_] != ')') {
      if (text_[at_] == '"') return fail("a quote inside a bare word", error);
      if (at_ - start >= limits_.maxTokenLength) return tooLong(error);
      advance();
    }
    out.atom.assign(text_.substr(start, at_ - start));
    return true;
  }

  bool quoted(SExpr& out, std::string& error) {
    mark(out);
    out.quoted = true;
    advance();
    for (;;) {
      if (at_ >= text_.size()) {
        line_ = out.line;
        column_ = out.column;
        return fail("this string is never closed", error);
      }
      char c = text_[at_];
      if (c == '"') {
        advance();
        return true;
      }
      if (c == '\\') {
        advance();
        if (at_ >= text_.size()) continue;  // reported as an open string
        c = text_[at_];
        if (c == 'n')
          c = '\n';
        else if (c == 't')
          c = '\t';
        else if (c == 'r')
          c = '\r';
      }
      if (out.atom.size() >= limits_.maxTokenLength) return tooLong(error);
      out.atom.push_back(c);
      advance();
    }
  }

  bool tooLong(std::string& error) const {
    return fail(
        "a word or string longer than " + std::to_string(limits_.maxTokenLength) + " characters",
        error);
  }

  std::string_view text_;
  const SExprLimits& limits_;
  std::size_t at_ = 0;
  int line_ = 1;
  int column_ = 1;
};

}  // namespace

bool parseSExpr(std::string_view text, SExpr& out, std::string& error, const SExprLimits& limits) {
  out = SExpr{};
  if (text.size() > limits.maxFileSize) {
    error = "line 1, column 1: the file is larger than " + std::to_string(limits.maxFileSize) +
            " bytes";
    return false;
  }
  SExpr result;
  if (!Reader(text, limits).read(result, error)) return false;
  out = std::move(result);
  return true;
}

}  // namespace fw
