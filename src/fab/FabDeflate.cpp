// Deflate with Huffman codes alone, written for the zip of the set. zlib's Z_HUFFMAN_ONLY makes
// the same kind of data, as small, but passes every byte through its window and its 16-bit bit
// buffer and runs at some 130 MB/s, hardly faster than its level 1; codes written from a table
// straight into a 64-bit buffer run at some 700 MB/s. The Gerber text's coordinates seldom
// repeat, so codes fitted to its few kinds of character win most of what deflate can on it.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <queue>
#include <vector>

#include "fab/FabSet.h"

namespace fw {

namespace {

constexpr int kLiterals = 257;  // the bytes and the end of the block; no lengths are used
constexpr int kMaxBits = 15;    // the longest code deflate allows
constexpr int kMaxLengthBits = 7;
// The order in which a block's header gives the code lengths of the code-length code.
constexpr int kLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// Huffman code lengths for `counts`, none longer than `maxBits`: a code too long for deflate
// is made shorter by halving the counts and building again, which flattens the tree a little
// at a time. A lone symbol gets a partner, as a code needs two.
std::vector<uint8_t> codeLengths(std::vector<uint64_t> counts, int maxBits) {
  const std::size_t n = counts.size();
  std::size_t used =
      std::size_t(std::count_if(counts.begin(), counts.end(), [](uint64_t c) { return c > 0; }));
  for (std::size_t s = 0; used < 2 && s < n; ++s)
    if (counts[s] == 0) counts[s] = 1, ++used;
  for (;;) {
    // Leaves are 0..n-1, inner nodes from n on; each node's parent, to count its depth.
    std::vector<std::size_t> parent(2 * n, 0);
    using Node = std::pair<uint64_t, std::size_t>;
    std::priority_queue<Node, std::vector<Node>, std::greater<Node>> queue;
    for (std::size_t s = 0; s < n; ++s)
      if (counts[s] > 0) queue.push({counts[s], s});
    std::size_t next = n;
    while (queue.size() > 1) {
      const Node a = queue.top();
      queue.pop();
      const Node b = queue.top();
      queue.pop();
      parent[a.second] = parent[b.second] = next;
      queue.push({a.first + b.first, next++});
    }
    const std::size_t root = next - 1;
    std::vector<uint8_t> lengths(n, 0);
    bool fits = true;
    for (std::size_t s = 0; s < n; ++s) {
      if (counts[s] == 0) continue;
      int depth = 0;
      for (std::size_t v = s; v != root; v = parent[v]) ++depth;
      fits = fits && depth <= maxBits;
      lengths[s] = uint8_t(depth);
    }
    if (fits) return lengths;
    for (uint64_t& c : counts)
      if (c > 0) c = (c + 1) / 2;
  }
}

// The canonical codes of `lengths`, bit-reversed, as deflate writes codes first bit first.
std::vector<uint32_t> codes(const std::vector<uint8_t>& lengths) {
  std::array<uint32_t, kMaxBits + 2> count{}, next{};
  for (const uint8_t l : lengths) ++count[l];
  count[0] = 0;
  for (int bits = 1; bits <= kMaxBits + 1; ++bits)
    next[std::size_t(bits)] = (next[std::size_t(bits - 1)] + count[std::size_t(bits - 1)]) << 1;
  std::vector<uint32_t> result(lengths.size(), 0);
  for (std::size_t s = 0; s < lengths.size(); ++s) {
    const int l = lengths[s];
    if (l == 0) continue;
    uint32_t code = next[std::size_t(l)]++, reversed = 0;
    for (int i = 0; i < l; ++i, code >>= 1) reversed = (reversed << 1) | (code & 1);
    result[s] = reversed;
  }
  return result;
}

// Bits into a byte buffer first bit first. Fewer than 32 bits wait between put()s, so put()
// takes up to 32 bits at once.
class BitWriter {
 public:
  explicit BitWriter(char* to) : to_(to) {}
  void put(uint64_t bits, int count) {
    bits_ |= bits << filled_;
    filled_ += count;
    if (filled_ >= 32) {
      for (int k = 0; k < 4; ++k) *to_++ = char((bits_ >> (8 * k)) & 0xff);
      bits_ >>= 32;
      filled_ -= 32;
    }
  }
  // Writes what waits, padded with zero bits to a whole byte; returns the end.
  char* flush() {
    for (; filled_ > 0; filled_ -= 8, bits_ >>= 8) *to_++ = char(bits_ & 0xff);
    filled_ = 0;
    return to_;
  }

 private:
  char* to_;
  uint64_t bits_ = 0;
  int filled_ = 0;
};

}  // namespace

void deflateHuffmanOnly(std::string_view bytes, std::string& out) {
  // Four counts per byte value side by side, so that runs of one character do not wait on
  // the same counter.
  std::vector<uint32_t> counts4(4 * 256, 0);
  std::size_t i = 0;
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  for (; i + 4 <= bytes.size(); i += 4) {
    ++counts4[b[i]];
    ++counts4[256 + b[i + 1]];
    ++counts4[512 + b[i + 2]];
    ++counts4[768 + b[i + 3]];
  }
  for (; i < bytes.size(); ++i) ++counts4[b[i]];
  std::vector<uint64_t> counts(kLiterals, 0);
  for (int s = 0; s < 256; ++s)
    counts[std::size_t(s)] = uint64_t(counts4[std::size_t(s)]) + counts4[std::size_t(256 + s)] +
                             counts4[std::size_t(512 + s)] + counts4[std::size_t(768 + s)];
  counts[256] = 1;  // the end of the block
  const std::vector<uint8_t> lengths = codeLengths(counts, kMaxBits);
  const std::vector<uint32_t> literalCodes = codes(lengths);

  // The header lists the literal lengths and then two distance codes of one bit, never used:
  // a distance code is expected though no length refers to it.
  std::vector<uint8_t> listed(lengths);
  listed.push_back(1);
  listed.push_back(1);
  std::vector<uint64_t> lengthCounts(19, 0);
  for (const uint8_t l : listed) ++lengthCounts[l];
  const std::vector<uint8_t> lengthLengths = codeLengths(lengthCounts, kMaxLengthBits);
  const std::vector<uint32_t> lengthCodes = codes(lengthLengths);

  // The most it can take: the block's header, its data, and the empty stored block after it.
  uint64_t bits = 3 + 5 + 5 + 4 + 19 * 3 + kMaxBits;  // with the end of the block
  for (const uint8_t l : listed) bits += lengthLengths[l];
  for (int s = 0; s < 256; ++s) bits += counts[std::size_t(s)] * lengths[std::size_t(s)];
  const std::size_t size = std::size_t((bits + 3 + 7) / 8) + 4;
  out.resize(size);

  BitWriter w(out.data());
  w.put(0b100, 3);  // not the last block; dynamic codes (2), first bit first
  w.put(kLiterals - 257, 5);
  w.put(listed.size() - kLiterals - 1, 5);
  w.put(19 - 4, 4);
  for (const int s : kLengthOrder) w.put(lengthLengths[std::size_t(s)], 3);
  for (const uint8_t l : listed) w.put(lengthCodes[l], lengthLengths[l]);
  // Two bytes at a time: two codes of up to 15 bits fit in what put() takes.
  std::array<uint32_t, 256> pairBits{};
  std::array<uint8_t, 256> pairLengths{};
  for (int s = 0; s < 256; ++s) {
    pairBits[std::size_t(s)] = literalCodes[std::size_t(s)];
    pairLengths[std::size_t(s)] = lengths[std::size_t(s)];
  }
  i = 0;
  for (; i + 2 <= bytes.size(); i += 2) {
    const unsigned char x = b[i], y = b[i + 1];
    w.put(pairBits[x] | (uint64_t(pairBits[y]) << pairLengths[x]), pairLengths[x] + pairLengths[y]);
  }
  if (i < bytes.size()) w.put(pairBits[b[i]], pairLengths[b[i]]);
  w.put(literalCodes[256], lengths[256]);
  // The empty stored block that ends the piece on a byte, as zlib's Z_SYNC_FLUSH writes it.
  w.put(0, 3);
  char* end = w.flush();
  std::memcpy(end, "\x00\x00\xff\xff", 4);
  out.resize(std::size_t(end + 4 - out.data()));
}

}  // namespace fw
