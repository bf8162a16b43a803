// What the program takes from the clipboard and what it finds there: the
// copy's text (unless the copy is private), the rule that tells a new copy
// from one already taken, and the address and title in the text. The text
// comes in as Unicode and goes through the core's code page 932 rules with a
// table of its own for the characters that code page cannot hold, so that
// the title and the address go back out whole.
//
// It reads the clipboard through ClipSource: the program's is the system's
// clipboard (clipboard/clipboard.h), the tests' a table of formats.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/linelist.h"

namespace ixo {

class ClipSource {
 public:
  virtual ~ClipSource() = default;
  // The clipboard's text up to its first zero; nullopt when it holds none.
  virtual std::optional<std::u16string> Text() = 0;
  // The bytes of the format registered under `name`; nullopt when the
  // clipboard does not hold it.
  virtual std::optional<std::string> Data(std::string_view name) = 0;
};

// Formats by which a copy asks the programs that watch the clipboard to
// leave it alone: a password manager's, a private browser window's.
inline constexpr std::string_view kExcludeFromMonitors =
    "ExcludeClipboardContentFromMonitorProcessing";
inline constexpr std::string_view kClipboardHistory = "CanIncludeInClipboardHistory";
// The HTML a browser puts with what it copied (CF_HTML).
inline constexpr std::string_view kHtmlFormat = "HTML Format";

// True when the copy carries the exclusion format, or the history format
// holding 0.
bool IsPrivateCopy(ClipSource& clip);

// One copy, as the program takes it.
struct ClipCopy {
  std::u16string text;
  std::optional<std::string> html;  // its "HTML Format", where it has one
};

// The watch's reading: the copy when it is not private and its text differs
// in any character from `last`, which then takes it; nullopt otherwise
// (`last` unchanged).
std::optional<ClipCopy> TakeNewCopy(ClipSource& clip, std::u16string& last);
// The reading of a button the user presses on purpose: any copy with text,
// private or not, new or not.
std::optional<ClipCopy> TakeCopy(ClipSource& clip);

// A title and an address in Unicode, as the boxes show them.
struct TURLText {
  std::u16string Title;  // empty: nothing was found
  std::u16string URL;
  // The title was made from the address itself: nothing of the copy named
  // the page.
  bool TitleFromAddress = false;
  bool operator==(const TURLText&) const = default;
};

// ExtractURL on the copy's text. With `linkTitle`, an address copied alone
// (whose title would be made from its own line) takes the text of the
// copy's HTML link to exactly that address as its title, cleaned as every
// title is.
TURLText FindURL(const ClipCopy& copy, std::string_view extra, const LineList& delList, bool https,
                 bool linkTitle = false);

// A title from elsewhere (a page's own) cleaned as a title of the clipboard
// is: what a file name cannot hold and the strings of `delList` removed, the
// ends trimmed. Empty when nothing is left.
std::u16string CleanTitleText(std::u16string_view title, const LineList& delList);

}  // namespace ixo
