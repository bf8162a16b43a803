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
// What the URL page's Default button puts into its box: the settings'
// default with the underscore added.
inline constexpr const char* kURLPageDefault = "-=?;%&,#\\_";

class TForm2 : public TForm {
 public:
  // Makes the dialog, hidden, with every control as designed and the
  // "バージョン情報" page in front.
  TForm2();
  ~TForm2() override;

  // Outside the pages, in tab order.
  TButton Button1, Button2, help;
  TPageControl PageControl1;
  TButton test;
  TEdit testtitle, testurl;

  // "フォルダ"
  TTabSheet TabSheet1;
  TLabel Label4, Label6;
  TButton Button7, Button9;
  TListBox fList;
  TButton bru, Button10, Button11, Button12;
  // "タイトル"
  TTabSheet TabSheet2;
  TLabel Label1;
  TMemo deltx;
  TButton Button4, Button6;
  // "URL"
  TTabSheet TabSheet3;
  TLabel Label2, Label3;
  TChangeEdit Edit;
  TButton Button5, Button8;
  TCheckBox c5;  // "https:// で始まるアドレスも認識する"
  // "その他" (a page without a name of its own in the design)
  TTabSheet OtherSheet;
  TCheckBox C1, C2, c3, c4;
  TPanel Panel1;
  TLabel Label9;
  TRadioButton r1, r2, r3;
  TUpDown ud1;
  TChangeEdit ed1;
  TButton Button3, Button16;
  // "バージョン情報"
  TTabSheet TabSheet4;
  TColorLabel Label8;
  TLabel Version, Label7, Label5;
  TMemo Memo1;
  TButton Button13, Button14, Button15;

  TSHBrowseForFolderEx SHBrEx1;

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
  void SetOtherPage(bool tray, bool atc, bool min, int32_t acTime, uint8_t acType);
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
