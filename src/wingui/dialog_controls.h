// The controls a dialog needs beyond the basic ones: tab pages, panels, a
// list box, a multi-line edit, radio buttons, an up-down, an edit that
// reports its changes and a label of its own colour. They build on TControl
// as the basic controls do.
//
// Pages and panels are containers: the controls on them are created with the
// container as their parent, and Tab walks into them as into the form itself.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/linelist.h"
#include "wingui/controls.h"

namespace ixo {

// A window that holds controls: it hands their notices on, lets Tab walk
// into them and paints the dialog background.
class TContainer : public TControl {
 protected:
  void CreateContainer(TForm& form, const ControlArgs& args, DWORD style = 0);
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

class TTabSheet;

// Tab pages (a tab control). The pages are its children and fill its display
// area; only the active one is shown. The keyboard works as in every property
// sheet: the tab control is a tab stop of its own, before the page's
// controls; while it has the focus the arrow keys go from page to page; from
// anywhere in the form Ctrl+Tab and Ctrl+PgDn go to the next page,
// Ctrl+Shift+Tab and Ctrl+PgUp to the one before, round the pages.
class TPageControl : public TControl {
 public:
  void Create(TForm& form, const ControlArgs& args);
  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* Page(int index) const { return pages_[static_cast<size_t>(index)]; }
  int ActivePageIndex() const;
  // Selects the tab and shows its page; an index outside the pages selects
  // nothing new.
  void SetActivePageIndex(int index);
  // The area the pages fill, in the control's client coordinates.
  RECT DisplayRect() const;

  bool PreviewFormKey(const MSG& msg) override;

 protected:
  LRESULT Notify(const NMHDR& header) override;

 private:
  friend class TTabSheet;
  void AddPage(TTabSheet* page, const std::string& caption);
  void ShowActivePage();
  std::vector<TTabSheet*> pages_;
};

// One page of a TPageControl; its controls name it as their parent.
class TTabSheet : public TContainer {
 public:
  // Appends the page with its tab caption.
  void Create(TForm& form, TPageControl& pages, std::string_view caption);
  TPageControl* PageControl() const { return pages_; }

 protected:
  void Rescale() override;

 private:
  TPageControl* pages_ = nullptr;
};

// A panel with a raised inner and a lowered outer bevel (an etched frame).
class TPanel : public TContainer {
 public:
  void Create(TForm& form, const ControlArgs& args);

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

// A one-line edit that reports every change of its text, typed or set by
// code, and can have the input method switched off.
class TChangeEdit : public TEdit {
 public:
  void Create(TForm& form, const ControlArgs& args, bool imeOff = false);
  std::function<void()> OnChange;

 protected:
  void Command(WORD code) override;
};

// A static text in a colour of its own.
class TColorLabel : public TLabel {
 public:
  void Create(TForm& form, const ControlArgs& args, COLORREF color, const LabelStyle& style = {});

 protected:
  HBRUSH CtlColor(HDC dc) override;

 private:
  COLORREF color_ = 0;
};

// A list box of single selection whose items stay in the order given. The
// items are as high as its font's lines.
class TListBox : public TControl {
 public:
  void Create(TForm& form, const ControlArgs& args);
  void Clear();
  void Add(std::string_view item);
  void Insert(int index, std::string_view item);
  void Delete(int index);
  // Removes item `from`, then inserts it at `to` of the shortened list.
  void Move(int from, int to);
  int Count() const;
  std::string Item(int index) const;
  std::wstring ItemW(int index) const;
  std::vector<std::string> Items() const;
  // The items from the lines of `text`; afterwards nothing is selected.
  void SetItemsText(std::string_view text);
  // Every item followed by CR LF.
  std::string ItemsText() const;
  int ItemIndex() const;  // -1: nothing selected
  void SetItemIndex(int index);
};

struct MemoStyle {
  bool scrollBars = false;  // both scroll bars, and lines that never wrap
  bool readOnly = false;
};

// A multi-line edit. Enter starts a new line in it; its text can be as
// large as the system allows.
class TMemo : public TControl {
 public:
  void Create(TForm& form, const ControlArgs& args, const MemoStyle& style = {});
  // Sets the whole text (lines separated by CR LF). Throws
  // Error("文字列の大きさが メモ の制限を越えました") when it does not fit.
  void SetMemoText(std::string_view text);
  // The lines of the text.
  LineList Lines() const { return LineList(Text()); }

 protected:
  HBRUSH CtlColor(HDC dc) override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  bool readOnly_ = false;
};

// A radio button. The buttons of one parent from one that starts a group
// up to the next group's start form a group: checking one clears the others,
// by the user or by SetChecked. Tab stops at the checked button of a group
// only; the arrow keys move within it.
class TRadioButton : public TControl {
 public:
  void Create(TForm& form, const ControlArgs& args, bool startsGroup = false);
  bool Checked() const;
  void SetChecked(bool checked);

 protected:
  void Command(WORD code) override;

 private:
  // The radio buttons of this one's group, in order.
  std::vector<HWND> Group() const;
  void UpdateTabStops() const;
};

enum TUDBtnType { btNext, btPrev };

// A vertical up-down of its own (no edit attached): the arrows step the
// position by one within the range, without wrapping around.
class TUpDown : public TControl {
 public:
  void Create(TForm& form, const ControlArgs& args, int min, int max, int position);
  int Position() const;
  // Brings `position` into the range first.
  void SetPosition(int position);
  int Min() const { return min_; }
  int Max() const { return max_; }
  // Runs after an arrow was clicked and the position stepped, with the arrow.
  std::function<void(TUDBtnType button)> OnClick;

 protected:
  LRESULT Notify(const NMHDR& header) override;

 private:
  friend class TContainer;
  void Scrolled(WORD code);
  int min_ = 0;
  int max_ = 100;
  TUDBtnType lastButton_ = btNext;
};

}  // namespace ixo
