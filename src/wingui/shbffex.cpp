#include "wingui/shbffex.h"

#include <array>
#include <cwchar>
#include <mutex>
#include <set>
#include <utility>

#include "core/browse_geometry.h"
#include "win32/scoped.h"
#include "win32/wide.h"

namespace ixo {
namespace {

// Special folders by ordinal, shared by TSelectFolder and TRootFolder.
constexpr std::array<int, 11> kSpecialFolders = {
    CSIDL_DESKTOP,           // sfDesktop
    CSIDL_DESKTOP,           // sfManual, when the name does not resolve
    CSIDL_DRIVES,            // sfDrives
    CSIDL_DESKTOPDIRECTORY,  // sfDesktopDir
    CSIDL_FAVORITES,         // sfFavorites
    CSIDL_PROGRAMS,          // sfPrograms
    CSIDL_RECENT,            // sfRecent
    CSIDL_SENDTO,            // sfSendTo
    CSIDL_STARTMENU,         // sfStartMenu
    CSIDL_STARTUP,           // sfStartup
    CSIDL_TEMPLATES,         // sfTemplates
};

constexpr std::array<UINT, 5> kOptionFlags = {
    BIF_DONTGOBELOWDOMAIN,  // sboDontGoBelowDomain
    BIF_RETURNFSANCESTORS,  // sboReturnFSAncestors
    BIF_RETURNONLYFSDIRS,   // sboReturnOnlyFSDirs
    BIF_STATUSTEXT,         // sboStatusTextAndShowPath
    BIF_STATUSTEXT,         // sboStatusText
};

// The browser writes the display name into a buffer of MAX_PATH characters;
// the same buffer then takes the chosen folder's path.
constexpr ULONG kDisplayNameSize = MAX_PATH;
// The path buffer of the callback, larger than any path the call writes.
constexpr size_t kCallbackPathSize = 513;

HWND applicationWindow = nullptr;

// The components that exist. The callback's data is an integer the shell
// hands back; it is taken for a component only when it is one of these, so
// a stray value is never dereferenced. Made on first use, so that a
// component with static storage in another file finds it ready.
struct Registry {
  std::mutex mutex;
  std::set<const TSHBrowseForFolderEx*> live;
};

Registry& Components() {
  static Registry registry;
  return registry;
}

bool IsLive(const TSHBrowseForFolderEx* component) {
  Registry& r = Components();
  std::lock_guard<std::mutex> lock(r.mutex);
  return r.live.count(component) != 0;
}

// True when `item` is a folder or has subfolders. The call's result code is
// not looked at: the mask as it comes back decides.
bool IsFolderLike(LPCITEMIDLIST item) {
  SFGAOF attributes = SFGAO_FOLDER | SFGAO_HASSUBFOLDER;
  // The item is asked of its own parent folder. The desktop folder, asked
  // about a path several levels deep, answers for the first level only
  // ("My Computer" under Wine), which would let a file through.
  ComRef<IShellFolder> parent;
  LPCITEMIDLIST last = nullptr;
  if (SUCCEEDED(
          SHBindToParent(item, IID_IShellFolder, reinterpret_cast<void**>(parent.out()), &last)) &&
      parent.get() != nullptr) {
    parent.get()->GetAttributesOf(1, &last, &attributes);
  }
  return (attributes & (SFGAO_FOLDER | SFGAO_HASSUBFOLDER)) != 0;
}

}  // namespace

// A value outside the enumeration (only a cast can make one) counts as the
// desktop, and as no option.
int SpecialFolderId(TSelectFolder kind) {
  return kind < kSpecialFolders.size() ? kSpecialFolders[kind] : CSIDL_DESKTOP;
}
int SpecialFolderId(TRootFolder kind) {
  return kind < kSpecialFolders.size() ? kSpecialFolders[kind] : CSIDL_DESKTOP;
}

TBrowseFlags BrowseFlagsOf(TSHBrowseOptions options) {
  TBrowseFlags result;
  for (size_t ordinal = 0; ordinal < kOptionFlags.size(); ++ordinal) {
    const auto option = static_cast<TSHBrowseOption>(ordinal);
    if (!options.Contains(option)) continue;
    result.flags |= kOptionFlags[ordinal];
    if (option == sboStatusTextAndShowPath) result.statusShowsPath = true;
  }
  return result;
}

TSHBrowseForFolderEx::TSHBrowseForFolderEx(HWND owner) : owner_(owner) {
  Registry& r = Components();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.live.insert(this);
}

TSHBrowseForFolderEx::~TSHBrowseForFolderEx() {
  Registry& r = Components();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.live.erase(this);
}

void TSHBrowseForFolderEx::SetApplicationWindow(HWND wnd) { applicationWindow = wnd; }

LPITEMIDLIST TSHBrowseForFolderEx::FindFolder(IShellFolder* desktop, IMalloc* allocator,
                                              bool manual, const std::string& name, int csidl) {
  if (manual && !name.empty()) {
    std::wstring wide = Wide(name);
    LPITEMIDLIST item = nullptr;
    const HRESULT parsed =
        desktop->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &item, nullptr);
    TaskMemory parsedItem(allocator, item);
    if (SUCCEEDED(parsed) && item != nullptr && IsFolderLike(item)) {
      return static_cast<LPITEMIDLIST>(parsedItem.Release());
    }
  }
  LPITEMIDLIST special = nullptr;
  const HRESULT found = SHGetSpecialFolderLocation(applicationWindow, csidl, &special);
  TaskMemory specialItem(allocator, special);
  if (FAILED(found)) return nullptr;
  return static_cast<LPITEMIDLIST>(specialItem.Release());
}

bool TSHBrowseForFolderEx::Execute() {
  folderName_.clear();
  displayName_.clear();
  handlerFailure_ = nullptr;
  browser_ = nullptr;
  cancelled_ = false;
  struct Closed {
    TSHBrowseForFolderEx& self;
    ~Closed() {
      self.browser_ = nullptr;
      self.cancelled_ = false;
    }
  } closed{*this};

  ComRef<IMalloc> allocator;
  if (FAILED(SHGetMalloc(allocator.out())) || allocator.get() == nullptr) return false;
  ComRef<IShellFolder> desktop;
  if (FAILED(SHGetDesktopFolder(desktop.out())) || desktop.get() == nullptr) return false;

  // The callback reads InitialSelection; it is released and cleared on every
  // way out, so it never outlives the call.
  TaskMemory selection(allocator.get(),
                       FindFolder(desktop.get(), allocator.get(), SelectFolder == sfManual,
                                  SelectFolderName, SpecialFolderId(SelectFolder)));
  InitialSelection = static_cast<LPITEMIDLIST>(selection.get());
  struct ClearSelection {
    LPITEMIDLIST& field;
    ~ClearSelection() { field = nullptr; }
  } clearSelection{InitialSelection};

  TaskMemory root(allocator.get(),
                  FindFolder(desktop.get(), allocator.get(), RootFolder == rfManual, RootFolderName,
                             SpecialFolderId(RootFolder)));
  if (!root) return false;
  TaskMemory buffer(allocator.get(), allocator.get()->Alloc(kDisplayNameSize * sizeof(wchar_t)));
  if (!buffer) return false;
  wchar_t* const name = static_cast<wchar_t*>(buffer.get());
  name[0] = L'\0';

  const TBrowseFlags flags = BrowseFlagsOf(Options);
  StatusShowsPath = flags.statusShowsPath;
  const std::wstring caption = Wide(Caption);
  BROWSEINFOW info{};
  info.hwndOwner = applicationWindow;
  info.pidlRoot = static_cast<LPCITEMIDLIST>(root.get());
  info.pszDisplayName = name;
  info.lpszTitle = caption.c_str();
  info.ulFlags = flags.flags;
  info.lpfn = &BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(this);

  // The taskbar window is disabled while the browser is open. One that was
  // disabled already belongs to a modal form under the browser: it stays as
  // it is.
  const HWND app = applicationWindow;
  bool appDisabled = false;
  void* chosenItem = nullptr;
  {
    const DisabledWindow disabled(app);
    appDisabled = disabled.Disabled();
    chosenItem = SHBrowseForFolderW(&info);
  }
  TaskMemory chosen(allocator.get(), chosenItem);
  if (appDisabled) SetForegroundWindow(app);
  if (handlerFailure_) std::rethrow_exception(std::exchange(handlerFailure_, nullptr));
  if (!chosen) return false;

  displayName_.assign(name, wcsnlen(name, kDisplayNameSize));
  if (SHGetPathFromIDListW(static_cast<LPCITEMIDLIST>(chosen.get()), name)) {
    folderName_.assign(name, wcsnlen(name, kDisplayNameSize));
  }
  return true;
}

std::string TSHBrowseForFolderEx::FolderName() const { return Narrow(folderName_); }
std::string TSHBrowseForFolderEx::DisplayName() const { return Narrow(displayName_); }

void TSHBrowseForFolderEx::Cancel() {
  cancelled_ = true;
  if (browser_ != nullptr) PostMessageW(browser_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

void TSHBrowseForFolderEx::SelectionChanged(HWND wnd, const std::string& path,
                                            std::string& showText, TOKButtonState& okButtonState) {
  if (OnSelectionChanged) OnSelectionChanged(*this, wnd, path, showText, okButtonState);
}

int CALLBACK TSHBrowseForFolderEx::BrowseCallback(HWND wnd, UINT msg, LPARAM param, LPARAM data) {
  auto* const self = reinterpret_cast<TSHBrowseForFolderEx*>(data);
  if (self == nullptr || !IsLive(self)) return 0;
  // Nothing may unwind through the shell's own frames. The first failure is
  // kept for Execute to throw, and the browser is closed as if cancelled.
  try {
    self->Callback(wnd, msg, param);
  } catch (...) {
    if (!self->handlerFailure_) {
      self->handlerFailure_ = std::current_exception();
      PostMessageW(wnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
  }
  return 0;
}

void TSHBrowseForFolderEx::Callback(HWND wnd, UINT msg, LPARAM param) {
  wchar_t path[kCallbackPathSize] = {};
  std::string showText;
  TOKButtonState okButtonState = obsNoChange;

  if (msg == BFFM_INITIALIZED) {
    browser_ = wnd;
    if (cancelled_) Cancel();
    // The status line is emptied before the initial selection is made: the
    // selection calls back with BFFM_SELCHANGED before SendMessage returns,
    // and emptying afterwards would wipe the path or text just shown.
    SendMessageW(wnd, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(L""));
    if (InitialSelection != nullptr) {
      SendMessageW(wnd, BFFM_SETSELECTIONW, 0, reinterpret_cast<LPARAM>(InitialSelection));
    }
    Place(wnd);
    return;
  }
  if (msg == BFFM_SELCHANGED) {
    const auto item = reinterpret_cast<LPCITEMIDLIST>(param);
    if (item == nullptr || !SHGetPathFromIDListW(item, path)) path[0] = L'\0';
    SelectionChanged(wnd, Narrow(path), showText, okButtonState);
  }
  // The path is shown whole, as the shell gives it.
  const std::wstring status = StatusShowsPath ? std::wstring(path) : Wide(showText);
  SendMessageW(wnd, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(status.c_str()));
  if (okButtonState != obsNoChange) {
    const LPARAM enable = okButtonState == obsEnable ? 1 : 0;
    SendMessageW(wnd, BFFM_ENABLEOK, 0, enable);
    // Wine's browser makes its own OK decision after this callback returns
    // and would overwrite the handler's; the posted copy arrives after that.
    // Copies left over from earlier selections come first in the queue, so
    // the latest request always ends up standing.
    PostMessageW(wnd, BFFM_ENABLEOK, 0, enable);
  }
}

void TSHBrowseForFolderEx::Place(HWND wnd) const {
  switch (ShowStyle) {
    case ssCenterScreen: {
      RECT window{};
      RECT work{};
      if (!GetWindowRect(wnd, &window)) return;
      if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) return;
      const BrowsePoint at =
          CenterScreenPosition(work.right - work.left, work.bottom - work.top,
                               window.right - window.left, window.bottom - window.top);
      SetWindowPos(wnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      return;
    }
    case ssClient: {
      if (owner_ == nullptr || !IsWindow(owner_)) return;
      POINT origin{0, 0};
      if (!ClientToScreen(owner_, &origin)) return;
      SetWindowPos(wnd, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      return;
    }
    case ssNone:
      return;
  }
}

}  // namespace ixo
