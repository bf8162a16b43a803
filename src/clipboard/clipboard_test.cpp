#include "clipboard/clipboard.h"

#include <gtest/gtest.h>

#include <string>

#include "core/error.h"
#include "win_clipboard.h"
#include "win_tempdir.h"

namespace ixo {
namespace {

const std::string kCannotOpen = "クリップボードを開くことができません";

// The clipboard's text, or "<no text>".
std::string ClipText() {
  std::string text = "<no text>";
  GetClipText(text);
  return text;
}

TEST(Clipboard, JapaneseTextRoundTrip) {
  const std::string texts[] = {
      "日本語のテキスト\r\n二行目 http://example.jp/表示?a=ソ",
      "a",
      std::string(100000, 'x') + "末尾",
  };
  for (const std::string& text : texts) {
    SetClipText(text);
    std::string got = "old";
    ASSERT_TRUE(GetClipText(got));
    EXPECT_EQ(got, text);
  }
  // The bytes are code page 932: 日本 is 93 FA 96 7B.
  SetClipText("日本");
  EXPECT_EQ(ClipText(), "\x93\xFA\x96\x7B");
}

TEST(Clipboard, TextEndsAtAZeroByte) {
  SetClipText(std::string("before\0after", 12));
  EXPECT_EQ(ClipText(), "before");
}

TEST(Clipboard, EmptyTextIsText) {
  SetClipText("");
  std::string got = "old";
  EXPECT_TRUE(GetClipText(got));
  EXPECT_EQ(got, "");
}

TEST(Clipboard, NoTextChangesNothing) {
  ASSERT_TRUE(PutPrivateFormatOnly("\x89PNG not text"));
  std::string text = "old";
  EXPECT_FALSE(GetClipText(text));
  EXPECT_EQ(text, "old");
  std::string last = "last";
  LineList lines("kept");
  EXPECT_FALSE(GetNewClipText(last, lines));
  EXPECT_EQ(last, "last");
  ASSERT_EQ(lines.Count(), 1u);
  EXPECT_EQ(lines[0], "kept");
}

TEST(Clipboard, TextWithoutTerminatingZeroIsReadWithinItsBlock) {
  ASSERT_TRUE(PutRawText("abcd"));
  std::string text;
  ASSERT_TRUE(GetClipText(text));
  // Windows hands the block back as it was put; Wine turns its last byte
  // into a zero. Either way nothing past the block is read.
  EXPECT_TRUE(text == "abcd" || text == "abc") << text;
}

TEST(GetNewClipText, SameTextIsNewOnlyOnce) {
  SetClipText("http://a.example/\r\ntitle");
  std::string last;
  LineList lines;
  ASSERT_TRUE(GetNewClipText(last, lines));
  EXPECT_EQ(last, "http://a.example/\r\ntitle");
  ASSERT_EQ(lines.Count(), 2u);
  EXPECT_EQ(lines[0], "http://a.example/");
  EXPECT_EQ(lines[1], "title");

  LineList again("untouched");
  EXPECT_FALSE(GetNewClipText(last, again));
  EXPECT_EQ(again.Count(), 1u);

  // The same text put again is still not new; other text is.
  SetClipText("http://a.example/\r\ntitle");
  EXPECT_FALSE(GetNewClipText(last, again));
  SetClipText("other");
  EXPECT_TRUE(GetNewClipText(last, again));
  EXPECT_EQ(last, "other");
  EXPECT_EQ(again.Text(), "other\r\n");
}

TEST(GetNewClipText, EmptyTextIsNotNewToAnEmptyLast) {
  SetClipText("");
  std::string last;
  LineList lines("kept");
  EXPECT_FALSE(GetNewClipText(last, lines));
  EXPECT_EQ(lines.Count(), 1u);
}

// The clipboard routines try a busy clipboard again for at least this long.
constexpr double kWaitMs = 90;

TEST(Clipboard, HeldForAMomentIsWaitedFor) {
  // A hold counts as brief when it ended well within the wait. A busy
  // machine may run the holder late; then the hold is made again.
  int read = 0, written = 0;
  for (int attempt = 0; attempt < 50 && (read < 2 || written < 2); ++attempt) {
    const bool write = read > written;
    SetClipText("before");
    ClipboardHolder holder(20);
    ASSERT_TRUE(holder.held());
    const LARGE_INTEGER start = Now();
    std::string text;
    bool done = false;
    try {
      if (write) {
        SetClipText("after");
        done = true;
      } else {
        done = GetClipText(text);
      }
    } catch (const Error&) {
    }
    holder.Release();
    if (MsBetween(start, holder.closedAt()) >= kWaitMs - 20) continue;
    ASSERT_TRUE(done) << (write ? "write" : "read") << " gave up on a brief hold";
    if (write) {
      EXPECT_EQ(ClipText(), "after");
      ++written;
    } else {
      EXPECT_EQ(text, "before");
      ++read;
    }
  }
  EXPECT_EQ(read, 2) << "no brief hold could be made";
  EXPECT_EQ(written, 2) << "no brief hold could be made";
}

TEST(Clipboard, HeldForGoodIsAnErrorAndChangesNothing) {
  SetClipText("before");
  ClipboardHolder holder(INFINITE);
  ASSERT_TRUE(holder.held());

  // How soon the routines give up is measured by `make bench`.
  std::string text = "old";
  try {
    GetClipText(text);
    FAIL() << "read a clipboard held by another window";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), kCannotOpen);
  }
  EXPECT_EQ(text, "old");

  try {
    SetClipText("changed");
    FAIL() << "wrote a clipboard held by another window";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), kCannotOpen);
  }

  std::string last = "last";
  LineList lines("kept");
  EXPECT_THROW(GetNewClipText(last, lines), Error);
  EXPECT_EQ(last, "last");
  EXPECT_EQ(lines.Text(), "kept\r\n");

  holder.Release();
  EXPECT_EQ(ClipText(), "before");
}

TEST(Clipboard, NoMemoryForTheTextLeavesTheClipboardAsItWas) {
  SetClipText("before");
  SetClipAllocForTests([](size_t) -> void* { return nullptr; });
  try {
    SetClipText("after");
    ADD_FAILURE() << "placed a text there was no memory for";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), kCannotOpen);
  }
  SetClipAllocForTests(nullptr);
  EXPECT_EQ(ClipText(), "before");
  SetClipText("after");
  EXPECT_EQ(ClipText(), "after");
}

TEST(Clipboard, TextFromAnXClientArrivesAsCodePage932) {
  if (!HaveXClip()) GTEST_SKIP() << "needs Wine and /usr/bin/xclip";
  const TempDir dir;
  std::string got;
  std::string seen;
  auto arrived = [&] {
    try {
      seen = GetClipText(got) ? got : "<no text>";
      return got != "marker";
    } catch (const Error&) {
      seen = "<held>";
      return false;
    }
  };
  // Wine's bridge to X takes the X client's text over once, when it is told
  // that the X client took the clipboard from it, and drops it when the
  // clipboard is open at that moment: so the clipboard is left alone until
  // its sequence number shows the change. And Wine hands the program's own
  // last change to X a moment after it was made; should that come after
  // the X client took the clipboard, it takes it back, and the whole is
  // tried again.
  bool changed = false;
  for (int attempt = 0; attempt < 3 && !changed; ++attempt) {
    SetClipText("marker");
    const DWORD before = GetClipboardSequenceNumber();
    ASSERT_TRUE(StartXClipText(reinterpret_cast<const char*>(u8"日本語テキスト\n表示とソフト"),
                               dir.path() + "\\utf8.txt"));
    changed = WaitUntil([&] { return GetClipboardSequenceNumber() != before; }, 4000) &&
              WaitUntil(arrived, 2000);
  }
  ASSERT_TRUE(changed) << "the X client's text did not arrive; the clipboard held " << seen;
  EXPECT_EQ(got, "日本語テキスト\r\n表示とソフト");
  std::string last;
  LineList lines;
  EXPECT_TRUE(GetNewClipText(last, lines));
  EXPECT_EQ(lines.Count(), 2u);
  // Taking the clipboard back lets the X client end.
  SetClipText("done");
}

}  // namespace
}  // namespace ixo
