// The system's clipboard: a reading of what one copy offers (its Unicode
// text and the formats that come with it), and putting text on it. What the
// program makes of a copy is the core's (core/cliptext.h).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/cliptext.h"

namespace ixo {

// The clipboard, open for as long as the object lives: everything read
// through it belongs to one copy. Throws
// Error("クリップボードを開くことができません") when another program keeps
// the clipboard.
class ClipboardReader : public ClipSource {
 public:
  ClipboardReader();
  ~ClipboardReader() override;
  ClipboardReader(const ClipboardReader&) = delete;
  ClipboardReader& operator=(const ClipboardReader&) = delete;

  // CF_UNICODETEXT, which the system makes from any text a program puts.
  std::optional<std::u16string> Text() override;
  std::optional<std::string> Data(std::string_view name) override;
};

// The clipboard opened for one reading each (see core/cliptext.h).
std::optional<ClipCopy> ReadNewCopy(std::u16string& last);
std::optional<ClipCopy> ReadCopy();

// True when the clipboard holds text; only then is `text` set. The second
// form gives it in code page 932, where a character that code page cannot
// hold is '?'. Throws as ClipboardReader does.
bool GetClipText(std::u16string& text);
bool GetClipText(std::string& text);

// Replaces the clipboard's contents with `text` as Unicode text; the second
// form takes code page 932 text. Throws
// Error("クリップボードを開くことができません") when the clipboard stays held
// or the text cannot be placed; without memory for the text the clipboard
// is left as it was.
void SetClipText(std::u16string_view text);
void SetClipText(std::string_view text);

// Tests only: replaces the allocation of the block that carries the text to
// the clipboard (GlobalAlloc), so that its failure can be seen; nullptr
// gives the real one back.
using ClipAllocFn = void* (*)(size_t bytes);
void SetClipAllocForTests(ClipAllocFn alloc);

}  // namespace ixo
