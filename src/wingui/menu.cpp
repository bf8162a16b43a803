#include "wingui/menu.h"

#include "win32/wide.h"

namespace ixo {

void TMenuItem::SetChecked(bool checked) {
  checked_ = checked;
  if (menu_) CheckMenuItem(menu_, command_, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

TPopupMenu::TPopupMenu() : menu_(CreatePopupMenu()) {}

TPopupMenu::~TPopupMenu() { DestroyMenu(menu_); }

void TPopupMenu::Add(TMenuItem& item, const MenuItemArgs& args) {
  item.menu_ = menu_;
  item.command_ = static_cast<UINT>(items_.size() + 1);
  item.checked_ = args.checked;
  std::string text = args.caption;
  if (!args.shortcut.empty()) text += "\t" + args.shortcut;
  AppendMenuW(menu_, MF_STRING | (args.checked ? MF_CHECKED : MF_UNCHECKED), item.command_,
              Wide(text).c_str());
  if (args.isDefault) SetMenuDefaultItem(menu_, item.command_, FALSE);
  items_.push_back(&item);
}

void TPopupMenu::AddSeparator(TMenuItem& item) {
  item.menu_ = menu_;
  item.command_ = static_cast<UINT>(items_.size() + 1);
  item.separator_ = true;
  AppendMenuW(menu_, MF_SEPARATOR, item.command_, nullptr);
  items_.push_back(&item);
}

TMenuItem* TPopupMenu::ItemByCommand(UINT command) const {
  for (TMenuItem* item : items_) {
    if (item->command_ == command && !item->separator_) return item;
  }
  return nullptr;
}

TMenuItem* TPopupMenu::Track(POINT screen, HWND owner) {
  const UINT command = static_cast<UINT>(TrackPopupMenu(
      menu_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
      screen.x, screen.y, 0, owner, nullptr));
  return command ? ItemByCommand(command) : nullptr;
}

void TPopupMenu::Popup(POINT screen, HWND owner) {
  if (TMenuItem* item = Track(screen, owner)) item->Click();
}

}  // namespace ixo
