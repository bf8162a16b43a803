#include "clipboard/clipboard.h"

#include <windows.h>

#include <cstring>

#include "core/error.h"
#include "win32/scoped.h"

namespace ixo {

namespace {

// Clipboard managers, and Wine's bridge to the X clipboard, open the
// clipboard right after every change to copy it, so one failed attempt
// usually means a moment's wait, not a clipboard held for good.
constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenRetryMs = 10;

constexpr char kOwnerClass[] = "IxoClipboardOwner";
constexpr char kCannotOpen[] = "クリップボードを開くことができません";

void* DefaultAlloc(size_t bytes) { return GlobalAlloc(GMEM_MOVEABLE, bytes); }
ClipAllocFn clipAlloc = DefaultAlloc;

// A message-only window of the calling thread that owns what the program
// puts on the clipboard: emptying a clipboard opened without a window leaves
// it without an owner, and Windows documents SetClipboardData as failing
// then.
HWND OwnerWindow() {
  static const ATOM registered = [] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kOwnerClass;
    return RegisterClassA(&wc);
  }();
  thread_local HWND owner = nullptr;
  if (registered && (!owner || !IsWindow(owner))) {
    owner = CreateWindowExA(0, kOwnerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
  }
  return owner;
}

// The clipboard, open for the lifetime of the object.
class OpenClipboardScope {
 public:
  OpenClipboardScope() {
    const HWND owner = OwnerWindow();
    for (int attempt = 1; !OpenClipboard(owner); ++attempt) {
      if (attempt == kOpenAttempts) throw Error(kCannotOpen);
      Sleep(kOpenRetryMs);
    }
  }
  ~OpenClipboardScope() { CloseClipboard(); }
  OpenClipboardScope(const OpenClipboardScope&) = delete;
  OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
};

// A block of global memory holding a text and its zero byte, freed unless
// the clipboard takes it. Error(kCannotOpen) when there is no memory for it.
class TextBlock {
 public:
  explicit TextBlock(std::string_view text) : mem_(clipAlloc(text.size() + 1)) {
    if (!mem_.Get()) throw Error(kCannotOpen);
    const GlobalLocked lock(mem_.Get());
    if (!lock.data()) throw Error(kCannotOpen);
    std::memcpy(lock.data(), text.data(), text.size());
    lock.data()[text.size()] = '\0';
  }
  // Hands the block to the clipboard as its text; false when it was not
  // taken (the block is still ours then).
  bool PlaceAsText() {
    if (!SetClipboardData(CF_TEXT, mem_.Get())) return false;
    mem_.Release();
    return true;
  }

 private:
  GlobalMemory mem_;
};

}  // namespace

bool GetClipText(std::string& text) {
  OpenClipboardScope clipboard;
  if (!IsClipboardFormatAvailable(CF_TEXT)) return false;
  const HANDLE mem = GetClipboardData(CF_TEXT);
  if (!mem) return false;
  const GlobalLocked lock(mem);
  if (!lock.data()) return false;
  // Another program's block need not end in a zero byte: read no further
  // than the block goes.
  const size_t size = GlobalSize(mem);
  text.assign(lock.data(), strnlen(lock.data(), size));
  return true;
}

void SetClipText(std::string_view text) {
  // The clipboard's text ends at the first zero byte.
  text = text.substr(0, text.find('\0'));
  // The text is made ready before the clipboard is touched: without memory
  // for it the user's clipboard stays as it was.
  TextBlock block(text);
  OpenClipboardScope clipboard;
  if (!EmptyClipboard() || !block.PlaceAsText()) throw Error(kCannotOpen);
}

void SetClipAllocForTests(ClipAllocFn alloc) { clipAlloc = alloc ? alloc : DefaultAlloc; }

bool GetNewClipText(std::string& last, LineList& lines) {
  std::string now;
  if (!GetClipText(now) || now == last) return false;
  lines.SetText(now);
  last = std::move(now);
  return true;
}

}  // namespace ixo
