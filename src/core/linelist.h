// An ordered list of lines of code page 932 text, the form in which the
// clipboard text, the title-delete strings and the save folders are handled.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ixo {

class LineList {
 public:
  LineList() = default;
  explicit LineList(std::string_view text) { SetText(text); }

  // Empties the list, then cuts `text` at each CR LF, lone CR and lone LF; a
  // break at the very end adds no empty line; a zero byte ends the text.
  void SetText(std::string_view text);
  // Every line followed by CR LF; the empty list gives the empty text.
  std::string Text() const;

  size_t Count() const { return lines_.size(); }
  bool Empty() const { return lines_.empty(); }
  const std::string& operator[](size_t i) const { return lines_[i]; }
  std::string& operator[](size_t i) { return lines_[i]; }
  const std::vector<std::string>& Lines() const { return lines_; }

  void Add(std::string line) { lines_.push_back(std::move(line)); }
  void Insert(size_t i, std::string line);
  void Delete(size_t i);
  // Removes line `from`, then inserts it at `to` of the shortened list.
  void Move(size_t from, size_t to);
  void Clear() { lines_.clear(); }

 private:
  std::vector<std::string> lines_;
};

}  // namespace ixo
