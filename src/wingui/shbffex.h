// TSHBrowseForFolderEx: the shell's folder browser (SHBrowseForFolder) as a
// component that a form keeps and configures. Beyond the plain shell call it
// opens the browser on a folder given by name or by special-folder kind,
// roots the tree at such a folder, places the browser window (centred in the
// work area, or over the owner form), shows a status line and lets a handler
// set the status text and the OK button whenever the selection changes.
//
// The shell needs COM on the calling thread (CoInitialize or OleInitialize
// before the first Execute). Everything runs on that one thread; the browser
// runs its own modal loop inside Execute and calls back from within it.
#pragma once

#include <shlobj.h>
#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <initializer_list>
#include <string>

namespace ixo {

// Which folder is selected when the browser opens; sfManual means
// SelectFolderName, or the desktop when that name does not resolve.
enum TSelectFolder : uint8_t {
  sfDesktop,
  sfManual,
  sfDrives,
  sfDesktopDir,
  sfFavorites,
  sfPrograms,
  sfRecent,
  sfSendTo,
  sfStartMenu,
  sfStartup,
  sfTemplates,
};

// The root of the folder tree; rfManual means RootFolderName, or the desktop
// when that name does not resolve.
enum TRootFolder : uint8_t {
  rfDesktop,
  rfManual,
  rfDrives,
  rfDesktopDir,
  rfFavorites,
  rfPrograms,
  rfRecent,
  rfSendTo,
  rfStartMenu,
  rfStartup,
  rfTemplates,
};

enum TShowStyle : uint8_t {
  ssNone,          // where the shell puts it
  ssCenterScreen,  // centred across the work area, one third of the spare height above
  ssClient,        // top-left corner on the owner form's client-area origin
};

enum TSHBrowseOption : uint8_t {
  sboDontGoBelowDomain,
  sboReturnFSAncestors,
  sboReturnOnlyFSDirs,
  sboStatusTextAndShowPath,  // a status line that shows the selected path
  sboStatusText,             // a status line that only a handler fills
};

// A set of TSHBrowseOption in one byte: bit n for the option of ordinal n.
class TSHBrowseOptions {
 public:
  constexpr TSHBrowseOptions() = default;
  constexpr TSHBrowseOptions(std::initializer_list<TSHBrowseOption> options) {
    for (TSHBrowseOption option : options) Include(option);
  }
  // Bits above the last option are dropped.
  static constexpr TSHBrowseOptions FromByte(uint8_t bits) {
    TSHBrowseOptions set;
    set.bits_ = static_cast<uint8_t>(bits & ((1u << (sboStatusText + 1)) - 1));
    return set;
  }
  constexpr uint8_t Byte() const { return bits_; }
  constexpr bool Contains(TSHBrowseOption option) const { return (bits_ >> option) & 1; }
  constexpr TSHBrowseOptions& Include(TSHBrowseOption option) {
    bits_ = static_cast<uint8_t>(bits_ | (1u << option));
    return *this;
  }
  constexpr TSHBrowseOptions& Exclude(TSHBrowseOption option) {
    bits_ = static_cast<uint8_t>(bits_ & ~(1u << option));
    return *this;
  }
  constexpr bool operator==(const TSHBrowseOptions&) const = default;

 private:
  uint8_t bits_ = 0;
};
static_assert(sizeof(TSHBrowseOptions) == 1);

enum TOKButtonState : uint8_t {
  obsNoChange = 0,  // leave the browser's own decision
  obsEnable = 1,
  obsDisable = 2,
};

// The shell's special-folder identifier (CSIDL) for each kind. The manual
// kinds map to the desktop, their fallback.
int SpecialFolderId(TSelectFolder kind);
int SpecialFolderId(TRootFolder kind);

// The browser flags that `options` ask for, and whether the status line is
// to show the selected path.
struct TBrowseFlags {
  UINT flags = 0;
  bool statusShowsPath = false;
};
TBrowseFlags BrowseFlagsOf(TSHBrowseOptions options);

class TSHBrowseForFolderEx;

// Called on every change of the selection with the browser window and the
// selected folder's file-system path (empty when it has none). The handler
// may set `showText` (the status line; starts empty) and `okButtonState`
// (starts at obsNoChange).
using TSHBrowseEvent =
    std::function<void(TSHBrowseForFolderEx& sender, HWND wnd, const std::string& path,
                       std::string& showText, TOKButtonState& okButtonState)>;

class TSHBrowseForFolderEx {
 public:
  // `owner` is the window of the form that keeps the component, or null.
  // ssClient places the browser over it when it is a window that exists.
  explicit TSHBrowseForFolderEx(HWND owner = nullptr);
  virtual ~TSHBrowseForFolderEx();
  TSHBrowseForFolderEx(const TSHBrowseForFolderEx&) = delete;
  TSHBrowseForFolderEx& operator=(const TSHBrowseForFolderEx&) = delete;

  // The application's taskbar window: the window that owns the program's
  // taskbar button and its forms. It owns the browser and is disabled while
  // the browser is open, so that the program's other windows cannot be used
  // meanwhile; it is enabled again afterwards unless it was disabled before
  // (a modal form holds it). Null (the default) gives a browser without
  // owner and disables nothing. One value for the whole program.
  static void SetApplicationWindow(HWND wnd);

  HWND Owner() const { return owner_; }
  void SetOwner(HWND owner) { owner_ = owner; }

  // Shows the browser modally. True when the user chose a folder with OK;
  // false when the user cancelled or the browser cannot be shown. FolderName
  // and DisplayName are emptied first and set only on success. An exception
  // thrown by the selection handler closes the browser and leaves Execute
  // once everything is released and the taskbar window is enabled again.
  virtual bool Execute();

  // Ends the browser that Execute shows as its Cancel button would (Execute
  // then returns false): at once when it is open, as soon as it opens when
  // Execute has not shown it yet. Nothing happens outside Execute.
  void Cancel();

  // Calls OnSelectionChanged, when one is set, with this component as sender.
  virtual void SelectionChanged(HWND wnd, const std::string& path, std::string& showText,
                                TOKButtonState& okButtonState);

  // What the shell's browser calls back (BFFCALLBACK); `data` must be the
  // component, otherwise nothing happens. Always returns 0.
  static int CALLBACK BrowseCallback(HWND wnd, UINT msg, LPARAM param, LPARAM data);

  // Results of the last Execute: the chosen folder's file-system path (empty
  // when it has none) and the display name the browser gave it (Wine's
  // browser writes the whole path there instead), whole as the shell gives
  // them, and in code page 932 (where a character it cannot hold is '?').
  const std::wstring& FolderNameW() const { return folderName_; }
  const std::wstring& DisplayNameW() const { return displayName_; }
  std::string FolderName() const;
  std::string DisplayName() const;

  // Properties. Setting one stores the value; everything happens in Execute.
  TSelectFolder SelectFolder = sfDrives;
  std::string SelectFolderName;  // the folder to select when SelectFolder is sfManual
  std::string Caption;           // the instruction above the folder tree
  TSHBrowseOptions Options{sboReturnOnlyFSDirs};
  TSHBrowseEvent OnSelectionChanged;
  TRootFolder RootFolder = rfDesktop;
  std::string RootFolderName;  // the root when RootFolder is rfManual
  TShowStyle ShowStyle = ssClient;

 protected:
  // The folder to select when the browser opens: set and released within
  // Execute, null at all other times.
  LPITEMIDLIST InitialSelection = nullptr;
  // The status line shows the selected path; set by Execute from Options.
  bool StatusShowsPath = false;

  // The item identifier list of the folder named `name` when `manual` is set
  // and the name parses to a folder (or something with subfolders); else of
  // the special folder `csidl`; null when neither can be had. The caller
  // frees it with `allocator`, the shell's task allocator.
  static LPITEMIDLIST FindFolder(IShellFolder* desktop, IMalloc* allocator, bool manual,
                                 const std::string& name, int csidl);

 private:
  void Callback(HWND wnd, UINT msg, LPARAM param);
  void Place(HWND wnd) const;

  HWND owner_;
  std::wstring folderName_;
  std::wstring displayName_;
  // The first exception a handler threw during this Execute.
  std::exception_ptr handlerFailure_;
  // During Execute: the browser window once it has opened, and whether
  // Cancel was asked for.
  HWND browser_ = nullptr;
  bool cancelled_ = false;
};

}  // namespace ixo
