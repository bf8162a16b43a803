// The real program file, started in a folder of its own: a link copied by an
// X program while watching becomes a shortcut file, and closing the window
// writes the settings.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "clipboard/clipboard.h"
#include "settings/options.h"
#include "win_tempdir.h"
#include "win_ui.h"

namespace ixo {
namespace {

using test::FileExists;
using test::ReadFileBytes;
using test::WriteFileBytes;

// Code page 932 text as UTF-8, for the X side.
std::string ToUtf8(const std::string& cp932) {
  const int wide =
      MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(wide), L'\0');
  MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), w.data(), wide);
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, out.data(), bytes, nullptr, nullptr);
  return out;
}

// The Unix path of a Windows path, through Wine's own export.
std::string UnixPath(const std::string& path) {
  using Fn = char*(CDECL*)(const wchar_t*);
  auto toUnix = reinterpret_cast<Fn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!toUnix) return {};
  std::wstring wide(path.begin(), path.end());
  char* unix = toUnix(wide.c_str());
  if (!unix) return {};
  std::string out = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return out;
}

// Runs a shell script on the Unix side and waits until the starter is done.
bool RunUnixScript(const std::string& script) {
  std::string command = "cmd.exe /c start /unix /bin/sh " + UnixPath(script);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &si, &pi)) {
    return false;
  }
  WaitForSingleObject(pi.hProcess, 20000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

// The Windows path of the program the build made (a Unix path at build time).
std::string BuiltProgram() {
  const std::string unix = IXO_EXE_PATH;
  if (unix.empty() || unix[0] != '/') return unix;
  using Fn = wchar_t*(CDECL*)(const char*);
  auto toDos = reinterpret_cast<Fn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
  if (!toDos) return unix;
  wchar_t* dos = toDos(unix.c_str());
  if (!dos) return unix;
  char path[MAX_PATH] = {};
  WideCharToMultiByte(CP_ACP, 0, dos, -1, path, sizeof path, nullptr, nullptr);
  HeapFree(GetProcessHeap(), 0, dos);
  return path;
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    exe = dir.path() + "\\Ixo.exe";
    ASSERT_TRUE(CopyFileA(BuiltProgram().c_str(), exe.c_str(), FALSE)) << BuiltProgram();
  }
  void TearDown() override {
    if (process.hProcess) {
      if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(process.hProcess, 9);
      WaitForSingleObject(process.hProcess, 20000);
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
    }
  }

  void Launch() {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string command = "\"" + exe + "\"";
    ASSERT_TRUE(CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               dir.path().c_str(), &si, &process))
        << GetLastError();
  }

  // The first visible top-level window of the program of class `cls`.
  HWND FindProgramWindow(const char* cls, const char* title = nullptr) {
    HWND found = nullptr;
    const ULONGLONG end = GetTickCount64() + 60000;
    while (!found && GetTickCount64() < end) {
      for (HWND w = FindWindowExA(nullptr, nullptr, cls, title); w;
           w = FindWindowExA(nullptr, w, cls, title)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == process.dwProcessId && IsWindowVisible(w)) found = w;
      }
      if (!found) Sleep(20);
    }
    return found;
  }

  DWORD WaitForExit() {
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &code);
    return code;
  }

  TempDir dir;
  std::string exe;
  PROCESS_INFORMATION process{};
};

TEST_F(ProgramTest, ALinkCopiedInAnXProgramBecomesAShortcutAndClosingWritesTheSettings) {
  const std::string out = dir.path() + "\\保存先";
  ASSERT_TRUE(CreateDirectoryA(out.c_str(), nullptr));
  WriteFileBytes(dir.path() + "\\IXO.ini",
                 "[Option]\r\nKansi=1\r\n[List]\r\nCount=1\r\nDir0=" + out + "\r\n");
  Launch();
  HWND main = FindProgramWindow("TForm1", "Ixo");
  ASSERT_NE(main, nullptr);

  const std::string script = dir.path() + "\\copy.sh";
  // xclip stays behind to serve the text; it must hold none of the test
  // runner's pipes open meanwhile.
  WriteFileBytes(script, "exec >/dev/null 2>&1 </dev/null\nprintf '%s\\n%s\\n' '" +
                             ToUtf8("日本語の記事　タイトル") +
                             "' 'http://example.com/ixo/e2e?q=1' | xclip -selection clipboard\n");
  // Wine's bridge to X drops the X program's text when the clipboard is
  // open at that moment (the program looks at it as it starts), and hands a
  // change made on the Windows side to X a moment late, which can take the
  // X clipboard back from xclip: the copy is made again until the clipboard
  // shows a change.
  bool copied = false;
  for (int attempt = 0; attempt < 5 && !copied; ++attempt) {
    const DWORD before = GetClipboardSequenceNumber();
    ASSERT_TRUE(RunUnixScript(script));
    const ULONGLONG until = GetTickCount64() + 10000;
    while (!(copied = GetClipboardSequenceNumber() != before) && GetTickCount64() < until) {
      Sleep(20);
    }
  }
  ASSERT_TRUE(copied) << "the X program's text never reached the clipboard";

  const std::string shortcut = out + "\\日本語の記事タイトル.URL";
  const ULONGLONG end = GetTickCount64() + 60000;
  while (!FileExists(shortcut) && GetTickCount64() < end) Sleep(20);
  ASSERT_TRUE(FileExists(shortcut));
  EXPECT_EQ(ReadFileBytes(shortcut),
            "[InternetShortcut]\r\nURL=http://example.com/ixo/e2e?q=1\r\n");

  // Taking the clipboard back ends xclip.
  SetClipText("");
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForExit(), 0u);
  const TOptionRecord saved = LoadOptionsFrom(dir.path() + "\\");
  EXPECT_TRUE(saved.Kansi);
  EXPECT_EQ(saved.Dirs, out + "\r\n");
  EXPECT_EQ(ReadFileBytes(dir.path() + "\\IXO.tei"), std::string(kDefaultDelText));
  const std::string ini = ReadFileBytes(dir.path() + "\\IXO.ini").value_or("");
  EXPECT_NE(ini.find("AcTime=60"), std::string::npos) << ini;
}

TEST_F(ProgramTest, ATitleDeleteFileThatCannotBeReadIsReportedOnceAndNothingIsWritten) {
  const std::string tei = dir.path() + "\\IXO.tei";
  WriteFileBytes(tei, "a\r\n");
  HANDLE locked = CreateFileA(tei.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  Launch();
  HWND box = FindProgramWindow("#32770", "Ixo");
  ASSERT_NE(box, nullptr);
  char text[512] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  EXPECT_EQ(std::string(text), "ファイル " + tei + " は開けません.");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(WaitForExit(), 1u);
  CloseHandle(locked);
  EXPECT_FALSE(FileExists(dir.path() + "\\IXO.ini"));
  EXPECT_EQ(ReadFileBytes(tei), "a\r\n");
}

}  // namespace
}  // namespace ixo
