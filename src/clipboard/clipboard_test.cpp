#include "clipboard/clipboard.h"

#include <gtest/gtest.h>

#include <string>

#include "core/error.h"
#include "win_clipboard.h"
#include "win_tempdir.h"

namespace ixo {
namespace {

const std::string kCannotOpen = "クリップボードを開くことができません";

// The clipboard's text, or u"<no text>".
std::u16string ClipText() {
  std::u16string text = u"<no text>";
  GetClipText(text);
  return text;
}

TEST(Clipboard, TextGoesOnAndComesBackWhole) {
  const std::u16string texts[] = {
      u"Caf\u00E9 \U0001F370 \u2013 \u4E2D\u56FD \uD55C\uAD6D\r\nhttp://example.jp/",
      u"a",
      std::u16string(100000, u'x') + u"\u672B\u5C3E",
  };
  for (const std::u16string& text : texts) {
    SetClipText(text);
    EXPECT_EQ(ClipText(), text);
  }
  // The program's own text is code page 932 (日本 is 93 FA 96 7B), put as
  // Unicode, and read back in code page 932 where asked.
  SetClipText(std::string_view("\x93\xFA\x96\x7B"));
  EXPECT_EQ(ClipText(), u"\u65E5\u672C");
  std::string bytes;
  ASSERT_TRUE(GetClipText(bytes));
  EXPECT_EQ(bytes, "\x93\xFA\x96\x7B");
}

TEST(Clipboard, TextEndsAtAZeroAndMayBeEmpty) {
  SetClipText(std::u16string_view(u"before\0after", 12));
  EXPECT_EQ(ClipText(), u"before");
  SetClipText(u"");
  EXPECT_EQ(ClipText(), u"");
}

TEST(Clipboard, NoTextChangesNothing) {
  ASSERT_TRUE(PutPrivateFormatOnly("\x89PNG not text"));
  std::u16string text = u"old";
  EXPECT_FALSE(GetClipText(text));
  EXPECT_EQ(text, u"old");
  std::u16string last = u"last";
  EXPECT_FALSE(ReadNewCopy(last));
  EXPECT_EQ(last, u"last");
}

TEST(Clipboard, TextWithoutTerminatingZeroIsReadWithinItsBlock) {
  ASSERT_TRUE(PutRawText("abcd"));
  std::u16string text;
  ASSERT_TRUE(GetClipText(text));
  // Windows hands the block back as it was put; Wine turns its last byte
  // into a zero. Either way nothing past the block is read.
  EXPECT_TRUE(text == u"abcd" || text == u"abc");
}

TEST(Clipboard, TheWatchTakesEachNewCopyOnceAndNoPrivateOne) {
  SetClipText(u"http://a.example/\r\ntitle");
  std::u16string last;
  ASSERT_TRUE(ReadNewCopy(last));
  EXPECT_EQ(last, u"http://a.example/\r\ntitle");
  SetClipText(u"http://a.example/\r\ntitle");
  EXPECT_FALSE(ReadNewCopy(last));

  // Marked as a password manager marks it: left alone, but the buttons the
  // user presses on purpose still read it.
  ASSERT_TRUE(PutCopy(u"secret\r\nhttp://vault.example/",
                      {{"ExcludeClipboardContentFromMonitorProcessing", ""}}));
  EXPECT_FALSE(ReadNewCopy(last));
  ASSERT_TRUE(PutCopy(u"private\r\nhttp://incognito.example/",
                      {{"CanIncludeInClipboardHistory", std::string(4, '\0')}}));
  EXPECT_FALSE(ReadNewCopy(last));
  EXPECT_EQ(last, u"http://a.example/\r\ntitle");
  const std::optional<ClipCopy> asked = ReadCopy();
  ASSERT_TRUE(asked);
  EXPECT_EQ(asked->text, u"private\r\nhttp://incognito.example/");

  ASSERT_TRUE(PutCopy(u"allowed", {{"CanIncludeInClipboardHistory", std::string("\1\0\0\0", 4)}}));
  EXPECT_TRUE(ReadNewCopy(last));
  EXPECT_EQ(last, u"allowed");
}

// The clipboard routines try a busy clipboard again for at least this long.
constexpr double kWaitMs = 90;

TEST(Clipboard, HeldForAMomentIsWaitedFor) {
  // A hold counts as brief when it ended well within the wait. A busy
  // machine may run the holder late; then the hold is made again.
  int read = 0, written = 0;
  for (int attempt = 0; attempt < 50 && (read < 2 || written < 2); ++attempt) {
    const bool write = read > written;
    SetClipText(u"before");
    ClipboardHolder holder(20);
    ASSERT_TRUE(holder.held());
    const LARGE_INTEGER start = Now();
    std::u16string text;
    bool done = false;
    try {
      if (write) {
        SetClipText(u"after");
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
      EXPECT_EQ(ClipText(), u"after");
      ++written;
    } else {
      EXPECT_EQ(text, u"before");
      ++read;
    }
  }
  EXPECT_EQ(read, 2) << "no brief hold could be made";
  EXPECT_EQ(written, 2) << "no brief hold could be made";
}

TEST(Clipboard, HeldForGoodIsAnErrorAndChangesNothing) {
  SetClipText(u"before");
  ClipboardHolder holder(INFINITE);
  ASSERT_TRUE(holder.held());

  // How soon the routines give up is measured by `make bench`.
  std::u16string text = u"old";
  try {
    GetClipText(text);
    FAIL() << "read a clipboard held by another window";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), kCannotOpen);
  }
  EXPECT_EQ(text, u"old");

  try {
    SetClipText(u"changed");
    FAIL() << "wrote a clipboard held by another window";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), kCannotOpen);
  }

  std::u16string last = u"last";
  EXPECT_THROW(ReadNewCopy(last), Error);
  EXPECT_EQ(last, u"last");

  holder.Release();
  EXPECT_EQ(ClipText(), u"before");
}

TEST(Clipboard, NoMemoryForTheTextLeavesTheClipboardAsItWas) {
  SetClipText(u"before");
  SetClipAllocForTests([](size_t) -> void* { return nullptr; });
  try {
    SetClipText(u"after");
    ADD_FAILURE() << "placed a text there was no memory for";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), kCannotOpen);
  }
  SetClipAllocForTests(nullptr);
  EXPECT_EQ(ClipText(), u"before");
  SetClipText(u"after");
  EXPECT_EQ(ClipText(), u"after");
}

TEST(Clipboard, TextFromAnXClientArrivesWhole) {
  if (!HaveXClip()) GTEST_SKIP() << "needs Wine and /usr/bin/xclip";
  const TempDir dir;
  std::u16string got;
  std::u16string seen;
  auto arrived = [&] {
    try {
      seen = GetClipText(got) ? got : u"<no text>";
      return got != u"marker";
    } catch (const Error&) {
      seen = u"<held>";
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
    SetClipText(u"marker");
    const DWORD before = GetClipboardSequenceNumber();
    // UTF-8 bytes, given as escapes: GoogleTest quotes its expressions in
    // code page 932, which cannot hold the cake.
    const char* utf8 =
        "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x83\x86\xE3\x82\xAD\xE3\x82\xB9\xE3\x83\x88\n"
        "Caf\xC3\xA9 \xF0\x9F\x8D\xB0";
    ASSERT_TRUE(StartXClipText(utf8, dir.path() + "\\utf8.txt"));
    changed = WaitUntil([&] { return GetClipboardSequenceNumber() != before; }, 4000) &&
              WaitUntil(arrived, 2000);
  }
  ASSERT_TRUE(changed) << "the X client's text did not arrive";
  EXPECT_EQ(got, u"\u65E5\u672C\u8A9E\u30C6\u30AD\u30B9\u30C8\r\nCaf\u00E9 \U0001F370");
  // Taking the clipboard back lets the X client end.
  SetClipText(u"done");
}

}  // namespace
}  // namespace ixo
