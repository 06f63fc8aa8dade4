#include "files/ObjectLibrary.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <set>

#include "board/ObjectGeometry.h"
#include "board/View.h"

namespace fw {

namespace {

constexpr int kMaxRowPads = 100;

struct Token {
  std::string_view text;
  std::size_t end;  // offset just past it in the line
};

std::vector<Token> tokenize(std::string_view line) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) tokens.push_back({line.substr(start, i - start), i});
  }
  return tokens;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// A footprint as written, before it is moved onto the board.
struct Draft {
  struct PadRow {
    int x, y, size, style;
  };
  struct Wire {
    int layer, width;
    std::vector<std::pair<int, int>> points;
  };
  struct Text {
    int x, y, layer, size;
    std::string text;
  };
  std::string fileName;
  int line = 0;
  bool hasDescription = false;
  std::string description;
  std::vector<PadRow> pins;
  std::vector<Wire> wires;
  std::vector<Text> texts;
};

class Parser {
 public:
  explicit Parser(std::vector<LibraryObject>& out) : out_(out) {}

  bool line(int number, std::string_view raw, std::string& error) {
    line_ = number;
    const std::string_view text = trim(raw);
    if (text.empty() || text.front() == '#') return true;
    tokens_ = tokenize(text);
    line_text_ = text;
    const std::string_view keyword = tokens_[0].text;

    if (!open_) {
      if (keyword != "object")
        return fail("expected 'object FILE.kvo', found '" + std::string(keyword) + "'", error);
      return beginObject(error);
    }
    if (keyword == "object")
      return fail("'object' inside " + draft_.fileName + ": 'end' is missing", error);
    if (keyword == "description") return description(error);
    if (keyword == "pad") return pads(false, error);
    if (keyword == "row") return pads(true, error);
    if (keyword == "ring") return ring(error);
    if (keyword == "wire") return wire(error);
    if (keyword == "text") return textLine(error);
    if (keyword == "end") return endObject(error);
    return fail("unknown keyword '" + std::string(keyword) + "'", error);
  }

  bool finish(std::string& error) {
    if (!open_) return true;
    line_ = draft_.line;
    return fail(draft_.fileName + " has no 'end'", error);
  }

 private:
  bool fail(const std::string& reason, std::string& error) const {
    error = std::to_string(line_) + ": " + reason;
    return false;
  }

  bool arity(std::size_t n, const char* form, std::string& error) const {
    if (tokens_.size() == n) return true;
    return fail(std::string("expected '") + form + "'", error);
  }

  bool number(std::size_t token, int lo, int hi, const char* what, int& v,
              std::string& error) const {
    const std::string_view s = tokens_[token].text;
    int n = 0;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
    if (ec == std::errc() && ptr == s.data() + s.size() && n >= lo && n <= hi) {
      v = n;
      return true;
    }
    return fail(std::string(what) + " must be a whole number from " + std::to_string(lo) + " to " +
                    std::to_string(hi) + ", not '" + std::string(s) + "'",
                error);
  }

  bool coordinate(std::size_t token, int& v, std::string& error) const {
    return number(token, -kMaxBoardX, kMaxBoardX, "a coordinate", v, error);
  }

  bool named(std::size_t token, std::initializer_list<const char*> names, const char* what, int& v,
             std::string& error) const {
    int i = 0;
    for (const char* name : names) {
      if (tokens_[token].text == name) {
        v = i;
        return true;
      }
      ++i;
    }
    std::string list;
    for (const char* name : names) list += (list.empty() ? "" : ", ") + std::string(name);
    return fail(std::string(what) + " must be one of " + list + ", not '" +
                    std::string(tokens_[token].text) + "'",
                error);
  }

  // The rest of the line after token `after`, trimmed.
  std::string_view rest(std::size_t after) const {
    return trim(line_text_.substr(tokens_[after].end));
  }

  bool beginObject(std::string& error) {
    if (!arity(2, "object FILE.kvo", error)) return false;
    const std::string name(tokens_[1].text);
    const bool plain = std::all_of(name.begin(), name.end(), [](char c) {
      return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
             c == '_' || c == '-' || c == '.';
    });
    if (!plain || name.size() <= 4 || name.front() == '.' ||
        name.compare(name.size() - 4, 4, ".kvo") != 0)
      return fail("'" + name + "' is not a plain file name ending in .kvo", error);
    if (!names_.insert(name).second) return fail(name + " is described twice", error);
    draft_ = Draft{};
    draft_.fileName = name;
    draft_.line = line_;
    open_ = true;
    return true;
  }

  bool description(std::string& error) {
    if (draft_.hasDescription) return fail(draft_.fileName + " has two descriptions", error);
    const std::string_view d = rest(0);
    if (d.empty() || d.size() > 50)
      return fail("a description has 1 to 50 characters, this one " + std::to_string(d.size()),
                  error);
    draft_.hasDescription = true;
    draft_.description = std::string(d);
    return true;
  }

  bool pads(bool row, std::string& error) {
    const std::size_t first = row ? 2 : 1;
    if (!arity(first + 4 + (row ? 2 : 0), row ? "row N X Y DX DY SIZE STYLE" : "pad X Y SIZE STYLE",
               error))
      return false;
    int n = 1, x = 0, y = 0, dx = 0, dy = 0, size = 0, style = 0;
    if (row && !number(1, 1, kMaxRowPads, "the number of pads", n, error)) return false;
    if (!coordinate(first, x, error) || !coordinate(first + 1, y, error)) return false;
    std::size_t at = first + 2;
    if (row && (!coordinate(at++, dx, error) || !coordinate(at++, dy, error))) return false;
    if (!number(at, 0, kPinSizes - 1, "a pad size", size, error) ||
        !named(at + 1, {"circle", "horizontal", "vertical"}, "a pad style", style, error))
      return false;
    for (int i = 0; i < n; ++i) draft_.pins.push_back({x + i * dx, y + i * dy, size, style});
    return true;
  }

  bool ring(std::string& error) {
    int x = 0, y = 0, size = 0;
    if (!arity(4, "ring X Y SIZE", error) || !coordinate(1, x, error) || !coordinate(2, y, error) ||
        !number(3, 0, kPinSizes - 1, "a ring size", size, error))
      return false;
    draft_.pins.push_back({x, y, size, GraphicPinFlag});
    return true;
  }

  bool wire(std::string& error) {
    Draft::Wire w{};
    if (tokens_.size() < 7 || tokens_.size() % 2 != 1)
      return fail("expected 'wire LAYER WIDTH X Y X Y ...' with two or more points", error);
    if (!named(1, {"layer1", "layer2", "graphic"}, "a layer", w.layer, error) ||
        !number(2, 0, kWireWidths - 1, "a wire width", w.width, error))
      return false;
    for (std::size_t i = 3; i < tokens_.size(); i += 2) {
      int x = 0, y = 0;
      if (!coordinate(i, x, error) || !coordinate(i + 1, y, error)) return false;
      w.points.emplace_back(x, y);
    }
    draft_.wires.push_back(std::move(w));
    return true;
  }

  bool textLine(std::string& error) {
    Draft::Text t{};
    if (tokens_.size() < 6) return fail("expected 'text X Y LAYER SIZE TEXT'", error);
    if (!coordinate(1, t.x, error) || !coordinate(2, t.y, error) ||
        !named(3, {"layer1", "layer2", "graphic"}, "a layer", t.layer, error) ||
        !number(4, kMinTextSize, kMaxTextSize, "a text size", t.size, error))
      return false;
    const std::string_view s = rest(4);
    if (s.size() > 32)
      return fail("a text has at most 32 characters, this one " + std::to_string(s.size()), error);
    t.text = std::string(s);
    draft_.texts.push_back(std::move(t));
    return true;
  }

  bool endObject(std::string& error) {
    if (!arity(1, "end", error)) return false;
    open_ = false;
    if (!draft_.hasDescription) return fail(draft_.fileName + " has no description", error);
    if (draft_.pins.empty() && draft_.wires.empty() && draft_.texts.empty())
      return fail(draft_.fileName + " is empty", error);
    LibraryObject made;
    if (!place(made, error)) return false;
    out_.push_back(std::move(made));
    return true;
  }

  // Moves the draft onto the board: the box around its pads (or, without pads, around its
  // graphic pins, its wires or its texts) centred on the middle, its first such point on the
  // grid.
  bool place(LibraryObject& made, std::string& error) const {
    std::vector<std::pair<int, int>> anchor;
    for (const auto& p : draft_.pins)
      if (p.style < GraphicPinFlag) anchor.emplace_back(p.x, p.y);
    if (anchor.empty())
      for (const auto& p : draft_.pins) anchor.emplace_back(p.x, p.y);
    if (anchor.empty())
      for (const auto& w : draft_.wires)
        anchor.insert(anchor.end(), w.points.begin(), w.points.end());
    if (anchor.empty())
      for (const auto& t : draft_.texts) anchor.emplace_back(t.x, t.y);

    auto shift = [&](auto coord, int middle) {
      int lo = std::numeric_limits<int>::max(), hi = std::numeric_limits<int>::min();
      for (const auto& a : anchor) {
        lo = std::min(lo, coord(a));
        hi = std::max(hi, coord(a));
      }
      return centringShift(lo, hi, coord(anchor.front()), middle);
    };
    const int dx = shift([](const auto& a) { return a.first; }, kCenterBoardX);
    const int dy = shift([](const auto& a) { return a.second; }, kCenterBoardY);

    bool inside = true;
    auto at = [&](int x, int y, uint16_t& ox, uint16_t& oy) {
      x += dx;
      y += dy;
      if (x < 0 || x > kMaxBoardX || y < 0 || y > kMaxBoardY) inside = false;
      ox = static_cast<uint16_t>(std::clamp(x, 0, kMaxBoardX));
      oy = static_cast<uint16_t>(std::clamp(y, 0, kMaxBoardY));
    };

    made.fileName = draft_.fileName;
    made.line = draft_.line;
    ObjectData& o = made.object;
    o.description.set(draft_.description);
    for (const auto& p : draft_.pins) {
      Pin pin;
      at(p.x, p.y, pin.x, pin.y);
      pin.sizeIndex = static_cast<uint8_t>(p.size);
      pin.style = static_cast<uint8_t>(p.style);
      o.pins.push_back(pin);
    }
    for (const auto& w : draft_.wires) {
      for (std::size_t i = 0; i < w.points.size(); ++i) {
        WirePoint point;
        at(w.points[i].first, w.points[i].second, point.x, point.y);
        if (i == 0) {
          point.x = static_cast<uint16_t>(point.x + WireStartFlag);
          point.y = static_cast<uint16_t>(point.y + WireStartFlag);
          point.attr = kWireStartAttr;
        } else {
          point.attr = static_cast<uint8_t>(w.layer * 16 + w.width);
        }
        o.points.push_back(point);
      }
    }
    for (const auto& t : draft_.texts) {
      TextItem text;
      uint16_t x = 0;
      at(t.x, t.y, x, text.y);
      text.x = static_cast<uint16_t>(t.layer * 4096 + x);
      text.size = static_cast<uint8_t>(t.size);
      text.text.set(t.text);
      o.texts.push_back(text);
    }
    if (!inside) {
      error = std::to_string(draft_.line) + ": " + draft_.fileName +
              " does not fit on the board around its middle";
      return false;
    }
    return true;
  }

  std::vector<LibraryObject>& out_;
  std::set<std::string> names_;
  Draft draft_;
  bool open_ = false;
  int line_ = 0;
  std::vector<Token> tokens_;
  std::string_view line_text_;
};

}  // namespace

bool parseObjectLibrary(std::string_view text, std::vector<LibraryObject>& out,
                        std::string& error) {
  std::vector<LibraryObject> made;
  Parser parser(made);
  out.clear();
  int number = 0;
  while (!text.empty()) {
    const std::size_t eol = text.find('\n');
    const std::string_view line = text.substr(0, eol);
    text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
    if (!parser.line(++number, line, error)) return false;
  }
  if (!parser.finish(error)) return false;
  out = std::move(made);
  return true;
}

}  // namespace fw
