// The main window: a title box, a URL box, a drop-down list of save folders,
// the command buttons, the clipboard-watch check box and the popup menu that
// the notification-area icon opens. It owns the option record for the whole
// run, writes shortcuts by hand and on every clipboard change while watching,
// lives in the notification area when asked to, and closes itself after the
// configured idle time.
//
// The window applies and saves the settings files of one folder: the
// program's own folder in the program, a folder of their own in the tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "core/cliptext.h"
#include "core/extract.h"
#include "core/linelist.h"
#include "settings/options.h"
#include "ui/tray.h"
#include "wingui/controls.h"
#include "wingui/form.h"
#include "wingui/menu.h"
#include "wingui/timer.h"

namespace ixo {

class TForm1 : public TForm {
 public:
  // Makes the window (hidden) and runs FormCreate with the settings of
  // `settingsFolder` (ending in a backslash). Throws Error when the settings
  // cannot be read; nothing of the window is left then.
  explicit TForm1(std::string settingsFolder);
  ~TForm1() override;

  // The controls under their designer names, each with its caption.
  TLabel Label1;          // "タイトル(&T) :"
  TLabel Label2;          // "URL (&U) :"
  TLabel Label4;          // "保存フォルダ:"
  TEdit Edit1;            // the title box, "新規URL" at first
  TEdit Edit2;            // the URL box, "http://www." at first
  TButton saveb;          // "保存(&S)"
  TButton closeb;         // "閉じる(&C)"
  TButton optionb;        // "オプション(&O)"
  TComboBox ComboBox1;    // the save folders
  TButton Textp;          // "URLとタイトルの取得(&G)"
  TButton new_;           // "新規作成(&N)"; its designer name, new, is taken by C++
  TButton Urlp;           // "<< 貼り付け" beside the URL box
  TButton Titlep;         // "<< 貼り付け" beside the title box
  TCheckBox kansi;        // "クリップボードを監視"
  TTimer Tim;             // the automatic exit's countdown
  TPopupMenu PopupMenu1;  // the tray icon's menu, with these items:
  TMenuItem N5;           // "元のサイズに戻す(&R)"
  TMenuItem N4;           // a separator
  TMenuItem URLG1;        // "URLとタイトルの取得(&G)"
  TMenuItem S1;           // "保存(&S)"
  TMenuItem N1;           // a separator
  TMenuItem O1;           // "オプション(&O)"
  TMenuItem N2;           // "クリップボードを監視"
  TMenuItem N3;           // a separator
  TMenuItem Close1;       // "閉じる(&C)"

  TOptionRecord OptionRec;
  LineList DelList;
  std::u16string LastClip;
  HWND NextViewer = nullptr;
  bool MonitorOn = false;
  std::string URLChars;
  // Whether addresses that begin with "https://" are taken too, whether an
  // address copied alone takes its link's title and asks its page for one;
  // set by hanei.
  bool HttpsOn = false;
  bool LinkTitleOn = false;
  bool PageTitleOn = false;
  TURLText CurURL;
  int32_t CountDown = 0;
  TTrayIcon TrayIcon;

  bool Save();
  bool Write(const TURLText& rec);
  void hanei(const TOptionRecord& rec);
  void chclip();

  void savebClick();
  void S1Click();
  void closebClick();
  void Close1Click();
  void optionbClick();
  void O1Click();
  void TextpClick();
  void URLG1Click();
  void newClick();
  void UrlpClick();
  void TitlepClick();
  void kansiClick();
  void N2Click();
  void N5Click();
  void Edit1KeyPress(wchar_t& key);
  void Edit2KeyPress(wchar_t& key);
  void ComboBox1KeyPress(wchar_t& key);

  // The tray icon and the automatic exit.
  void AppOnMinimize();
  void AppOnRestore();
  void AppOnDeactivate();
  void resettime();
  void TimTimer();

  const std::string& SettingsFolder() const { return settingsFolder_; }

 protected:
  void FormClose(TCloseAction& action) override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void CreateControls();
  void FormCreate();
  void OpenOptions();
  // Runs chclip once for each change of the clipboard, whichever of the
  // two change notices (viewer chain, format listener) brings it.
  void ClipboardChanged();
  void JoinChain();
  void LeaveChain();
  void EndSession();

  LRESULT WMSysCmd(WPARAM wParam, LPARAM lParam);
  LRESULT WMHitTest(WPARAM wParam, LPARAM lParam);
  LRESULT WMDrawClip(WPARAM wParam, LPARAM lParam);
  LRESULT WMChangeChain(WPARAM wParam, LPARAM lParam);
  LRESULT WMTrayIcon(WPARAM wParam, LPARAM lParam);
  // A page's answer to AskPageTitle: the shortcut takes the page's title.
  LRESULT WMPageTitle(WPARAM wParam, LPARAM lParam);

  // Restores the window from the tray or the taskbar and brings it (or the
  // modal window on top, while one is open) to the front.
  void BringUp();
  // Makes the main window the foreground window, or the modal window on top
  // while one is open.
  void ToForeground();

  std::string settingsFolder_;
  bool inChain_ = false;
  // While the options dialog is open: the watch and the timer stay off.
  bool optionsOpen_ = false;
  DWORD handledClipboard_ = 0;
  UINT taskbarCreated_ = 0;
  // The file the last Save wrote; empty when it wrote none.
  std::wstring saved_;
};

}  // namespace ixo
