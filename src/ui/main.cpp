#include "ui/main.h"

#include <exception>
#include <string>

#include "clipboard/clipboard.h"
#include "core/autoexit.h"
#include "ui/optionbox.h"
#include "ui/page_titles.h"
#include "win32/shortcut.h"
#include "win32/wide.h"
#include "wingui/app.h"
#include "wingui/errorbox.h"

namespace ixo {
namespace {

const TFontSpec kPGothic{"ＭＳ Ｐゴシック", 12};
const TFontSpec kUIGothic{"MS UI Gothic", 12};

bool IsSizeCommand(WPARAM command) {
  // SC_SIZE with its eight edge variants (SC_SIZE + WMSZ_LEFT to
  // WMSZ_BOTTOMRIGHT), and exactly SC_MAXIMIZE.
  return (command >= SC_SIZE && command <= SC_SIZE + WMSZ_BOTTOMRIGHT) || command == SC_MAXIMIZE;
}

// Enter means nothing in the title box, the URL box or the folder list: it
// is dropped before the control sees it.
void DropEnter(wchar_t& key) {
  if (key == L'\r') key = 0;
}

}  // namespace

TForm1::TForm1(std::string settingsFolder)
    : Tim(*this), settingsFolder_(std::move(settingsFolder)) {
  FormArgs args;
  args.className = L"TForm1";
  args.caption = "Ixo";
  args.width = 400;
  args.height = 159;
  args.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME;
  args.font = kPGothic;
  CreateForm(args);
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  Application().SetMainForm(this);
  CreateControls();
  try {
    FormCreate();
  } catch (...) {
    Application().OnMinimize = nullptr;
    Application().OnRestore = nullptr;
    Application().OnDeactivate = nullptr;
    TrayIcon.Delete();
    LeaveChain();
    Application().SetMainForm(nullptr);
    DestroyHandle();
    throw;
  }
}

TForm1::~TForm1() {
  if (HasApplication()) {
    Application().OnMinimize = nullptr;
    Application().OnRestore = nullptr;
    Application().OnDeactivate = nullptr;
  }
  // Whatever the close left undone (a window made and dropped without a
  // close, as a failed start-up does) is undone here; nothing is saved.
  if (TrayIcon.Shown()) TrayIcon.Delete();
  LeaveChain();
  DestroyHandle();
}

void TForm1::CreateControls() {
  // Made in tab order; each label comes right before the box its
  // underlined letter focuses.
  Label1.Create(*this, {.caption = "タイトル(&T) :", .bounds = {5, 11, 56, 12}, .font = &kUIGothic},
                {.alignment = TAlignment::Right});
  Edit1.Create(*this, {.caption = "新規URL", .bounds = {65, 6, 251, 20}});
  Label2.Create(*this, {.caption = "URL (&U) :", .bounds = {5, 37, 56, 12}, .font = &kUIGothic},
                {.alignment = TAlignment::Right});
  Edit2.Create(*this, {.caption = "http://www.", .bounds = {65, 32, 251, 20}});
  saveb.Create(*this, {.caption = "保存(&S)", .bounds = {145, 59, 116, 20}, .font = &kUIGothic});
  closeb.Create(*this, {.caption = "閉じる(&C)", .bounds = {267, 59, 119, 20}, .font = &kUIGothic});
  optionb.Create(*this,
                 {.caption = "オプション(&O)", .bounds = {5, 80, 136, 20}, .font = &kUIGothic});
  Label4.Create(*this, {.caption = "保存フォルダ:", .bounds = {5, 108, 69, 12}});
  ComboBox1.Create(*this, {.bounds = {75, 102, 311, 20}}, 10);
  Textp.Create(
      *this,
      {.caption = "URLとタイトルの取得(&G)", .bounds = {5, 59, 136, 20}, .font = &kUIGothic});
  new_.Create(*this, {.caption = "新規作成(&N)", .bounds = {145, 80, 116, 20}, .font = &kUIGothic});
  Urlp.Create(*this, {.caption = "<< 貼り付け", .bounds = {321, 34, 65, 20}});
  Titlep.Create(*this, {.caption = "<< 貼り付け", .bounds = {321, 5, 65, 20}});
  kansi.Create(
      *this, {.caption = "クリップボードを監視", .bounds = {267, 80, 119, 20}, .font = &kUIGothic});
  SetActiveControl(&ComboBox1);

  Edit1.OnKeyPress = [this](wchar_t& key) { Edit1KeyPress(key); };
  Edit2.OnKeyPress = [this](wchar_t& key) { Edit2KeyPress(key); };
  ComboBox1.OnKeyPress = [this](wchar_t& key) { ComboBox1KeyPress(key); };
  saveb.OnClick = [this] { savebClick(); };
  closeb.OnClick = [this] { closebClick(); };
  optionb.OnClick = [this] { optionbClick(); };
  Textp.OnClick = [this] { TextpClick(); };
  new_.OnClick = [this] { newClick(); };
  Urlp.OnClick = [this] { UrlpClick(); };
  Titlep.OnClick = [this] { TitlepClick(); };
  kansi.OnClick = [this] { kansiClick(); };
  Tim.OnTimer = [this] { TimTimer(); };

  PopupMenu1.Add(N5, {.caption = "元のサイズに戻す(&R)", .shortcut = "Ctrl+R", .isDefault = true});
  PopupMenu1.AddSeparator(N4);
  PopupMenu1.Add(URLG1, {.caption = "URLとタイトルの取得(&G)", .shortcut = "Ctrl+G"});
  PopupMenu1.Add(S1, {.caption = "保存(&S)", .shortcut = "Ctrl+S"});
  PopupMenu1.AddSeparator(N1);
  PopupMenu1.Add(O1, {.caption = "オプション(&O)", .shortcut = "Ctrl+O"});
  PopupMenu1.Add(N2, {.caption = "クリップボードを監視", .shortcut = "Ctrl+C"});
  PopupMenu1.AddSeparator(N3);
  PopupMenu1.Add(Close1, {.caption = "閉じる(&C)"});
  N5.OnClick = [this] { N5Click(); };
  URLG1.OnClick = [this] { URLG1Click(); };
  S1.OnClick = [this] { S1Click(); };
  O1.OnClick = [this] { O1Click(); };
  N2.OnClick = [this] { N2Click(); };
  Close1.OnClick = [this] { Close1Click(); };
}

void TForm1::FormCreate() {
  LastClip.clear();
  Application().OnMinimize = [this] { AppOnMinimize(); };
  Application().OnRestore = [this] { AppOnRestore(); };
  Application().OnDeactivate = [this] { AppOnDeactivate(); };
  // The icon record is ready before anything may touch the icon.
  TrayIcon.Fill(Handle(), Application().SmallIcon(), "IXO");
  OptionRec = LoadOptionsFrom(settingsFolder_);
  DelList.Clear();
  hanei(OptionRec);
  if (OptionRec.Min) SetWindowState(TWindowState::Minimized);
  try {
    chclip();
  } catch (...) {
    // The window still joins the chain below: a clipboard that was busy at
    // start-up must not end the watch for the whole run.
    Application().ShowException(std::current_exception());
  }
  JoinChain();
}

void TForm1::FormClose(TCloseAction& action) {
  (void)action;
  TrayIcon.Delete();
  try {
    SaveOptionsTo(settingsFolder_, OptionRec);
  } catch (...) {
    // The close is abandoned. In tray mode the icon is the only way back to
    // the window, where the folder can be mended or the automatic exit
    // switched off.
    if (OptionRec.Tray) TrayIcon.Add();
    throw;
  }
  DelList.Clear();
  LeaveChain();
  Tim.SetEnabled(false);
}

void TForm1::EndSession() {
  // As a close would, but the session ends whatever happens: no box that
  // nobody could answer, and nothing that holds up the log-off.
  TrayIcon.Delete();
  try {
    SaveOptionsTo(settingsFolder_, OptionRec);
  } catch (...) {
  }
  LeaveChain();
  // The message loop ends, and whatever modal window is open ends first as
  // its Cancel would: the settings are written already.
  Application().CancelModal();
  Application().Terminate();
}

bool TForm1::Save() {
  CurURL.Title = ToU16(Edit1.TextW());
  CurURL.URL = ToU16(Edit2.TextW());
  saved_.clear();
  return MakeURLFile(ComboBox1.SelectedTextW(), CurURL, HttpsOn, &saved_);
}

bool TForm1::Write(const TURLText& rec) {
  if (rec.Title.empty()) return false;
  Edit1.SetTextW(ToWide(rec.Title));
  Edit2.SetTextW(ToWide(rec.URL));
  return true;
}

void TForm1::hanei(const TOptionRecord& rec) {
  Tim.SetEnabled(rec.Atc);
  CountDown = rec.AcTime;
  resettime();
  DelList.SetText(rec.DelText);
  kansi.SetChecked(rec.Kansi);
  MonitorOn = kansi.Checked();
  N2.SetChecked(MonitorOn);
  ComboBox1.Clear();
  const LineList dirs(rec.Dirs);
  for (const std::string_view dir : dirs.Lines()) ComboBox1.Add(dir);
  if (ComboBox1.Count() > 0) ComboBox1.SetItemIndex(0);
  URLChars = UniqueChars(rec.Ninsiki);
  HttpsOn = rec.Https;
  LinkTitleOn = rec.HtmlTitle;
  PageTitleOn = rec.PageTitle;
  if (rec.Tray) {
    AppOnMinimize();
  } else {
    AppOnRestore();
  }
}

void TForm1::chclip() {
  // The options dialog's caller looks at the clipboard once it is over.
  if (!MonitorOn || optionsOpen_) return;
  const std::optional<ClipCopy> copy = ReadNewCopy(LastClip);
  if (!copy) return;
  // Through the two boxes: Save takes the title and the URL from them, so
  // that what is saved is what the user sees.
  const TURLText found = FindURL(*copy, URLChars, DelList, HttpsOn, LinkTitleOn);
  if (Write(found)) {
    const bool saved = Save();
    resettime();
    // Named after its address: the page may name itself, and the shortcut
    // is renamed when it does.
    if (saved && found.TitleFromAddress && PageTitleOn) {
      AskPageTitle(Handle(), {ComboBox1.SelectedTextW(), saved_, CurURL}, HttpsOn);
    }
  }
}

void TForm1::ClipboardChanged() {
  // Both notices arrive for one change; the sequence number tells the
  // second one (0: the system does not count changes, so always look).
  const DWORD sequence = GetClipboardSequenceNumber();
  if (sequence != 0 && sequence == handledClipboard_) return;
  handledClipboard_ = sequence;
  chclip();
}

void TForm1::JoinChain() {
  if (inChain_) return;
  inChain_ = true;
  NextViewer = SetClipboardViewer(Handle());
  // A second road for the same notices: a program in the viewer chain that
  // does not pass them on cannot stop the watch.
  AddClipboardFormatListener(Handle());
}

void TForm1::LeaveChain() {
  if (!inChain_ || !Handle()) return;
  ChangeClipboardChain(Handle(), NextViewer);
  RemoveClipboardFormatListener(Handle());
  NextViewer = nullptr;
  inChain_ = false;
}

void TForm1::savebClick() { Save(); }
void TForm1::S1Click() { Save(); }
void TForm1::closebClick() { Close(); }
void TForm1::Close1Click() { Close(); }
void TForm1::optionbClick() { OpenOptions(); }
void TForm1::O1Click() { OpenOptions(); }

void TForm1::OpenOptions() {
  // One modal window at a time: with a message box, the dialog or the
  // folder browser open, the request brings that window forward.
  if (Application().InModalState()) {
    BringUp();
    return;
  }
  MonitorOn = false;
  Tim.SetEnabled(false);
  // The watch and the timer come back whatever happens in the dialog: a
  // failure is shown first, and then they are put back.
  std::exception_ptr failure;
  optionsOpen_ = true;
  try {
    ShowOptionBox(OptionRec);
  } catch (...) {
    failure = std::current_exception();
  }
  optionsOpen_ = false;
  if (failure) HandleException(failure);
  hanei(OptionRec);
  chclip();
}

void TForm1::TextpClick() {
  // Any text but the empty one, private or not: the user asked for it.
  const std::optional<ClipCopy> copy = ReadCopy();
  if (copy && !copy->text.empty()) {
    Write(FindURL(*copy, URLChars, DelList, HttpsOn, LinkTitleOn));
  }
}

void TForm1::URLG1Click() { TextpClick(); }

void TForm1::newClick() {
  Edit1.SetText("新規URL");
  Edit2.SetText("http://www.");
}

void TForm1::UrlpClick() {
  if (GetClipText(LastClip)) Edit2.SetTextW(ToWide(LastClip));
}

void TForm1::TitlepClick() {
  if (GetClipText(LastClip)) Edit1.SetTextW(ToWide(LastClip));
}

void TForm1::kansiClick() {
  MonitorOn = kansi.Checked();
  OptionRec.Kansi = MonitorOn;
  N2.SetChecked(MonitorOn);
}

void TForm1::N2Click() {
  N2.SetChecked(!N2.Checked());
  kansi.SetChecked(N2.Checked());
  OptionRec.Kansi = kansi.Checked();
  MonitorOn = OptionRec.Kansi;
  Tim.SetInterval(OptionRec.Kansi ? 1000 : 0);
}

void TForm1::N5Click() {
  if (WindowState() == TWindowState::Minimized) SetWindowState(TWindowState::Normal);
  BringUp();
}

void TForm1::Edit1KeyPress(wchar_t& key) { DropEnter(key); }
void TForm1::Edit2KeyPress(wchar_t& key) { DropEnter(key); }
void TForm1::ComboBox1KeyPress(wchar_t& key) { DropEnter(key); }

LRESULT TForm1::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SYSCOMMAND:
      return WMSysCmd(wParam, lParam);
    case WM_NCHITTEST:
      return WMHitTest(wParam, lParam);
    case WM_DRAWCLIPBOARD:
      return WMDrawClip(wParam, lParam);
    case WM_CHANGECBCHAIN:
      return WMChangeChain(wParam, lParam);
    case WM_CLIPBOARDUPDATE:
      ClipboardChanged();
      return 0;
    case WM_TRAYICON:
      return WMTrayIcon(wParam, lParam);
    case WM_PAGETITLE:
      return WMPageTitle(wParam, lParam);
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) EndSession();
      return 0;
  }
  if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
    // The notification area was rebuilt (the shell restarted): the icon
    // that was shown is gone with it.
    if (TrayIcon.Shown()) TrayIcon.Add();
    return 0;
  }
  return TForm::WndProc(msg, wParam, lParam);
}

LRESULT TForm1::WMSysCmd(WPARAM wParam, LPARAM lParam) {
  if (IsSizeCommand(wParam)) return 0;
  return TForm::WndProc(WM_SYSCOMMAND, wParam, lParam);
}

LRESULT TForm1::WMHitTest(WPARAM wParam, LPARAM lParam) {
  const LRESULT hit = TForm::WndProc(WM_NCHITTEST, wParam, lParam);
  // The eight border and corner areas: the border cannot be dragged.
  return hit >= HTLEFT && hit <= HTBOTTOMRIGHT ? HTNOWHERE : hit;
}

LRESULT TForm1::WMDrawClip(WPARAM wParam, LPARAM lParam) {
  TForm::WndProc(WM_DRAWCLIPBOARD, wParam, lParam);
  try {
    ClipboardChanged();
  } catch (...) {
    // The chain goes on even when this window's part failed.
    if (NextViewer) SendMessageW(NextViewer, WM_DRAWCLIPBOARD, 0, 0);
    throw;
  }
  if (NextViewer) SendMessageW(NextViewer, WM_DRAWCLIPBOARD, 0, 0);
  return 0;
}

LRESULT TForm1::WMPageTitle(WPARAM wParam, LPARAM lParam) {
  (void)wParam;
  const std::unique_ptr<PageAnswer> answer = TakePageAnswer(lParam);
  // No page, no title, or one that is nothing as a file name: the shortcut
  // keeps its address's name, and nothing is said.
  if (!answer->page) return 0;
  const std::u16string title = CleanTitleText(PageTitleOf(*answer->page), DelList);
  if (title.empty()) return 0;
  const PageAsked& asked = answer->asked;
  if (!RenameURLFile(asked.folder, asked.file, title)) return 0;
  if (ToU16(Edit1.TextW()) == asked.shown.Title && ToU16(Edit2.TextW()) == asked.shown.URL) {
    Edit1.SetTextW(ToWide(title));
  }
  return 0;
}

LRESULT TForm1::WMChangeChain(WPARAM wParam, LPARAM lParam) {
  if (reinterpret_cast<HWND>(wParam) == NextViewer) {
    NextViewer = reinterpret_cast<HWND>(lParam);
  } else if (NextViewer) {
    SendMessageW(NextViewer, WM_CHANGECBCHAIN, wParam, lParam);
  }
  return 0;
}

// --- The tray icon and the automatic exit ------------------------------------

void TForm1::AppOnMinimize() {
  if (!OptionRec.Tray) return;
  TrayIcon.Fill(Handle(), Application().SmallIcon(), "IXO");
  TrayIcon.Add();
  ShowWindow(Application().Handle(), SW_HIDE);
}

void TForm1::AppOnRestore() {
  SetWindowState(TWindowState::Normal);
  if (OptionRec.Tray) {
    ShowWindow(Application().Handle(), SW_HIDE);
  } else {
    ShowWindow(Application().Handle(), SW_SHOW);
    TrayIcon.Delete();
  }
  ToForeground();
}

void TForm1::ToForeground() {
  // Over a disabled window the user could do nothing: with a message box,
  // the options dialog or the folder browser open, the enabled one on top
  // comes forward instead.
  if (Application().InModalState()) {
    Application().BringActivePopupToFront();
  } else {
    SetForegroundWindow(Handle());
  }
}

void TForm1::BringUp() {
  Application().Restore();
  ToForeground();
}

LRESULT TForm1::WMTrayIcon(WPARAM wParam, LPARAM lParam) {
  (void)wParam;
  switch (lParam) {
    case WM_LBUTTONDOWN:
      if (WindowState() == TWindowState::Minimized) SetWindowState(TWindowState::Normal);
      BringUp();
      break;
    case WM_RBUTTONDOWN: {
      BringUp();
      HWND popup = Application().InModalState() ? Application().ActivePopup() : nullptr;
      POINT cursor;
      GetCursorPos(&cursor);
      // The menu's owner is the foreground window, or the menu would not
      // close when the user clicks elsewhere.
      TMenuItem* chosen = PopupMenu1.Track(cursor, popup ? popup : Handle());
      // And the window gets a message after the menu, or a second click on
      // the icon would open it only every other time.
      PostMessageW(Handle(), WM_NULL, 0, 0);
      if (!chosen) break;
      // With a modal window open the items only bring it forward: the
      // dialog's caller still works on OptionRec, a box waits for its OK.
      if (Application().InModalState()) {
        BringUp();
      } else {
        chosen->Click();
      }
      break;
    }
  }
  return 0;
}

void TForm1::AppOnDeactivate() {
  // The options dialog keeps the timer off until it has ended.
  if (optionsOpen_) return;
  Tim.SetEnabled(OptionRec.Atc);
}

void TForm1::resettime() {
  if (CountsInactivity(OptionRec.AcType)) Tim.SetEnabled(false);
  CountDown = OptionRec.AcTime;
  SetCaption("Ixo");
  if (OptionRec.Tray) {
    TrayIcon.ShowTip("Ixo");
  }
}

void TForm1::TimTimer() {
  if (CountsInactivity(OptionRec.AcType) && GetActiveWindow() == Handle()) {
    resettime();
    return;
  }
  if (CountDown == -1) {
    // A close that failed is still being reported: one box at a time.
    if (Application().ErrorBoxOpen()) return;
    Close();
    return;
  }
  const std::string text = "Ixo - 終了まであと " + std::to_string(CountDown) + "秒";
  SetCaption(text);
  if (OptionRec.Tray) {
    TrayIcon.ShowTip(text);
  }
  // Counting on below -1 wraps as the 32-bit count always did.
  CountDown = static_cast<int32_t>(static_cast<uint32_t>(CountDown) - 1u);
}

}  // namespace ixo
