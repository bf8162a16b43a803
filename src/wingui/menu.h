// A popup menu whose items own their clicks. Items are members of the form
// that shows the menu and are added in the order the menu lists them.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace ixo {

struct MenuItemArgs {
  std::string caption{};   // code page 932; "&" marks the underlined letter
  std::string shortcut{};  // shown at the right ("Ctrl+R"); no key is bound to it
  bool checked = false;
  bool isDefault = false;  // shown bold
};

class TMenuItem {
 public:
  std::function<void()> OnClick;
  void Click() {
    if (OnClick) OnClick();
  }
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  UINT Command() const { return command_; }

 private:
  friend class TPopupMenu;
  HMENU menu_ = nullptr;
  UINT command_ = 0;
  bool checked_ = false;
  bool separator_ = false;
};

class TPopupMenu {
 public:
  TPopupMenu();
  TPopupMenu(const TPopupMenu&) = delete;
  TPopupMenu& operator=(const TPopupMenu&) = delete;
  ~TPopupMenu();

  void Add(TMenuItem& item, const MenuItemArgs& args);
  void AddSeparator(TMenuItem& item);
  HMENU Handle() const { return menu_; }
  TMenuItem* ItemByCommand(UINT command) const;

  // Shows the menu with its top-left corner at `screen` for the window
  // `owner` and waits until the user chooses an item or dismisses the menu;
  // returns the item chosen, or nullptr. The item's click is not run.
  TMenuItem* Track(POINT screen, HWND owner);
  // Track, then the chosen item's click.
  void Popup(POINT screen, HWND owner);

 private:
  HMENU menu_;
  std::vector<TMenuItem*> items_;
};

}  // namespace ixo
