// The one kind of error the program's users can meet: a file that cannot be
// created, a clipboard held by another program, a settings file that cannot
// be written. It carries the message as code page 932 text, and whole in
// Unicode when it names something that code page cannot hold (a file of any
// name), and ends in the application's error box.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace ixo {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
  // `message` is `unicode` in code page 932, with '?' for what it cannot hold.
  Error(const std::string& message, std::u16string unicode)
      : std::runtime_error(message), unicode_(std::move(unicode)) {}
  // The message whole; empty when what() is all of it.
  const std::u16string& Unicode() const { return unicode_; }

 private:
  std::u16string unicode_;
};

// `pattern` with its one "%s" replaced by `arg` (both code page 932 text).
std::string FormatMessage1(std::string_view pattern, std::string_view arg);
// The same in Unicode.
std::u16string FormatMessage1(std::u16string_view pattern, std::u16string_view arg);

}  // namespace ixo
