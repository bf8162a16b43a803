// The clipboard as plain text (CF_TEXT, code page 932), and the rule that
// tells new clipboard text from text already taken.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/linelist.h"

namespace ixo {

// True when the clipboard holds text; only then is `text` set. Throws
// Error("クリップボードを開くことができません") when the clipboard stays held.
bool GetClipText(std::string& text);

// Replaces the clipboard's contents with `text` as plain text. Throws
// Error("クリップボードを開くことができません") when the clipboard stays held
// or the text cannot be placed; without memory for the text the clipboard
// is left as it was.
void SetClipText(std::string_view text);

// Tests only: replaces the allocation of the block that carries the text to
// the clipboard (GlobalAlloc), so that its failure can be seen; nullptr
// gives the real one back.
using ClipAllocFn = void* (*)(size_t bytes);
void SetClipAllocForTests(ClipAllocFn alloc);

// True when the clipboard holds text that differs from `last`; then `last`
// takes it and `lines` is set from it.
bool GetNewClipText(std::string& last, LineList& lines);

}  // namespace ixo
