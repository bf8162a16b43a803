#include "core/cliptext.h"

#include "core/cfhtml.h"
#include "core/extract.h"
#include "core/foreign.h"
#include "core/html.h"

namespace ixo {

bool IsPrivateCopy(ClipSource& clip) {
  if (clip.Data(kExcludeFromMonitors)) return true;
  // A DWORD: 0 keeps the copy out of the clipboard history, and out of here.
  const std::optional<std::string> history = clip.Data(kClipboardHistory);
  return history && history->size() >= 4 && history->compare(0, 4, std::string(4, '\0')) == 0;
}

std::optional<ClipCopy> TakeCopy(ClipSource& clip) {
  std::optional<std::u16string> text = clip.Text();
  if (!text) return std::nullopt;
  return ClipCopy{std::move(*text), clip.Data(kHtmlFormat)};
}

std::optional<ClipCopy> TakeNewCopy(ClipSource& clip, std::u16string& last) {
  if (IsPrivateCopy(clip)) return std::nullopt;
  std::optional<ClipCopy> copy = TakeCopy(clip);
  if (!copy || copy->text == last) return std::nullopt;
  last = copy->text;
  return copy;
}

std::u16string CleanTitleText(std::u16string_view title, const LineList& delList) {
  ForeignTable table;
  return FromCoreText(CleanTitle(ToCoreText(title, table), delList), table);
}

TURLText FindURL(const ClipCopy& copy, std::string_view extra, const LineList& delList, bool https,
                 bool linkTitle) {
  ForeignTable table;
  const LineList lines(ToCoreText(copy.text, table));
  bool fromAddress = false;
  const TURLRecord found = ExtractURL(extra, delList, lines, https, &fromAddress);
  TURLText result{FromCoreText(found.Title, table), FromCoreText(found.URL, table),
                  fromAddress && !found.Title.empty()};
  if (result.TitleFromAddress && linkTitle && copy.html) {
    if (const std::optional<std::string_view> fragment = CfHtmlFragment(*copy.html)) {
      std::u16string title = CleanTitleText(LinkTitle(*fragment, found.URL), delList);
      if (!title.empty()) {
        result.Title = std::move(title);
        result.TitleFromAddress = false;
      }
    }
  }
  return result;
}

}  // namespace ixo
