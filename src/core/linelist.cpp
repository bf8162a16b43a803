// The line list: cutting a text into lines at every kind of line break and
// joining the lines again with CR LF.
#include "core/linelist.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/error.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ixo {

namespace {

[[noreturn]] void OutOfBounds(size_t i) {
  throw Error("List index out of bounds (" + std::to_string(i) + ")");
}

// Bits k of `cr` and `lf` tell whether byte k of a block of 64 is a CR, a LF.
struct Breaks {
  uint64_t cr = 0;
  uint64_t lf = 0;
};

// The breaks in the block of 64 bytes at `from`, copied to `to` on the way.
inline Breaks CopyBlock(const char* from, char* to) {
  Breaks b;
#if defined(__SSE2__)
  // Sixteen bytes at a time, on every x86-64 processor.
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  for (int j = 0; j < 64; j += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + j));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + j), v);
    b.cr |= uint64_t{static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)))} << j;
    b.lf |= uint64_t{static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)))} << j;
  }
#else
  std::memcpy(to, from, 64);
  for (int j = 0; j < 64; ++j) {
    b.cr |= uint64_t{from[j] == '\r'} << j;
    b.lf |= uint64_t{from[j] == '\n'} << j;
  }
#endif
  return b;
}

// Copies `text`, which holds no zero byte, to `buffer` and appends its lines
// there to `lines`. Every CR and every LF is a break, except a LF straight
// after a CR: CR LF is one break, LF CR two.
void CopyAndCut(std::string_view text, char* buffer, std::vector<std::string_view>& lines) {
  const char* const t = text.data();
  const size_t n = text.size();
  size_t start = 0;  // of the line being read
  // The line ending at break e (a CR, or a LF after anything but a CR).
  auto end = [&](size_t e) {
    lines.emplace_back(buffer + start, e - start);
    start = e + 1;
    if (t[e] == '\r' && start < n && t[start] == '\n') ++start;
  };
  // Blocks of 64 bytes: the breaks that end a line, found all at once.
  uint64_t crBefore = 0;  // the byte before the block is a CR
  size_t i = 0;
  for (; i + 64 <= n; i += 64) {
    const Breaks b = CopyBlock(t + i, buffer + i);
    for (uint64_t ends = b.cr | (b.lf & ~((b.cr << 1) | crBefore)); ends != 0; ends &= ends - 1) {
      end(i + static_cast<size_t>(std::countr_zero(ends)));
    }
    crBefore = b.cr >> 63;
  }
  std::memcpy(buffer + i, t + i, n - i);
  for (; i < n; ++i) {
    if (t[i] == '\r' || (t[i] == '\n' && (i == 0 || t[i - 1] != '\r'))) end(i);
  }
  // A break at the very end adds no empty line.
  if (start < n) lines.emplace_back(buffer + start, n - start);
}

}  // namespace

LineList& LineList::operator=(const LineList& other) {
  // Through a whole copy: the views are never of storage the list let go.
  if (this != &other) *this = LineList(other);
  return *this;
}

LineList::LineList(LineList&& other) noexcept
    : text_(std::move(other.text_)),
      store_(std::move(other.store_)),
      lines_(std::move(other.lines_)) {
  other.Clear();
}

LineList& LineList::operator=(LineList&& other) noexcept {
  if (this != &other) {
    text_ = std::move(other.text_);
    store_ = std::move(other.store_);
    lines_ = std::move(other.lines_);
    other.Clear();
  }
  return *this;
}

void LineList::SetText(std::string_view text) {
  // A zero byte ends the text.
  if (const void* z = std::memchr(text.data(), 0, text.size())) {
    text = text.substr(0, static_cast<size_t>(static_cast<const char*>(z) - text.data()));
  }
  // The storage of the old lines stays until the end: `text` may view it.
  const std::shared_ptr<const char[]> oldText = std::move(text_);
  const std::vector<std::shared_ptr<const std::string>> oldStore = std::move(store_);
  Clear();
  if (text.empty()) return;
  std::shared_ptr<char[]> buffer(new char[text.size()]);
  text_ = buffer;
  // Room for the lines of most texts at once (one line in 32 bytes), so that
  // the views are seldom copied to a larger block; the room left over goes
  // back when it is large.
  lines_.reserve(text.size() / 32 + 1);
  CopyAndCut(text, buffer.get(), lines_);
  if (lines_.size() < lines_.capacity() / 8) lines_.shrink_to_fit();
}

std::string LineList::Text() const {
  size_t total = 0;
  for (const std::string_view line : lines_) total += line.size() + 2;
  std::string out;
  out.reserve(total);
  for (const std::string_view line : lines_) {
    out.append(line);
    out.append("\r\n", 2);
  }
  return out;
}

std::string_view LineList::Keep(std::string line) {
  // Not a null pointer: the Windows calls that take a line with its length
  // refuse a null one even when the length is 0.
  if (line.empty()) return std::string_view("", 0);
  store_.push_back(std::make_shared<const std::string>(std::move(line)));
  return *store_.back();
}

void LineList::Insert(size_t i, std::string line) {
  if (i > lines_.size()) OutOfBounds(i);
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(i), Keep(std::move(line)));
}

void LineList::Delete(size_t i) {
  if (i >= lines_.size()) OutOfBounds(i);
  const std::string_view line = lines_[i];
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
  // A line of the store goes with it. A line of one or more bytes is found by
  // the address of its first byte, which no other line of the store and no
  // line of the text shares.
  if (line.empty()) return;
  const auto kept = std::find_if(store_.begin(), store_.end(),
                                 [&](const auto& s) { return s->data() == line.data(); });
  if (kept != store_.end()) {
    std::swap(*kept, store_.back());
    store_.pop_back();
  }
}

void LineList::Move(size_t from, size_t to) {
  // Both indexes are checked before anything changes: `to` is an index of the
  // list shortened by the line taken out.
  if (from >= lines_.size()) OutOfBounds(from);
  if (to >= lines_.size()) OutOfBounds(to);
  if (from == to) return;
  auto b = lines_.begin();
  const auto f = static_cast<std::ptrdiff_t>(from);
  const auto t = static_cast<std::ptrdiff_t>(to);
  if (from < to) {
    std::rotate(b + f, b + f + 1, b + t + 1);
  } else {
    std::rotate(b + t, b + f, b + f + 1);
  }
}

void LineList::Clear() {
  lines_.clear();
  store_.clear();
  text_.reset();
}

}  // namespace ixo
