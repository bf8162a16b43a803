// The line list: cutting a text into lines at every kind of line break and
// joining the lines again with CR LF.
#include "core/linelist.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/error.h"

namespace ixo {

namespace {

[[noreturn]] void OutOfBounds(size_t i) {
  throw Error("List index out of bounds (" + std::to_string(i) + ")");
}

}  // namespace

void LineList::SetText(std::string_view text) {
  lines_.clear();
  // A zero byte ends the text.
  if (const void* z = std::memchr(text.data(), 0, text.size())) {
    text = text.substr(0, static_cast<const char*>(z) - text.data());
  }
  const char* const base = text.data();
  const size_t n = text.size();
  // Next CR and next LF at or after p (n when none), each found again by
  // memchr only once p has passed it: linear, and fast on long lines.
  auto find = [&](char c, size_t from) -> size_t {
    const void* f = std::memchr(base + from, c, n - from);
    return f ? static_cast<size_t>(static_cast<const char*>(f) - base) : n;
  };
  size_t p = 0;
  size_t cr = n > 0 ? find('\r', 0) : n;
  size_t lf = n > 0 ? find('\n', 0) : n;
  while (p < n) {
    if (cr < p) cr = find('\r', p);
    if (lf < p) lf = find('\n', p);
    const size_t e = cr < lf ? cr : lf;
    lines_.emplace_back(base + p, e - p);
    p = e;
    // CR LF is one break; a lone CR or a lone LF is one; LF CR is two.
    if (p < n && base[p] == '\r') ++p;
    if (p < n && base[p] == '\n') ++p;
  }
}

std::string LineList::Text() const {
  size_t total = 0;
  for (const std::string& line : lines_) total += line.size() + 2;
  std::string out;
  out.reserve(total);
  for (const std::string& line : lines_) {
    out.append(line);
    out.append("\r\n", 2);
  }
  return out;
}

void LineList::Insert(size_t i, std::string line) {
  if (i > lines_.size()) OutOfBounds(i);
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(i), std::move(line));
}

void LineList::Delete(size_t i) {
  if (i >= lines_.size()) OutOfBounds(i);
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
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

}  // namespace ixo
