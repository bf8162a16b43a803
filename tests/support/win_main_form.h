// A main window of the program for one test, with settings and a save folder
// of the test's own and an empty clipboard to start from.
#pragma once

#include <memory>
#include <string>

#include "clipboard/clipboard.h"
#include "core/cp932.h"
#include "settings/options.h"
#include "ui/main.h"
#include "win_tempdir.h"
#include "win_ui.h"

namespace ixo::test {

class MainFormTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    SetClipText("");
  }
  void TearDown() override {
    form.reset();
    UiTest::TearDown();
  }

  // The settings folder, ending in a backslash.
  std::string Folder() const { return settingsDir.path() + "\\"; }
  std::string SaveFolder() const { return saveDir.path(); }
  std::string Saved(const std::string& title) const { return SaveFolder() + "\\" + title + ".URL"; }

  // The defaults with the test's save folder as the only folder.
  TOptionRecord Options() const {
    TOptionRecord rec = DefaultOptions();
    rec.Dirs = SaveFolder() + "\r\n";
    return rec;
  }

  // Writes `rec` as the settings and makes the window, shown.
  void Start(const TOptionRecord& rec) {
    SaveOptionsTo(Folder(), rec);
    form = std::make_unique<TForm1>(Folder());
    form->Show();
    PumpPending();
  }

  // Puts `text` on the clipboard and waits until the window took it.
  bool CopyAndWait(const std::string& text) {
    SetClipText(text);
    return PumpUntil([&] { return form->LastClip == Cp932ToUtf16(text); });
  }

  static std::string ShortcutBytes(const std::string& url) {
    return "[InternetShortcut]\r\nURL=" + url + "\r\n";
  }

  TempDir settingsDir;
  TempDir saveDir;
  std::unique_ptr<TForm1> form;
};

}  // namespace ixo::test
