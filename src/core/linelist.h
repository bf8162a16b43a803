// An ordered list of lines of code page 932 text, the form in which the
// clipboard text, the title-delete strings and the save folders are handled.
//
// The text set is copied once into one buffer, and its lines are views into
// that buffer: a clipboard text of many megabytes costs one copy and a view
// per line, not an allocation per line. A line added or inserted later is
// kept in a store of its own beside the buffer. Buffer and store never
// change once written and are shared by the copies of a list, so a view
// stays valid as long as its line is in some list: Insert, Add and Move
// leave every line where it is, Delete releases only the deleted line, and
// SetText and Clear release the lines the list held.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ixo {

class LineList {
 public:
  LineList() = default;
  explicit LineList(std::string_view text) { SetText(text); }
  LineList(const LineList&) = default;
  LineList& operator=(const LineList& other);
  // The list moved from is left empty.
  LineList(LineList&& other) noexcept;
  LineList& operator=(LineList&& other) noexcept;

  // Empties the list, then cuts `text` at each CR LF, lone CR and lone LF; a
  // break at the very end adds no empty line; a zero byte ends the text.
  // `text` may view lines of this list.
  void SetText(std::string_view text);
  // Every line followed by CR LF; the empty list gives the empty text.
  std::string Text() const;

  size_t Count() const { return lines_.size(); }
  bool Empty() const { return lines_.empty(); }
  std::string_view operator[](size_t i) const { return lines_[i]; }
  const std::vector<std::string_view>& Lines() const { return lines_; }

  void Add(std::string line) { lines_.push_back(Keep(std::move(line))); }
  void Insert(size_t i, std::string line);
  void Delete(size_t i);
  // Removes line `from`, then inserts it at `to` of the shortened list.
  void Move(size_t from, size_t to);
  void Clear();

 private:
  // A view of `line`, kept in the store (the empty line needs no storage).
  std::string_view Keep(std::string line);

  // The text last set, whole; its lines are views into it.
  std::shared_ptr<const char[]> text_;
  // The lines added or inserted since, one string each.
  std::vector<std::shared_ptr<const std::string>> store_;
  std::vector<std::string_view> lines_;
};

}  // namespace ixo
