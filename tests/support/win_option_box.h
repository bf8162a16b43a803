// The driver of the options dialog's tests: the dialog runs as the program
// runs it (ShowOptionBox, modal), and the test's steps run inside its
// message loop, one per turn.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "settings/options.h"
#include "ui/optionbox.h"
#include "wingui/app.h"
#include "wingui/shbffex.h"

namespace ixo::test {

using Step = std::function<void(TForm2&)>;

// The steps of one run of the dialog, handed to the thread timer below.
struct Script {
  std::vector<Step> steps;
  size_t next = 0;
  bool busy = false;
  ULONGLONG deadline = 0;
};
inline Script* running = nullptr;

inline void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  Script& s = *running;
  // A step may run a modal loop of its own (the folder browser), in which
  // this timer goes on ticking.
  if (s.busy) return;
  TForm2* f = Form2;
  if (!f || !IsWindowVisible(f->Handle()) || f->ModalResult() != mrNone) return;
  if (s.next == s.steps.size() || GetTickCount64() > s.deadline) {
    ADD_FAILURE() << "the dialog was left open after step " << s.next;
    f->SetModalResult(mrCancel);
    return;
  }
  s.busy = true;
  s.steps[s.next++](*f);
  s.busy = false;
}

// Runs ShowOptionBox(rec) and, once the dialog shows, each step on a later
// turn of the dialog's message loop, so that what a step posts is handled
// before the next one runs. The last step closes the dialog.
inline void RunOptionBox(TOptionRecord& rec, std::vector<Step> steps) {
  Script script;
  script.steps = std::move(steps);
  script.deadline = GetTickCount64() + 60000;
  running = &script;
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, Tick);
  struct Stop {
    UINT_PTR timer;
    ~Stop() {
      KillTimer(nullptr, timer);
      running = nullptr;
    }
  } stop{timer};
  ShowOptionBox(rec);
  EXPECT_EQ(script.steps.size(), script.next) << "not every step ran";
}

inline void Click(const TControl& c) { SendMessageA(c.Handle(), BM_CLICK, 0, 0); }

// A record with something in every setting the dialog shows.
inline TOptionRecord SampleRecord() {
  TOptionRecord rec;
  rec.Dirs = "C:\\a\r\nD:\\b\r\nE:\\c\r\n";
  rec.DelText = "★\r\n●\r\n";
  rec.Ninsiki = "-=?";
  rec.AcType = 1;
  rec.Kansi = true;
  rec.Tray = true;
  rec.Atc = true;
  rec.AcTime = 120;
  rec.Min = false;
  return rec;
}

// The program's surroundings: an application (its taskbar window owns the
// dialog and the folder browser) whose error box only records its texts.
class OptionBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_ = std::make_unique<TApplication>();
    app_->SetErrorPresenter([this](const std::string& text) { errors_.push_back(text); });
    TSHBrowseForFolderEx::SetApplicationWindow(app_->Handle());
  }
  void TearDown() override {
    TSHBrowseForFolderEx::SetApplicationWindow(nullptr);
    app_.reset();
    EXPECT_TRUE(errors_.empty()) << errors_.front();
  }

  std::unique_ptr<TApplication> app_;
  std::vector<std::string> errors_;
};

}  // namespace ixo::test
