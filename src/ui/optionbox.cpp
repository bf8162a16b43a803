#include "ui/optionbox.h"

#include <shellapi.h>

#include <span>
#include <string>

#include "clipboard/clipboard.h"
#include "core/autoexit.h"
#include "core/error.h"
#include "core/extract.h"
#include "core/linelist.h"
#include "core/optionrules.h"
#include "ixo_version.h"
#include "settings/history.h"
#include "win32/scoped.h"
#include "win32/wide.h"
#include "wingui/app.h"

namespace ixo {

TForm2* Form2 = nullptr;
TOptionRecord Backup;
bool OKPressed = false;

namespace {

const TFontSpec kPGothic{"ＭＳ Ｐゴシック", 12};
const TFontSpec kGothic{"ＭＳ ゴシック", 12};
const TFontSpec kGothic15{"ＭＳ ゴシック", 15};
const TFontSpec kTitleFont{"MS UI Gothic", 32, true, true};
const TFontSpec kVersionFont{"ＭＳ Ｐゴシック", 19, true};
const TFontSpec kNumberFont{"ＭＳ Ｐゴシック", 24, true, true};

constexpr COLORREF kFuchsia = RGB(255, 0, 255);
constexpr int kAboutPage = 4;

// A dialog border: no sizing, minimising or maximising.
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kDialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

void DefaultShellOpen(HWND parent, const std::string& address) {
  // Whether the shell could open it is not the dialog's concern.
  ShellExecuteW(parent, nullptr, Wide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// Each check box of the settings pages with the switch of the record it
// shows: opening the dialog, OK, and each page's Default and revert buttons
// walk these rows.
struct PageSwitch {
  TCheckBox TForm2::*box;
  bool TOptionRecord::*setting;
};
const PageSwitch kURLSwitches[] = {
    {&TForm2::c5, &TOptionRecord::Https},
    {&TForm2::c6, &TOptionRecord::HtmlTitle},
    {&TForm2::c7, &TOptionRecord::PageTitle},
};
const PageSwitch kOtherSwitches[] = {
    {&TForm2::C1, &TOptionRecord::Tray},
    {&TForm2::c4, &TOptionRecord::Atc},
    {&TForm2::c3, &TOptionRecord::Min},
};

void ShowSwitches(TForm2& dialog, std::span<const PageSwitch> switches, const TOptionRecord& from) {
  for (const PageSwitch& s : switches) (dialog.*s.box).SetChecked(from.*s.setting);
}

void StoreSwitches(const TForm2& dialog, std::span<const PageSwitch> switches, TOptionRecord& rec) {
  for (const PageSwitch& s : switches) rec.*s.setting = (dialog.*s.box).Checked();
}

// Clears the dialog instance when ShowOptionBox leaves, also by an error.
struct InstanceGuard {
  explicit InstanceGuard(TForm2* dialog) { Form2 = dialog; }
  ~InstanceGuard() { Form2 = nullptr; }
  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;
};

}  // namespace

TForm2::TForm2() : ShellOpen(DefaultShellOpen) {
  FormArgs args;
  args.className = L"TForm2";
  args.caption = "IXOの設定";
  args.width = 317;
  args.height = 377;
  args.clientSize = true;
  args.style = kDialogStyle;
  args.exStyle = kDialogExStyle;
  args.font = kPGothic;
  CreateForm(args);
  // The system menu offers only moving and closing.
  HMENU menu = GetSystemMenu(Handle(), FALSE);
  for (UINT command : {SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE}) {
    DeleteMenu(menu, command, MF_BYCOMMAND);
  }
  CreateControls();
  ConnectEvents();
  SHBrEx1.SetOwner(Handle());
  SHBrEx1.SelectFolder = sfFavorites;
  SHBrEx1.Caption = "選択したフォルダに作成します。";
  SHBrEx1.ShowStyle = ssCenterScreen;
  PageControl1.SetActivePageIndex(kAboutPage);
  SetActiveControl(&Button1);
}

TForm2::~TForm2() { DestroyHandle(); }

void TForm2::CreateControls() {
  // Each parent's controls are made in their tab order.
  Button1.Create(*this, {.caption = "OK", .bounds = {160, 346, 75, 25}});
  Button2.Create(*this, {.caption = "ｷｬﾝｾﾙ", .bounds = {240, 346, 75, 25}});
  help.Create(*this,
              {.caption = "ﾍﾙﾌﾟ", .bounds = {8, 346, 75, 25}, .visible = false, .enabled = false});
  PageControl1.Create(*this, {.bounds = {0, 0, 317, 286}});

  TabSheet1.Create(*this, PageControl1, "フォルダ");
  TabSheet2.Create(*this, PageControl1, "タイトル");
  TabSheet3.Create(*this, PageControl1, "URL");
  OtherSheet.Create(*this, PageControl1, "その他");
  TabSheet4.Create(*this, PageControl1, "バージョン情報");

  TControl* page = &TabSheet1;
  Label4.Create(*this, {.caption = "保存するフォルダ", .bounds = {90, 10, 89, 12}, .parent = page});
  Label6.Create(
      *this,
      {.caption = "一番上が初めに選択されます", .bounds = {90, 25, 151, 12}, .parent = page});
  Button7.Create(*this, {.caption = "すべて消去", .bounds = {5, 190, 75, 25}, .parent = page});
  Button9.Create(*this, {.caption = "元に戻す", .bounds = {5, 220, 75, 25}, .parent = page});
  // Its items are as high as the font's lines: 12 pixels with the designed
  // font, more where the system substitutes a taller one.
  fList.Create(*this, {.bounds = {90, 40, 211, 211}, .font = &kPGothic, .parent = page});
  bru.Create(*this, {.caption = "追加", .bounds = {5, 40, 75, 25}, .parent = page});
  Button10.Create(*this, {.caption = "上へ", .bounds = {5, 85, 75, 25}, .parent = page});
  Button11.Create(*this, {.caption = "下へ", .bounds = {5, 115, 75, 25}, .parent = page});
  Button12.Create(*this, {.caption = "削除", .bounds = {5, 160, 75, 25}, .parent = page});

  page = &TabSheet2;
  Label1.Create(*this, {.caption = "削除する文字列", .bounds = {185, 5, 82, 12}, .parent = page});
  deltx.Create(*this, {.bounds = {10, 19, 291, 202}, .font = &kGothic, .parent = page},
               {.scrollBars = true});
  Button4.Create(*this, {.caption = "Default", .bounds = {225, 230, 75, 25}, .parent = page});
  Button6.Create(*this, {.caption = "元に戻す", .bounds = {145, 230, 75, 25}, .parent = page});

  page = &TabSheet3;
  Label2.Create(*this, {.caption = "認識する文字", .bounds = {230, 5, 70, 12}, .parent = page});
  Edit.Create(
      *this,
      {.caption = "_-=?;%&,#\\", .bounds = {7, 25, 294, 23}, .font = &kGothic15, .parent = page},
      true);
  Label3.Create(*this,
                {.caption = "半角英数及び｢. : / ~｣はすでに認識するようになっています。"
                            "半角文字のみ入力して下さい。",
                 .bounds = {5, 50, 304, 24},
                 .parent = page},
                {.autoSize = false, .wordWrap = true});
  Button5.Create(*this, {.caption = "Default", .bounds = {5, 110, 75, 25}, .parent = page});
  // The switches come right after Default in the tab order; the two
  // longer ones take two lines of the page's width.
  c5.Create(*this, {.caption = "https:// で始まるアドレスも認識する",
                    .bounds = {5, 145, 290, 17},
                    .parent = page});
  c6.Create(*this,
            {.caption = "リンクのタイトルを使う (アドレスだけをコピーしたとき)",
             .bounds = {5, 166, 300, 28},
             .parent = page},
            {.wordWrap = true});
  c7.Create(*this,
            {.caption = "ページのタイトルを取りに行く (アドレスだけをコピーしたとき)",
             .bounds = {5, 198, 300, 28},
             .parent = page},
            {.wordWrap = true});
  Button8.Create(*this, {.caption = "元に戻す", .bounds = {5, 80, 75, 25}, .parent = page});

  page = &OtherSheet;
  C1.Create(*this,
            {.caption = "アイコンはタスクトレイへ", .bounds = {8, 2, 211, 17}, .parent = page});
  C2.Create(*this, {.caption = "アイコン化したら監視をON",
                    .bounds = {96, 156, 186, 17},
                    .parent = page,
                    .visible = false});
  c3.Create(*this, {.caption = "最小化で起動", .bounds = {8, 22, 97, 17}, .parent = page});
  // Made before the panel, so that it lies over the panel's top edge like
  // the caption of a frame.
  c4.Create(*this, {.caption = "自動で終了", .bounds = {16, 40, 97, 17}, .parent = page});
  Panel1.Create(*this, {.bounds = {8, 48, 185, 97}, .parent = page});
  Button3.Create(*this, {.caption = "元に戻す", .bounds = {149, 230, 75, 25}, .parent = page});
  Button16.Create(*this, {.caption = "Default", .bounds = {229, 230, 75, 25}, .parent = page});

  TControl* panel = &Panel1;
  Label9.Create(*this, {.caption = "時間 (秒)", .bounds = {10, 20, 48, 12}, .parent = panel});
  r1.Create(*this,
            {.caption = "非アクティブになってから", .bounds = {8, 40, 161, 17}, .parent = panel},
            true);
  r2.Create(*this, {.caption = "最後の保存から", .bounds = {8, 56, 161, 17}, .parent = panel});
  r3.Create(*this, {.caption = "どちらか長い方", .bounds = {8, 72, 161, 17}, .parent = panel});
  const int32_t defaultTime = DefaultOptions().AcTime;
  ud1.Create(*this, {.bounds = {159, 12, 16, 20}, .parent = panel}, kMinTime, kMaxTime,
             defaultTime);
  // The up-down ends the radio buttons' group (the arrow keys stay among
  // them); the time box starts a group of its own.
  SetWindowLongPtrW(ud1.Handle(), GWL_STYLE, GetWindowLongPtrW(ud1.Handle(), GWL_STYLE) | WS_GROUP);
  ed1.Create(*this,
             {.caption = std::to_string(defaultTime), .bounds = {62, 12, 97, 20}, .parent = panel},
             true);
  SetWindowLongPtrW(ed1.Handle(), GWL_STYLE, GetWindowLongPtrW(ed1.Handle(), GWL_STYLE) | WS_GROUP);
  r1.SetChecked(true);

  page = &TabSheet4;
  Label8.Create(
      *this, {.caption = "Ixo", .bounds = {32, 24, 257, 32}, .font = &kTitleFont, .parent = page},
      kFuchsia, {.autoSize = false});
  Version.Create(
      *this,
      {.caption = "Version", .bounds = {85, 70, 69, 19}, .font = &kVersionFont, .parent = page});
  Label7.Create(
      *this,
      {.caption = IXO_VERSION, .bounds = {160, 66, 86, 24}, .font = &kNumberFont, .parent = page},
      {.autoSize = false});
  Memo1.Create(*this,
               {.caption = std::string(kSiteName) + "\r\n" + kHomePage + "\r\n" + kMailLink,
                .bounds = {30, 95, 226, 46},
                .parent = page},
               {.readOnly = true});
  Button13.Create(
      *this, {.caption = "クリップボードへコピー", .bounds = {80, 180, 136, 25}, .parent = page});
  Button14.Create(*this,
                  {.caption = "ホームページへ飛ぶ", .bounds = {35, 150, 136, 25}, .parent = page});
  Button15.Create(*this, {.caption = "メールを出す", .bounds = {175, 150, 75, 25}, .parent = page});
  Label5.Create(*this,
                {.caption = "(C) Ixo の開発者たち", .bounds = {65, 215, 202, 12}, .parent = page});

  test.Create(*this, {.caption = "テスト", .bounds = {240, 290, 75, 25}});
  testtitle.Create(*this, {.caption = "タイトル", .bounds = {0, 292, 236, 20}});
  testurl.Create(*this, {.caption = "http://www.なんとかなんとか", .bounds = {0, 321, 316, 20}});
}

void TForm2::ConnectEvents() {
  Button1.OnClick = [this] { Button1Click(); };
  Button2.OnClick = [this] { Button2Click(); };
  test.OnClick = [this] { testClick(); };
  bru.OnClick = [this] { bruClick(); };
  Button7.OnClick = [this] { Button7Click(); };
  Button9.OnClick = [this] { Button9Click(); };
  Button10.OnClick = [this] { Button10Click(); };
  Button11.OnClick = [this] { Button11Click(); };
  Button12.OnClick = [this] { Button12Click(); };
  Button4.OnClick = [this] { Button4Click(); };
  Button6.OnClick = [this] { Button6Click(); };
  Button5.OnClick = [this] { Button5Click(); };
  Button8.OnClick = [this] { Button8Click(); };
  c4.OnClick = [this] { c4Click(); };
  ed1.OnChange = [this] { ed1Change(); };
  ud1.OnClick = [this](TUDBtnType button) { ud1Click(button); };
  Button3.OnClick = [this] { Button3Click(); };
  Button16.OnClick = [this] { Button16Click(); };
  Button13.OnClick = [this] { Button13Click(); };
  Button14.OnClick = [this] { Button14Click(); };
  Button15.OnClick = [this] { Button15Click(); };
}

LRESULT TForm2::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  // Sent as the dialog is about to show, before anything of it is visible;
  // not when it comes back with its owner (lParam tells that case).
  if (msg == WM_SHOWWINDOW && wParam && lParam == 0) FormShow();
  return TForm::WndProc(msg, wParam, lParam);
}

void TForm2::Fill(const TOptionRecord& rec) {
  fList.SetItemsText(rec.Dirs);
  deltx.SetMemoText(CRLFBreaks(rec.DelText));
  SetURLPage(rec);
  SetOtherPage(rec);
}

void TForm2::Store(TOptionRecord& rec) const {
  rec.Dirs = fList.ItemsText();
  rec.DelText = deltx.Text();
  rec.Ninsiki = Edit.Text();
  StoreSwitches(*this, kURLSwitches, rec);
  StoreSwitches(*this, kOtherSwitches, rec);
  rec.AcTime = ud1.Position();
  if (r1.Checked()) {
    rec.AcType = kExitAfterInactive;
  } else if (r2.Checked()) {
    rec.AcType = kExitAfterLastSave;
  } else if (r3.Checked()) {
    rec.AcType = kExitWhicheverLonger;
  }
}

void TForm2::SetURLPage(const TOptionRecord& from) {
  Edit.SetText(from.Ninsiki);
  ShowSwitches(*this, kURLSwitches, from);
}

void TForm2::SetOtherPage(const TOptionRecord& from) {
  ShowSwitches(*this, kOtherSwitches, from);
  // A hand-edited settings file may hold any time; the up-down shows, and
  // OK keeps, the nearest one it can hold.
  ud1.SetPosition(ClampTime(from.AcTime));
  // One for each kind of automatic exit, in the kinds' order.
  TRadioButton* const radios[] = {&r1, &r2, &r3};
  radios[RadioOfAcType(from.AcType)]->SetChecked(true);
}

void TForm2::SetTimeText() { ed1.SetText(std::to_string(ud1.Position())); }

void TForm2::Button1Click() {
  Edit.SetText(TrimBlankBytes(Edit.Text()));
  OKPressed = true;
  SetModalResult(mrOk);
}

void TForm2::Button2Click() {
  OKPressed = false;
  Close();
}

void TForm2::testClick() {
  const std::optional<ClipCopy> copy = ReadCopy();
  if (!copy) return;
  // The link title as the switch stands; the page is never asked.
  const TURLText result =
      FindURL(*copy, UniqueChars(Edit.Text()), LineList(deltx.Text()), c5.Checked(), c6.Checked());
  testtitle.SetTextW(ToWide(result.Title));
  testurl.SetTextW(ToWide(result.URL));
}

void TForm2::bruClick() {
  // The browser is modal to the application's window; this dialog is kept
  // from a second Add (or OK) while it is open.
  bool chosen = false;
  {
    const DisabledWindow dialog(Handle());
    // The browser's loop is the shell's own: a close request ends it here.
    const TModalScope browser([this] { SHBrEx1.Cancel(); });
    chosen = SHBrEx1.Execute();
  }
  SetActiveWindow(Handle());
  if (!chosen) return;
  // The list is kept in code page 932 (IXO.ini is a code page 932 file): a
  // folder whose name that code page cannot hold is kept by its short name,
  // or not at all.
  const std::wstring& folder = SHBrEx1.FolderNameW();
  const std::optional<std::string> kept = folder.empty() ? std::string() : Cp932PathOf(folder);
  if (!kept) {
    constexpr char kCannotKeep[] = "フォルダ %s は保存先として記録できません";
    throw Error(FormatMessage1(kCannotKeep, Narrow(folder)),
                FormatMessage1(ToU16(Wide(kCannotKeep)), ToU16(folder)));
  }
  std::string list = fList.ItemsText();
  AddHistory(*kept, list);
  fList.SetItemsText(list);
}

void TForm2::Button7Click() { fList.Clear(); }

void TForm2::Button9Click() { fList.SetItemsText(Backup.Dirs); }

void TForm2::Button10Click() {
  const int i = fList.ItemIndex();
  if (i <= 0) return;
  fList.Move(i, i - 1);
  fList.SetItemIndex(i - 1);
}

void TForm2::Button11Click() {
  const int i = fList.ItemIndex();
  if (i < 0 || i >= fList.Count() - 1) return;
  fList.Move(i, i + 1);
  fList.SetItemIndex(i + 1);
}

void TForm2::Button12Click() {
  const int i = fList.ItemIndex();
  if (i < 0) return;
  fList.Delete(i);
  const int count = fList.Count();
  if (i == 0) {
    fList.SetItemIndex(count > 0 ? 0 : -1);
  } else if (i == count) {
    fList.SetItemIndex(count - 1);
  } else {
    fList.SetItemIndex(i);
  }
}

void TForm2::Button4Click() { deltx.SetMemoText(CRLFBreaks(DefaultOptions().DelText)); }

void TForm2::Button6Click() { deltx.SetMemoText(CRLFBreaks(Backup.DelText)); }

void TForm2::Button5Click() {
  TOptionRecord defaults = DefaultOptions();
  defaults.Ninsiki = kURLPageDefault;
  SetURLPage(defaults);
}

void TForm2::Button8Click() { SetURLPage(Backup); }

void TForm2::c4Click() {
  TControl* const timeControls[] = {&r1, &r2, &r3, &ud1, &ed1};
  for (TControl* control : timeControls) control->SetEnabled(c4.Checked());
}

void TForm2::ed1Change() {
  // What is no time in the range is left in the box as typed; the up-down
  // keeps the last good one, which is what OK stores.
  if (const auto seconds = TimeFromText(ed1.Text())) ud1.SetPosition(*seconds);
}

void TForm2::ud1Click(TUDBtnType button) {
  (void)button;
  SetTimeText();
}

void TForm2::FormShow() {
  SetTimeText();
  c4Click();
}

void TForm2::Button3Click() {
  SetOtherPage(Backup);
  SetTimeText();
}

void TForm2::Button16Click() {
  TOptionRecord defaults = DefaultOptions();
  // The page offers the first kind, counting from the moment the window
  // became inactive, where the settings' default is "whichever is longer":
  // the two count alike, and the first is the one the page always chose.
  defaults.AcType = kExitAfterInactive;
  SetOtherPage(defaults);
  SetTimeText();
}

void TForm2::Button13Click() { SetClipText(Memo1.Lines().Text()); }

void TForm2::Button14Click() { ShellOpen(Handle(), kHomePage); }

void TForm2::Button15Click() { ShellOpen(Handle(), kMailLink); }

void ShowOptionBox(TOptionRecord& rec) {
  // One dialog at a time: a second would share Backup and OKPressed with
  // the first, and both callers would apply their records.
  if (Form2) {
    Application().BringActivePopupToFront();
    return;
  }
  TForm2 dialog;
  InstanceGuard instance(&dialog);
  Backup = rec;
  OKPressed = false;
  dialog.Fill(rec);
  // Over the main window; over the screen's centre when that is minimised
  // or not there.
  TForm* main = HasApplication() ? Application().MainForm() : nullptr;
  const bool overMain = main && main->Handle() && !IsIconic(main->Handle());
  dialog.CenterOn(overMain ? main->Handle() : GetDesktopWindow());
  dialog.ShowModal();
  if (OKPressed) dialog.Store(rec);
}

}  // namespace ixo
