#include "clipboard/clipboard.h"

#include <windows.h>

#include <cstring>

#include "core/cp932.h"
#include "core/error.h"
#include "win32/scoped.h"

namespace ixo {

namespace {

// Clipboard managers, and Wine's bridge to the X clipboard, open the
// clipboard right after every change to copy it, so one failed attempt
// usually means a moment's wait, not a clipboard held for good.
constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenRetryMs = 10;

constexpr wchar_t kOwnerClass[] = L"IxoClipboardOwner";
constexpr char kCannotOpen[] = "クリップボードを開くことができません";

void* DefaultAlloc(size_t bytes) { return GlobalAlloc(GMEM_MOVEABLE, bytes); }
ClipAllocFn clipAlloc = DefaultAlloc;

// A message-only window of the calling thread that owns what the program
// puts on the clipboard: emptying a clipboard opened without a window leaves
// it without an owner, and Windows documents SetClipboardData as failing
// then.
HWND OwnerWindow() {
  static const ATOM registered = [] {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kOwnerClass;
    return RegisterClassW(&wc);
  }();
  thread_local HWND owner = nullptr;
  if (registered && (!owner || !IsWindow(owner))) {
    owner = CreateWindowExW(0, kOwnerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  }
  return owner;
}

void OpenTheClipboard() {
  const HWND owner = OwnerWindow();
  for (int attempt = 1; !OpenClipboard(owner); ++attempt) {
    if (attempt == kOpenAttempts) throw Error(kCannotOpen);
    Sleep(kOpenRetryMs);
  }
}

// The clipboard, open for the lifetime of the object.
class OpenClipboardScope {
 public:
  OpenClipboardScope() { OpenTheClipboard(); }
  ~OpenClipboardScope() { CloseClipboard(); }
  OpenClipboardScope(const OpenClipboardScope&) = delete;
  OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
};

// A block of global memory holding a text and its zero, freed unless the
// clipboard takes it. Error(kCannotOpen) when there is no memory for it.
class TextBlock {
 public:
  explicit TextBlock(std::u16string_view text)
      : mem_(clipAlloc((text.size() + 1) * sizeof(char16_t))) {
    if (!mem_.Get()) throw Error(kCannotOpen);
    const GlobalLocked lock(mem_.Get());
    if (!lock.data()) throw Error(kCannotOpen);
    std::memcpy(lock.data(), text.data(), text.size() * sizeof(char16_t));
    std::memset(lock.data() + text.size() * sizeof(char16_t), 0, sizeof(char16_t));
  }
  // Hands the block to the clipboard as its text; false when it was not
  // taken (the block is still ours then).
  bool PlaceAsText() {
    if (!SetClipboardData(CF_UNICODETEXT, mem_.Get())) return false;
    mem_.Release();
    return true;
  }

 private:
  GlobalMemory mem_;
};

}  // namespace

ClipboardReader::ClipboardReader() { OpenTheClipboard(); }

ClipboardReader::~ClipboardReader() { CloseClipboard(); }

std::optional<std::u16string> ClipboardReader::Text() {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return std::nullopt;
  const HANDLE mem = GetClipboardData(CF_UNICODETEXT);
  if (!mem) return std::nullopt;
  const GlobalLocked lock(mem);
  if (!lock.data()) return std::nullopt;
  // Another program's block need not end in a zero: read no further than
  // the block goes.
  const auto* units = reinterpret_cast<const char16_t*>(lock.data());
  const size_t size = GlobalSize(mem) / sizeof(char16_t);
  size_t n = 0;
  while (n < size && units[n] != 0) ++n;
  return std::u16string(units, n);
}

std::optional<std::string> ClipboardReader::Data(std::string_view name) {
  const UINT format = RegisterClipboardFormatW(std::wstring(name.begin(), name.end()).c_str());
  if (format == 0 || !IsClipboardFormatAvailable(format)) return std::nullopt;
  // A format may be on the clipboard with nothing in it (a marker, or data
  // its program never rendered): it is there all the same.
  const HANDLE mem = GetClipboardData(format);
  if (!mem) return std::string();
  const GlobalLocked lock(mem);
  if (!lock.data()) return std::string();
  return std::string(lock.data(), GlobalSize(mem));
}

std::optional<ClipCopy> ReadNewCopy(std::u16string& last) {
  ClipboardReader clip;
  return TakeNewCopy(clip, last);
}

std::optional<ClipCopy> ReadCopy() {
  ClipboardReader clip;
  return TakeCopy(clip);
}

bool GetClipText(std::u16string& text) {
  std::optional<ClipCopy> copy = ReadCopy();
  if (!copy) return false;
  text = std::move(copy->text);
  return true;
}

bool GetClipText(std::string& text) {
  std::u16string unicode;
  if (!GetClipText(unicode)) return false;
  text = Utf16ToCp932(unicode);
  return true;
}

void SetClipText(std::u16string_view text) {
  // The clipboard's text ends at the first zero.
  text = text.substr(0, text.find(u'\0'));
  // The text is made ready before the clipboard is touched: without memory
  // for it the user's clipboard stays as it was.
  TextBlock block(text);
  OpenClipboardScope clipboard;
  if (!EmptyClipboard() || !block.PlaceAsText()) throw Error(kCannotOpen);
}

void SetClipText(std::string_view text) {
  SetClipText(Cp932ToUtf16(text.substr(0, text.find('\0'))));
}

void SetClipAllocForTests(ClipAllocFn alloc) { clipAlloc = alloc ? alloc : DefaultAlloc; }

}  // namespace ixo
