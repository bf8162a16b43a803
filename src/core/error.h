// The one kind of error the program's users can meet: a file that cannot be
// created, a clipboard held by another program, a settings file that cannot
// be written. It carries the message as code page 932 text and ends in the
// application's error box.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace ixo {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// `pattern` with its one "%s" replaced by `arg` (both code page 932 text).
std::string FormatMessage1(std::string_view pattern, std::string_view arg);

}  // namespace ixo
