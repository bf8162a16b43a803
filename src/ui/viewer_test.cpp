// The main window in the clipboard viewer chain, with viewers of the test's
// own before and after it.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "clipboard/clipboard.h"
#include "ui/main.h"
#include "win_main_form.h"

namespace ixo {
namespace {

using test::FileExists;
using test::MainFormTest;
using test::PumpPending;
using test::PumpUntil;

// A viewer that records the notices it gets and passes them on as the
// chain asks (or, with passOn false, swallows the change notices).
class TestViewer {
 public:
  explicit TestViewer(bool passOn = true) : passOn_(passOn) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "IxoTestViewer";
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            wc.hInstance, nullptr);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~TestViewer() {
    if (joined_) ChangeClipboardChain(hwnd_, next);
    DestroyWindow(hwnd_);
  }
  // Joins the chain; the notice that the join itself brings is not counted.
  void Join() {
    joined_ = true;
    next = SetClipboardViewer(hwnd_);
    PumpPending();
    draws.clear();
  }
  HWND Handle() const { return hwnd_; }

  HWND next = nullptr;
  std::vector<std::pair<WPARAM, LPARAM>> draws;
  std::vector<std::pair<WPARAM, LPARAM>> changes;
  std::function<void()> onDraw;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TestViewer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && msg == WM_DRAWCLIPBOARD) {
      self->draws.emplace_back(wParam, lParam);
      if (self->onDraw) self->onDraw();
      if (self->passOn_ && self->next) SendMessageA(self->next, msg, wParam, lParam);
      return 0;
    }
    if (self && msg == WM_CHANGECBCHAIN) {
      self->changes.emplace_back(wParam, lParam);
      if (reinterpret_cast<HWND>(wParam) == self->next) {
        self->next = reinterpret_cast<HWND>(lParam);
      } else if (self->next) {
        SendMessageA(self->next, msg, wParam, lParam);
      }
      return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  HWND hwnd_;
  bool passOn_;
  bool joined_ = false;
};

class ViewerChainTest : public MainFormTest {
 protected:
  TOptionRecord Watching() const {
    TOptionRecord rec = Options();
    rec.Kansi = true;
    return rec;
  }
};

TEST_F(ViewerChainTest, TheNoticeGoesOnToTheNextViewerAfterTheShortcutIsWritten) {
  TestViewer before;
  before.Join();
  Start(Watching());
  EXPECT_EQ(form->NextViewer, before.Handle());
  // The notice of the join itself is not passed on.
  EXPECT_TRUE(before.draws.empty());
  TestViewer after;
  after.Join();
  ASSERT_EQ(after.next, form->Handle());
  bool writtenFirst = false;
  before.onDraw = [&] { writtenFirst = FileExists(Saved("連鎖")); };
  SetClipText("連鎖\r\nhttp://example.com/chain\r\n");
  ASSERT_TRUE(PumpUntil([&] { return !before.draws.empty(); }));
  EXPECT_TRUE(writtenFirst);
  EXPECT_EQ(before.draws.back(), (std::pair<WPARAM, LPARAM>{0, 0}));
  EXPECT_FALSE(after.draws.empty());
}

TEST_F(ViewerChainTest, TheNoticeGoesOnAlsoWhenTheShortcutCannotBeWritten) {
  TestViewer before;
  before.Join();
  Start(Watching());
  SetClipText("題\thttp://example.com/\r\n");
  ASSERT_TRUE(PumpUntil([&] { return !before.draws.empty(); }));
  ASSERT_TRUE(PumpUntil([&] { return !errors.empty(); }));
  EXPECT_EQ(errors.size(), 1u);
}

TEST_F(ViewerChainTest, AViewerLeavingTheChainIsReplacedOrTheNewsIsPassedOn) {
  TestViewer before;
  before.Join();
  Start(Watching());
  HWND other = reinterpret_cast<HWND>(0x1234);
  HWND successor = reinterpret_cast<HWND>(0x5678);
  // Someone further down leaves: the news goes on unchanged.
  SendMessageA(form->Handle(), WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(other),
               reinterpret_cast<LPARAM>(successor));
  ASSERT_EQ(before.changes.size(), 1u);
  EXPECT_EQ(before.changes[0], (std::pair<WPARAM, LPARAM>{reinterpret_cast<WPARAM>(other),
                                                          reinterpret_cast<LPARAM>(successor)}));
  EXPECT_EQ(form->NextViewer, before.Handle());
  // The next viewer itself leaves: its successor takes its place, and the
  // news goes no further.
  TestViewer last;
  SendMessageA(form->Handle(), WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(before.Handle()),
               reinterpret_cast<LPARAM>(last.Handle()));
  EXPECT_EQ(form->NextViewer, last.Handle());
  EXPECT_EQ(before.changes.size(), 1u);
  EXPECT_TRUE(last.changes.empty());
  form->NextViewer = before.Handle();  // as it really is, for the close
}

TEST_F(ViewerChainTest, TheWatchGoesOnWhenAViewerBeforeItSwallowsTheNotices) {
  Start(Watching());
  TestViewer greedy(false);
  greedy.Join();
  ASSERT_TRUE(CopyAndWait("横取り\r\nhttp://example.com/greedy\r\n"));
  EXPECT_FALSE(greedy.draws.empty());
  EXPECT_TRUE(FileExists(Saved("横取り")));
  ASSERT_TRUE(CopyAndWait("次も\r\nhttp://example.com/next\r\n"));
  EXPECT_TRUE(FileExists(Saved("次も")));
}

TEST_F(ViewerChainTest, ClosingLeavesTheChain) {
  TestViewer before;
  before.Join();
  Start(Watching());
  TestViewer after;
  after.Join();
  form->Close();
  ASSERT_TRUE(app->Terminated());
  EXPECT_EQ(after.next, before.Handle());
  // Changes no longer reach the closed window.
  SetClipText("閉\r\nhttp://example.com/closed\r\n");
  ASSERT_TRUE(PumpUntil([&] { return !before.draws.empty(); }));
  PumpPending();
  EXPECT_FALSE(FileExists(Saved("閉")));
}

}  // namespace
}  // namespace ixo
