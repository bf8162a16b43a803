// The options dialog: edits every setting of an option record except the
// clipboard watch, modally, over the main window. Each settings page can go
// back to the values the dialog opened with; the Test button tries the
// title-delete strings and address characters on the clipboard as they stand
// in the dialog, before anything is kept.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "settings/options.h"
#include "wingui/controls.h"
#include "wingui/dialog_controls.h"
#include "wingui/form.h"
#include "wingui/shbffex.h"

namespace ixo {

// The About page's contact lines and the addresses its buttons open.
inline constexpr const char* kSiteName = "Ixo プロジェクト";
inline constexpr const char* kHomePage = "http://ixo.invalid/";
inline constexpr const char* kMailLink = "mailto:ixo@ixo.invalid";
// What the URL page's Default button puts into its box. It differs from the
// settings' default "-=?;%&,#\" on purpose: the button offers the underscore
// too, while a file without the key must go on reading as it always has.
inline constexpr const char* kURLPageDefault = "-=?;%&,#\\_";

class TForm2 : public TForm {
 public:
  // Makes the dialog, hidden, with every control as designed and the
  // "バージョン情報" page in front.
  TForm2();
  ~TForm2() override;

  // The controls under their designer names, each with its caption: those
  // outside the pages, then page by page.
  TButton Button1;            // "OK"
  TButton Button2;            // "ｷｬﾝｾﾙ"
  TButton help;               // "ﾍﾙﾌﾟ", hidden
  TPageControl PageControl1;  // the five pages
  TButton test;               // "テスト"
  TEdit testtitle;            // the title the test finds, "タイトル" at first
  TEdit testurl;              // the address the test finds

  TTabSheet TabSheet1;  // "フォルダ"
  TLabel Label4;        // "保存するフォルダ"
  TLabel Label6;        // "一番上が初めに選択されます"
  TButton Button7;      // "すべて消去"
  TButton Button9;      // "元に戻す"
  TListBox fList;       // the save folders
  TButton bru;          // "追加"
  TButton Button10;     // "上へ"
  TButton Button11;     // "下へ"
  TButton Button12;     // "削除"

  TTabSheet TabSheet2;  // "タイトル"
  TLabel Label1;        // "削除する文字列"
  TMemo deltx;          // the strings deleted from titles
  TButton Button4;      // "Default"
  TButton Button6;      // "元に戻す"

  TTabSheet TabSheet3;  // "URL"
  TLabel Label2;        // "認識する文字"
  TLabel Label3;        // "半角英数及び｢. : / ~｣はすでに…", what to type
  TChangeEdit Edit;     // the characters taken as part of an address
  TButton Button5;      // "Default"
  TButton Button8;      // "元に戻す"
  TCheckBox c5;         // "https:// で始まるアドレスも認識する"
  TCheckBox c6;  // "リンクのタイトルを使う (アドレスだけをコピーしたとき)"
  TCheckBox c7;  // "ページのタイトルを取りに行く (アドレスだけをコピーしたとき)"

  TTabSheet OtherSheet;  // "その他" (a page without a name of its own in the design)
  TCheckBox C1;          // "アイコンはタスクトレイへ"
  TCheckBox C2;          // "アイコン化したら監視をON", hidden
  TCheckBox c3;          // "最小化で起動"
  TCheckBox c4;          // "自動で終了"
  TPanel Panel1;         // the frame of the time controls
  TLabel Label9;         // "時間 (秒)"
  TRadioButton r1;       // "非アクティブになってから"
  TRadioButton r2;       // "最後の保存から"
  TRadioButton r3;       // "どちらか長い方"
  TUpDown ud1;           // the arrows beside the time box
  TChangeEdit ed1;       // the time box, in seconds
  TButton Button3;       // "元に戻す"
  TButton Button16;      // "Default"

  TTabSheet TabSheet4;  // "バージョン情報"
  TColorLabel Label8;   // "Ixo", the program's name in large letters
  TLabel Version;       // "Version"
  TLabel Label7;        // the version number
  TLabel Label5;        // "(C) Ixo の開発者たち"
  TMemo Memo1;          // the project's name, home page and mail address
  TButton Button13;     // "クリップボードへコピー"
  TButton Button14;     // "ホームページへ飛ぶ"
  TButton Button15;     // "メールを出す"

  TSHBrowseForFolderEx SHBrEx1;  // the folder browser of "追加"

  // How Button14 and Button15 hand an address to the shell; tests replace it.
  std::function<void(HWND parent, const std::string& address)> ShellOpen;

  // The controls from the record (opening), and the record from the
  // controls (OK). Kansi is neither shown nor stored.
  void Fill(const TOptionRecord& rec);
  void Store(TOptionRecord& rec) const;

  void Button1Click();
  void Button2Click();
  void testClick();
  void bruClick();
  void Button7Click();
  void Button9Click();
  void Button10Click();
  void Button11Click();
  void Button12Click();
  void Button4Click();
  void Button6Click();
  void Button5Click();
  void Button8Click();
  void c4Click();
  void ed1Change();
  void ud1Click(TUDBtnType button);
  void FormShow();
  void Button3Click();
  void Button16Click();
  void Button13Click();
  void Button14Click();
  void Button15Click();

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void CreateControls();
  void ConnectEvents();
  // The controls of the URL page and of page "その他" from `from`.
  void SetURLPage(const TOptionRecord& from);
  void SetOtherPage(const TOptionRecord& from);
  void SetTimeText();
};

// The dialog while ShowOptionBox runs, else null.
extern TForm2* Form2;
// The record as ShowOptionBox was given it; the revert buttons read it.
extern TOptionRecord Backup;
// Whether the dialog was left with OK.
extern bool OKPressed;

// Shows the dialog and returns when it has closed. Only when the user left
// it with OK does `rec` take the dialog's values. While the dialog is open
// another call only brings it to the front. Throws
// Error("文字列の大きさが メモ の制限を越えました") when the title-delete text
// does not fit its box; the dialog is not shown then.
void ShowOptionBox(TOptionRecord& rec);

}  // namespace ixo
