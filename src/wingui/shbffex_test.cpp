#include "wingui/shbffex.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/browse_geometry.h"
#include "win32/wide.h"

namespace ixo {
namespace {

// Opens the component's protected state to the tests.
class Probe : public TSHBrowseForFolderEx {
 public:
  using TSHBrowseForFolderEx::FindFolder;
  using TSHBrowseForFolderEx::InitialSelection;
  using TSHBrowseForFolderEx::StatusShowsPath;
  using TSHBrowseForFolderEx::TSHBrowseForFolderEx;
};

std::string PathOf(LPCITEMIDLIST item) {
  char path[MAX_PATH] = {};
  if (item == nullptr || !SHGetPathFromIDListA(item, path)) return {};
  return path;
}

// The long form of an existing path, as the shell reports it.
std::string LongPath(const std::string& path) {
  char buffer[MAX_PATH] = {};
  const DWORD n = GetLongPathNameA(path.c_str(), buffer, MAX_PATH);
  return (n > 0 && n < MAX_PATH) ? std::string(buffer, n) : path;
}

LPITEMIDLIST ItemOf(const std::string& path) {
  LPITEMIDLIST item = nullptr;
  SFGAOF none = 0;
  std::wstring wide(MAX_PATH, L'\0');
  wide.resize(
      MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size())));
  if (SHParseDisplayName(wide.c_str(), nullptr, &item, 0, &none) != S_OK) return nullptr;
  return item;
}

// COM on the test thread, as the program has it, and a scratch folder tree:
// `parent_`\参照表 (the name holds 0x5C as a trail byte) and a plain file.
class ShbffexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    char temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    const std::string made = std::string(temp) + "ixo_bff_" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(made.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    parent_ = LongPath(made);
    folder_ = parent_ + "\\参照表";
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
    file_ = parent_ + "\\file.txt";
    HANDLE h = CreateFileA(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    CloseHandle(h);
    ASSERT_TRUE(SUCCEEDED(SHGetMalloc(&allocator_)));
    ASSERT_TRUE(SUCCEEDED(SHGetDesktopFolder(&desktop_)));
  }
  void TearDown() override {
    TSHBrowseForFolderEx::SetApplicationWindow(nullptr);
    if (desktop_ != nullptr) desktop_->Release();
    if (allocator_ != nullptr) allocator_->Release();
    DeleteFileA(file_.c_str());
    RemoveDirectoryA(folder_.c_str());
    RemoveDirectoryA(parent_.c_str());
    CoUninitialize();
  }

  std::string parent_, folder_, file_;
  IMalloc* allocator_ = nullptr;
  IShellFolder* desktop_ = nullptr;
};

TEST_F(ShbffexTest, DefaultsAndOptionByte) {
  TSHBrowseForFolderEx c;
  EXPECT_EQ(sfDrives, c.SelectFolder);
  EXPECT_EQ(rfDesktop, c.RootFolder);
  EXPECT_EQ(ssClient, c.ShowStyle);
  EXPECT_EQ(4, c.Options.Byte());
  EXPECT_FALSE(c.OnSelectionChanged);
  TSHBrowseOptions set{sboReturnFSAncestors, sboStatusText};
  EXPECT_EQ(0x12, set.Exclude(sboDontGoBelowDomain).Byte());
  EXPECT_EQ(0x03, set.Exclude(sboStatusText).Include(sboDontGoBelowDomain).Byte());
  EXPECT_EQ(0x1F, TSHBrowseOptions::FromByte(0xFF).Byte());
}

TEST(Shbffex, EachFolderKindNamesItsSpecialFolder) {
  // The two enumerations share one table: a kind added to or moved in one
  // of them would open the browser on another folder.
  const struct {
    TSelectFolder select;
    TRootFolder root;
    int csidl;
  } cases[] = {
      {sfDesktop, rfDesktop, CSIDL_DESKTOP},
      {sfManual, rfManual, CSIDL_DESKTOP},
      {sfDrives, rfDrives, CSIDL_DRIVES},
      {sfDesktopDir, rfDesktopDir, CSIDL_DESKTOPDIRECTORY},
      {sfFavorites, rfFavorites, CSIDL_FAVORITES},
      {sfPrograms, rfPrograms, CSIDL_PROGRAMS},
      {sfRecent, rfRecent, CSIDL_RECENT},
      {sfSendTo, rfSendTo, CSIDL_SENDTO},
      {sfStartMenu, rfStartMenu, CSIDL_STARTMENU},
      {sfStartup, rfStartup, CSIDL_STARTUP},
      {sfTemplates, rfTemplates, CSIDL_TEMPLATES},
      // Only a cast makes these; they count as the desktop.
      {static_cast<TSelectFolder>(11), static_cast<TRootFolder>(255), CSIDL_DESKTOP},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.csidl, SpecialFolderId(c.select)) << int(c.select);
    EXPECT_EQ(c.csidl, SpecialFolderId(c.root)) << int(c.root);
  }
}

TEST_F(ShbffexTest, BrowseFlagsFromOptions) {
  struct Case {
    TSHBrowseOptions options;
    UINT flags;
    bool showsPath;
  };
  const Case cases[] = {
      {{}, 0x0, false},
      {{sboStatusText}, 0x4, false},
      {{sboStatusTextAndShowPath}, 0x4, true},
      {{sboDontGoBelowDomain, sboReturnFSAncestors, sboReturnOnlyFSDirs}, 0xB, false},
      {TSHBrowseOptions::FromByte(0x1F), 0xF, true},
  };
  for (const Case& c : cases) {
    const TBrowseFlags got = BrowseFlagsOf(c.options);
    EXPECT_EQ(c.flags, got.flags) << int(c.options.Byte());
    EXPECT_EQ(c.showsPath, got.statusShowsPath) << int(c.options.Byte());
  }
}

TEST_F(ShbffexTest, FindFolderByNameFallsBackToTheSpecialFolder) {
  char favorites[MAX_PATH] = {};
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_FAVORITES, nullptr, 0, favorites)));
  struct Case {
    const char* what;
    bool manual;
    std::string name;
    int csidl;
    std::string expectedPath;  // empty: the desktop itself (an empty list)
  };
  const Case cases[] = {
      {"folder by name", true, parent_, CSIDL_DESKTOP, parent_},
      {"code page 932 name", true, folder_, CSIDL_DESKTOP, folder_},
      {"missing folder", true, parent_ + "\\nothing", CSIDL_DESKTOP, ""},
      {"a file is no folder", true, file_, CSIDL_DESKTOP, ""},
      {"empty name", true, "", CSIDL_DESKTOP, ""},
      {"name ignored unless manual", false, parent_, CSIDL_FAVORITES, favorites},
  };
  for (const Case& c : cases) {
    LPITEMIDLIST item = Probe::FindFolder(desktop_, allocator_, c.manual, c.name, c.csidl);
    ASSERT_NE(nullptr, item) << c.what;
    if (c.expectedPath.empty()) {
      EXPECT_EQ(0, item->mkid.cb) << c.what << ": not the desktop";
    } else {
      EXPECT_EQ(c.expectedPath, PathOf(item)) << c.what;
    }
    allocator_->Free(item);
  }
  // A special folder that cannot be had gives none.
  EXPECT_EQ(nullptr, Probe::FindFolder(desktop_, allocator_, false, "", 0xFF));
}

// A stand-in for the browser window that records what the callback sends it.
struct Sent {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  std::string text;  // BFFM_SETSTATUSTEXTW's text, in code page 932
};

LRESULT CALLBACK RecorderProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // From BFFM_SETSTATUSTEXTA to BFFM_SETSTATUSTEXTW: every message the
  // callback may send, in either form.
  if (msg >= BFFM_SETSTATUSTEXTA && msg <= BFFM_SETSTATUSTEXTW) {
    auto* log = reinterpret_cast<std::vector<Sent>*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    Sent s{msg, wParam, lParam, {}};
    if (msg == BFFM_SETSTATUSTEXTW) s.text = Narrow(reinterpret_cast<const wchar_t*>(lParam));
    if (log != nullptr) log->push_back(s);
    return 0;
  }
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

HWND MakeWindow(const char* cls, int x, int y, int w, int h, DWORD style = WS_POPUP) {
  return CreateWindowExA(0, cls, "ixo test", style, x, y, w, h, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

class ShbffexCallbackTest : public ShbffexTest {
 protected:
  void SetUp() override {
    ShbffexTest::SetUp();
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecorderProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "IxoBrowseRecorder";
    RegisterClassA(&wc);  // fails harmlessly when a previous test registered it
    wnd_ = MakeWindow("IxoBrowseRecorder", 10, 20, 320, 380);
    ASSERT_NE(nullptr, wnd_);
    SetWindowLongPtrA(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&sent_));
    folderItem_ = ItemOf(folder_);
    ASSERT_NE(nullptr, folderItem_);
  }
  void TearDown() override {
    if (folderItem_ != nullptr) CoTaskMemFree(folderItem_);
    if (wnd_ != nullptr) DestroyWindow(wnd_);
    ShbffexTest::TearDown();
  }
  void Call(TSHBrowseForFolderEx& c, UINT msg, LPARAM param = 0) {
    EXPECT_EQ(0,
              TSHBrowseForFolderEx::BrowseCallback(wnd_, msg, param, reinterpret_cast<LPARAM>(&c)));
  }

  HWND wnd_ = nullptr;
  std::vector<Sent> sent_;
  LPITEMIDLIST folderItem_ = nullptr;
};

TEST_F(ShbffexCallbackTest, IgnoresDataThatIsNoComponent) {
  int notAComponent = 0;
  auto* gone = new TSHBrowseForFolderEx;
  const LPARAM goneData = reinterpret_cast<LPARAM>(gone);
  delete gone;
  for (LPARAM data : {LPARAM{0}, reinterpret_cast<LPARAM>(&notAComponent), goneData}) {
    EXPECT_EQ(0, TSHBrowseForFolderEx::BrowseCallback(wnd_, BFFM_INITIALIZED, 0, data));
    EXPECT_EQ(0, TSHBrowseForFolderEx::BrowseCallback(wnd_, BFFM_SELCHANGED,
                                                      reinterpret_cast<LPARAM>(folderItem_), data));
  }
  EXPECT_TRUE(sent_.empty());
}

TEST_F(ShbffexCallbackTest, InitializedEmptiesTheStatusThenSelects) {
  Probe c;
  c.ShowStyle = ssNone;
  Call(c, BFFM_INITIALIZED);
  ASSERT_EQ(1u, sent_.size());
  EXPECT_EQ(static_cast<UINT>(BFFM_SETSTATUSTEXTW), sent_[0].msg);
  EXPECT_EQ("", sent_[0].text);

  sent_.clear();
  c.InitialSelection = folderItem_;
  c.StatusShowsPath = true;
  Call(c, BFFM_INITIALIZED);
  c.InitialSelection = nullptr;
  // Emptying after the selection would wipe what the selection's own
  // BFFM_SELCHANGED has just shown.
  ASSERT_EQ(2u, sent_.size());
  EXPECT_EQ(static_cast<UINT>(BFFM_SETSTATUSTEXTW), sent_[0].msg);
  EXPECT_EQ(static_cast<UINT>(BFFM_SETSELECTIONW), sent_[1].msg);
  EXPECT_EQ(0u, sent_[1].wParam);
  EXPECT_EQ(reinterpret_cast<LPARAM>(folderItem_), sent_[1].lParam);
}

TEST_F(ShbffexCallbackTest, SelectionChangeSetsStatusAndOkButton) {
  struct Case {
    bool handler;
    bool showsPath;
    TOKButtonState state;
    std::string expectedStatus;  // "<path>" stands for the folder's path
    int expectedEnable;          // -1: no BFFM_ENABLEOK
  };
  const Case cases[] = {
      {false, false, obsNoChange, "", -1},      {true, false, obsNoChange, "選択中", -1},
      {true, false, obsDisable, "選択中", 0},   {true, true, obsEnable, "<path>", 1},
      {false, true, obsNoChange, "<path>", -1},
  };
  for (const Case& k : cases) {
    Probe c;
    c.StatusShowsPath = k.showsPath;
    int calls = 0;
    if (k.handler) {
      c.OnSelectionChanged = [&](TSHBrowseForFolderEx& sender, HWND wnd, const std::string& path,
                                 std::string& showText, TOKButtonState& state) {
        ++calls;
        EXPECT_EQ(&c, &sender);
        EXPECT_EQ(wnd_, wnd);
        EXPECT_EQ(folder_, path);
        EXPECT_EQ("", showText);
        EXPECT_EQ(obsNoChange, state);
        showText = "選択中";
        state = k.state;
      };
    }
    sent_.clear();
    Call(c, BFFM_SELCHANGED, reinterpret_cast<LPARAM>(folderItem_));
    EXPECT_EQ(k.handler ? 1 : 0, calls);
    ASSERT_FALSE(sent_.empty());
    EXPECT_EQ(static_cast<UINT>(BFFM_SETSTATUSTEXTW), sent_[0].msg);
    EXPECT_EQ(k.expectedStatus == "<path>" ? folder_ : k.expectedStatus, sent_[0].text);
    MSG posted{};
    const bool repeated = PeekMessageA(&posted, wnd_, BFFM_ENABLEOK, BFFM_ENABLEOK, PM_REMOVE);
    if (k.expectedEnable < 0) {
      EXPECT_EQ(1u, sent_.size());
      EXPECT_FALSE(repeated);
    } else {
      ASSERT_EQ(2u, sent_.size());
      EXPECT_EQ(static_cast<UINT>(BFFM_ENABLEOK), sent_[1].msg);
      EXPECT_EQ(0u, sent_[1].wParam);
      EXPECT_EQ(k.expectedEnable, sent_[1].lParam);
      // Repeated after the browser's own decision, which Wine makes later.
      ASSERT_TRUE(repeated);
      EXPECT_EQ(k.expectedEnable, posted.lParam);
    }
  }
}

TEST_F(ShbffexCallbackTest, HandlerExceptionStaysInsideAndCancelsTheBrowser) {
  TSHBrowseForFolderEx c;
  c.OnSelectionChanged = [](TSHBrowseForFolderEx&, HWND, const std::string&, std::string&,
                            TOKButtonState&) { throw std::runtime_error("handler"); };
  Call(c, BFFM_SELCHANGED, reinterpret_cast<LPARAM>(folderItem_));
  MSG m{};
  ASSERT_TRUE(PeekMessageA(&m, wnd_, WM_COMMAND, WM_COMMAND, PM_REMOVE));
  EXPECT_EQ(static_cast<WPARAM>(IDCANCEL), LOWORD(m.wParam));
}

// Centring and the owner's client area are seen on the real browser below;
// here the cases where the browser must stay where the shell put it.
TEST_F(ShbffexCallbackTest, PlacementLeavesTheWindowWithoutAFormOwner) {
  HWND form = MakeWindow("STATIC", 200, 150, 400, 300, WS_OVERLAPPEDWINDOW);
  HWND destroyed = MakeWindow("STATIC", 0, 0, 10, 10);
  DestroyWindow(destroyed);
  const std::pair<TShowStyle, HWND> cases[] = {
      {ssClient, nullptr}, {ssClient, destroyed}, {ssNone, form}};
  for (const auto& [style, owner] : cases) {
    TSHBrowseForFolderEx c(owner);
    c.ShowStyle = style;
    Call(c, BFFM_INITIALIZED);
    RECT r{};
    GetWindowRect(wnd_, &r);
    EXPECT_EQ(10, r.left) << int(style);
    EXPECT_EQ(20, r.top) << int(style);
  }
  DestroyWindow(form);
}

// Real runs of the shell's browser. Each costs a few seconds under Wine (the
// call returns about 2 s after the browser has closed), so they are few and
// each checks several things.

struct BrowserFinder {
  static BOOL CALLBACK Visit(HWND wnd, LPARAM data) {
    char cls[16] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (std::strcmp(cls, "#32770") != 0) return TRUE;
    *reinterpret_cast<HWND*>(data) = wnd;
    return FALSE;
  }
};

HWND FindBrowser(DWORD thread) {
  HWND found = nullptr;
  EnumThreadWindows(thread, BrowserFinder::Visit, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Polls `condition` until it holds, `stop` is set or `ms` (60 s) have passed.
template <typename Condition>
bool WaitFor(Condition condition, const std::atomic<bool>& stop, DWORD ms = 60000) {
  // <chrono> does not compile with code page 932 literals; the tick count does.
  const ULONGLONG end = GetTickCount64() + ms;
  while (GetTickCount64() < end) {
    if (condition()) return true;
    if (stop) return false;
    Sleep(20);
  }
  return condition();
}

BOOL CALLBACK CollectChild(HWND wnd, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(wnd);
  return TRUE;
}

// True when one of the browser's static texts reads `text`. The texts are
// read with a (generous) timeout: the browser's thread is the test's main
// thread.
bool ShowsText(HWND browser, const std::string& text) {
  std::vector<HWND> children;
  EnumChildWindows(browser, CollectChild, reinterpret_cast<LPARAM>(&children));
  for (HWND child : children) {
    char cls[16] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") != 0) continue;
    char buffer[600] = {};
    DWORD_PTR length = 0;
    if (SendMessageTimeoutA(child, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                            SMTO_NORMAL, 60000, &length) &&
        text == buffer) {
      return true;
    }
  }
  return false;
}

// The text of the first item of the browser's folder tree, read with a
// timeout as ShowsText reads.
std::string TreeRootText(HWND browser) {
  HWND tree = browser ? FindWindowExA(browser, nullptr, WC_TREEVIEWA, nullptr) : nullptr;
  if (tree == nullptr) return {};
  DWORD_PTR root = 0;
  if (!SendMessageTimeoutA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0, SMTO_NORMAL, 60000, &root) ||
      root == 0) {
    return {};
  }
  char text[MAX_PATH] = {};
  TVITEMA item{};
  item.mask = TVIF_TEXT;
  item.hItem = reinterpret_cast<HTREEITEM>(root);
  item.pszText = text;
  item.cchTextMax = sizeof text;
  DWORD_PTR unused = 0;
  SendMessageTimeoutA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item), SMTO_NORMAL, 60000,
                      &unused);
  return text;
}

class ShbffexBrowserTest : public ShbffexTest {
 protected:
  void SetUp() override {
    ShbffexTest::SetUp();
    app_ = MakeWindow("STATIC", 50, 50, 200, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_NE(nullptr, app_);
    TSHBrowseForFolderEx::SetApplicationWindow(app_);
  }
  void TearDown() override {
    if (app_ != nullptr) DestroyWindow(app_);
    ShbffexTest::TearDown();
  }

  // Runs `c.Execute()` while `script` drives the browser from a helper
  // thread; the script gets the browser window once it is shown and must
  // close it. Should the script not come to that, the browser is cancelled.
  template <typename Script>
  bool RunBrowser(TSHBrowseForFolderEx& c, Script script) {
    std::atomic<bool> returned{false};
    const DWORD thread = GetCurrentThreadId();
    std::thread helper([&] {
      HWND browser = nullptr;
      if (!WaitFor([&] { return (browser = FindBrowser(thread)) && IsWindowVisible(browser); },
                   returned)) {
        return;
      }
      script(browser, returned);
      if (!WaitFor([&] { return !IsWindow(browser); }, returned)) {
        PostMessageA(browser, WM_COMMAND, IDCANCEL, 0);
      }
    });
    bool result = false;
    try {
      result = c.Execute();
    } catch (...) {
      returned = true;
      helper.join();
      throw;
    }
    returned = true;
    helper.join();
    return result;
  }

  HWND app_ = nullptr;
};

TEST_F(ShbffexBrowserTest, ChoosesTheFolderThenCancelEmptiesTheResults) {
  Probe c;
  c.SelectFolder = sfManual;
  c.SelectFolderName = folder_;
  c.Caption = "選択したフォルダに作成します。";
  c.Options = {sboReturnOnlyFSDirs, sboStatusTextAndShowPath};
  c.ShowStyle = ssCenterScreen;
  std::vector<std::string> paths;
  // The folder the handler was last told of, for the driving thread.
  enum Selected { kOther, kFolder, kParent };
  std::atomic<Selected> selected{kOther};
  c.OnSelectionChanged = [&](TSHBrowseForFolderEx&, HWND, const std::string& path,
                             std::string& showText, TOKButtonState& state) {
    paths.push_back(path);
    selected = path == folder_ ? kFolder : path == parent_ ? kParent : kOther;
    showText = "replaced by the path";
    state = path == folder_ ? obsEnable : obsDisable;
  };

  struct {
    bool appDisabled = false, ownedByApp = false, caption = false, statusAtOpen = false;
    bool okOnFolder = false, okOffOnParent = false, statusOnParent = false, okOnAgain = false;
    RECT rect{};
    BrowsePoint expected;
  } seen;
  // A work area that does not start at the screen's corner (a taskbar at the
  // top or left): the place is still measured from the screen's corner.
  RECT fullWork{};
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &fullWork, 0));
  RECT shifted{fullWork.left + 100, fullWork.top + 60, fullWork.right, fullWork.bottom};
  ASSERT_TRUE(SystemParametersInfoA(SPI_SETWORKAREA, 0, &shifted, 0));
  // The browser is to open on the folder named. Wine's has been seen, on a
  // loaded machine in the first seconds after Wine started, to open with
  // nothing selected and its tree expanded only part of the way: then it is
  // closed and opened again, until it opens as asked.
  bool opened = false;
  bool chosen = false;
  for (int attempt = 0; attempt < 5 && !opened; ++attempt) {
    selected = kOther;
    chosen = RunBrowser(c, [&](HWND browser, const std::atomic<bool>& stop) {
      if (!WaitFor([&] { return selected == kFolder; }, stop, 10000)) {
        PostMessageA(browser, WM_COMMAND, IDCANCEL, 0);
        return;
      }
      opened = true;
      seen.appDisabled = !IsWindowEnabled(app_);
      seen.ownedByApp = GetWindow(browser, GW_OWNER) == app_;
      GetWindowRect(browser, &seen.rect);
      RECT work{};
      SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
      seen.expected =
          CenterScreenPosition(work.right - work.left, work.bottom - work.top,
                               seen.rect.right - seen.rect.left, seen.rect.bottom - seen.rect.top);
      seen.caption = ShowsText(browser, c.Caption);
      seen.statusAtOpen = WaitFor([&] { return ShowsText(browser, folder_); }, stop);
      HWND ok = GetDlgItem(browser, IDOK);
      seen.okOnFolder = WaitFor([&] { return IsWindowEnabled(ok); }, stop);
      // The folder's item in the browser's tree and the one above it. The
      // selection moves in the tree itself, as a click does: the browser's own
      // BFFM_SETSELECTION has been seen, on a loaded machine, to take a folder
      // and leave the selection where it was.
      HWND tree = FindWindowExA(browser, nullptr, WC_TREEVIEWA, nullptr);
      const auto treeItem = [&](WPARAM which, DWORD_PTR from) {
        // Not SMTO_ABORTIFHUNG: a browser busy listing the drives for a few
        // seconds on a loaded machine counts as hung, and the message is lost.
        DWORD_PTR item = 0;
        SendMessageTimeoutA(tree, TVM_GETNEXTITEM, which, static_cast<LPARAM>(from), SMTO_NORMAL,
                            60000, &item);
        return item;
      };
      const DWORD_PTR folderItem = treeItem(TVGN_CARET, 0);
      const DWORD_PTR parentItem = folderItem ? treeItem(TVGN_PARENT, folderItem) : 0;
      const auto select = [&](DWORD_PTR item, Selected kind) {
        DWORD_PTR unused = 0;
        SendMessageTimeoutA(tree, TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(item),
                            SMTO_NORMAL, 60000, &unused);
        WaitFor([&] { return selected == kind; }, stop);
      };
      select(parentItem, kParent);
      seen.okOffOnParent = WaitFor([&] { return !IsWindowEnabled(ok); }, stop);
      seen.statusOnParent = WaitFor([&] { return ShowsText(browser, parent_); }, stop);
      select(folderItem, kFolder);
      seen.okOnAgain = WaitFor([&] { return IsWindowEnabled(ok); }, stop);
      PostMessageA(browser, WM_COMMAND, IDOK, 0);
    });
  }
  SystemParametersInfoA(SPI_SETWORKAREA, 0, &fullWork, 0);

  ASSERT_TRUE(opened) << "the browser never opened on the folder named";
  EXPECT_TRUE(chosen);
  EXPECT_EQ(folder_, c.FolderName());
  // Windows gives the folder's name; Wine's browser writes the whole path.
  const std::string name = "参照表";
  ASSERT_GE(c.DisplayName().size(), name.size());
  EXPECT_EQ(name, c.DisplayName().substr(c.DisplayName().size() - name.size()));
  EXPECT_EQ(nullptr, c.InitialSelection);
  EXPECT_TRUE(seen.appDisabled);
  EXPECT_TRUE(seen.ownedByApp);
  EXPECT_TRUE(IsWindowEnabled(app_));
  EXPECT_EQ(app_, GetForegroundWindow());
  EXPECT_EQ(seen.expected.x, seen.rect.left);
  EXPECT_EQ(seen.expected.y, seen.rect.top);
  EXPECT_TRUE(seen.caption);
  EXPECT_TRUE(seen.statusAtOpen) << "the initial selection's path is not on the status line";
  EXPECT_TRUE(seen.okOnFolder);
  EXPECT_TRUE(seen.okOffOnParent);
  EXPECT_TRUE(seen.statusOnParent);
  EXPECT_TRUE(seen.okOnAgain);
  ASSERT_FALSE(paths.empty());
  EXPECT_EQ(folder_, paths.back());

  // A cancelled call forgets the earlier choice. The owner form places it;
  // the tree is rooted at the folder named.
  HWND form = MakeWindow("STATIC", 120, 90, 400, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  ASSERT_NE(nullptr, form);
  POINT client{0, 0};
  ClientToScreen(form, &client);
  c.SetOwner(form);
  c.ShowStyle = ssClient;
  c.OnSelectionChanged = nullptr;
  c.RootFolder = rfManual;
  c.RootFolderName = folder_;
  RECT placed{};
  std::string root;
  const bool again = RunBrowser(c, [&](HWND browser, const std::atomic<bool>& stop) {
    GetWindowRect(browser, &placed);
    WaitFor([&] { return (root = TreeRootText(browser)) == "参照表"; }, stop);
    PostMessageA(browser, WM_COMMAND, IDCANCEL, 0);
  });
  DestroyWindow(form);
  EXPECT_FALSE(again);
  EXPECT_EQ("", c.FolderName());
  EXPECT_EQ("", c.DisplayName());
  EXPECT_EQ(client.x, placed.left);
  EXPECT_EQ(client.y, placed.top);
  EXPECT_EQ("参照表", root);
  EXPECT_TRUE(IsWindowEnabled(app_));
}

TEST_F(ShbffexBrowserTest, HandlerExceptionLeavesExecuteAfterCleanUp) {
  TSHBrowseForFolderEx c;
  c.ShowStyle = ssNone;
  c.OnSelectionChanged = [](TSHBrowseForFolderEx&, HWND, const std::string&, std::string&,
                            TOKButtonState&) { throw std::runtime_error("from the handler"); };
  // The browser closes itself; the script only waits for that.
  EXPECT_THROW(RunBrowser(c, [](HWND, const std::atomic<bool>&) {}), std::runtime_error);
  EXPECT_TRUE(IsWindowEnabled(app_));
  EXPECT_EQ("", c.FolderName());
}

}  // namespace
}  // namespace ixo
