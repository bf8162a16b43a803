#include "settings/options.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

#include "core/error.h"
#include "core/linelist.h"
#include "numbered.h"
#include "settings/history.h"
#include "win_files.h"
#include "win_tempdir.h"

namespace ixo {
namespace {

using test::PathExists;
using test::ReadFileBytes;
using test::WriteFileBytes;

std::string Hex(std::string_view s) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    out += digits[c >> 4];
    out += digits[c & 15];
    out += ' ';
  }
  return out;
}

class OptionsTest : public ::testing::Test {
 protected:
  std::string Folder() const { return dir_.path() + "\\"; }
  std::string IniPath() const { return Folder() + "IXO.ini"; }
  std::string TeiPath() const { return Folder() + "IXO.tei"; }
  void WriteIni(const std::string& text) { ASSERT_TRUE(WriteFileBytes(IniPath(), text)); }
  TOptionRecord Load() { return LoadOptionsFrom(Folder()); }

  TempDir dir_;
};

TEST(DefaultOptions, AreTheTableOfTheRecord) {
  const TOptionRecord rec = DefaultOptions();
  EXPECT_EQ(rec.Dirs, "");
  EXPECT_EQ(rec.Ninsiki, "-=?;%&,#\\");
  EXPECT_EQ(rec.Ninsiki.size(), 9u);
  EXPECT_EQ(rec.AcType, 2);
  EXPECT_FALSE(rec.Kansi);
  EXPECT_FALSE(rec.Tray);
  EXPECT_FALSE(rec.Atc);
  EXPECT_EQ(rec.AcTime, 60);
  EXPECT_FALSE(rec.Min);
  EXPECT_FALSE(rec.Https);
  EXPECT_TRUE(rec.HtmlTitle);
  EXPECT_FALSE(rec.PageTitle);
  // Black star, black circle, black square, black diamond, white
  // down-pointing triangle, white circle, white square, white diamond, "--",
  // full-width space, two-dot leader, ellipsis, heavy horizontal, white star,
  // "==".
  const std::string want =
      "\x81\x9A\r\n\x81\x9C\r\n\x81\xA1\r\n\x81\x9F\r\n\x81\xA4\r\n\x81\x9B\r\n\x81\xA0\r\n"
      "\x81\x9E\r\n--\r\n\x81\x40\r\n\x81\x64\r\n\x81\x63\r\n\x84\xAA\r\n\x81\x99\r\n==\r\n";
  EXPECT_EQ(Hex(rec.DelText), Hex(want));
  EXPECT_EQ(std::string(kDefaultDelText), want);
  EXPECT_EQ(LineList(rec.DelText).Count(), 15u);
}

TEST_F(OptionsTest, NoFilesGiveExactlyTheDefaults) {
  EXPECT_EQ(Load(), DefaultOptions());
  // Nothing is created by reading.
  EXPECT_FALSE(PathExists(IniPath()));
  EXPECT_FALSE(PathExists(TeiPath()));
  // A folder where IXO.ini should be is no settings file either.
  ASSERT_TRUE(CreateDirectoryA(IniPath().c_str(), nullptr));
  EXPECT_EQ(Load(), DefaultOptions());
}

TEST_F(OptionsTest, SavingWritesTheKeysInOrderAndTheTitleList) {
  TOptionRecord rec = DefaultOptions();
  rec.Kansi = true;
  rec.Atc = false;
  rec.AcTime = -7;
  rec.AcType = 255;
  rec.Min = true;
  rec.Tray = false;
  rec.Ninsiki = "~!";
  rec.Dirs = "C:\\表\\ソフト\r\nD:\\b\r\n";
  rec.DelText = "a\nb\r";
  SaveOptionsTo(Folder(), rec);
  EXPECT_EQ(ReadFileBytes(IniPath()),
            "[Option]\r\nKansi=1\r\nAtc=0\r\nAcTime=-7\r\nAcType=255\r\nMin=1\r\nTray=0\r\n"
            "[URL]\r\nNinsiki=~!\r\n"
            "[List]\r\nCount=2\r\nDir0=C:\\表\\ソフト\r\nDir1=D:\\b\r\n");
  EXPECT_EQ(ReadFileBytes(TeiPath()), "a\r\nb\r\n");
}

TEST_F(OptionsTest, WhatIsSavedIsLoaded) {
  std::vector<TOptionRecord> records;
  records.push_back(DefaultOptions());
  TOptionRecord r = DefaultOptions();
  r.Kansi = r.Atc = r.Tray = r.Min = r.Https = true;
  r.AcTime = INT32_MIN;
  r.AcType = 0;
  r.Ninsiki = "";
  r.Dirs = "C:\\表\\ソフト\r\n\\\\server\\共有\r\n";
  r.DelText = "";
  records.push_back(r);
  r.AcTime = INT32_MAX;
  r.AcType = 1;
  // Values the platform would trim or unquote are kept as they are.
  r.Ninsiki = " \"x' ";
  r.Dirs = " C:\\lead\r\n'D:\\q'\r\n";
  r.DelText = "　\r\n\r\n--\r\n";
  records.push_back(r);
  for (const TOptionRecord& rec : records) {
    SaveOptionsTo(Folder(), rec);
    EXPECT_EQ(Load(), rec) << ReadFileBytes(IniPath()).value_or("");
  }
}

// The switches a user who never touches them keeps out of the file: each is
// written only while it differs from its default, and removed otherwise.
TEST_F(OptionsTest, ASwitchIsWrittenOnlyWhileItDiffersFromItsDefault) {
  const struct {
    bool TOptionRecord::*field;
    const char* key;
    const char* written;  // the line while it differs
  } switches[] = {
      {&TOptionRecord::Https, "Https", "Https=1"},
      {&TOptionRecord::HtmlTitle, "HtmlTitle", "HtmlTitle=0"},
      {&TOptionRecord::PageTitle, "PageTitle", "PageTitle=1"},
  };
  const std::string off =
      "[Option]\r\nKansi=0\r\nAtc=0\r\nAcTime=60\r\nAcType=2\r\nMin=0\r\nTray=0\r\n"
      "[URL]\r\nNinsiki=~\r\n[List]\r\nCount=0\r\n";
  for (const auto& sw : switches) {
    SCOPED_TRACE(sw.key);
    DeleteFileA(IniPath().c_str());
    TOptionRecord rec = DefaultOptions();
    rec.Ninsiki = "~";
    SaveOptionsTo(Folder(), rec);
    EXPECT_EQ(ReadFileBytes(IniPath()), off);
    rec.*sw.field = !(rec.*sw.field);
    SaveOptionsTo(Folder(), rec);
    EXPECT_EQ(ReadFileBytes(IniPath()),
              "[Option]\r\nKansi=0\r\nAtc=0\r\nAcTime=60\r\nAcType=2\r\nMin=0\r\nTray=0\r\n"
              "[URL]\r\nNinsiki=~\r\n" +
                  std::string(sw.written) + "\r\n[List]\r\nCount=0\r\n");
    EXPECT_EQ(Load(), rec);
    // Back to its default: the key goes, and the file is as if it had never
    // been changed.
    rec.*sw.field = !(rec.*sw.field);
    SaveOptionsTo(Folder(), rec);
    EXPECT_EQ(ReadFileBytes(IniPath()), off);
    EXPECT_EQ(Load(), rec);
    // A value the switch does not read as a number is its default, and goes.
    WriteIni("[URL]\r\nNinsiki=~\r\n" + std::string(sw.key) + "=yes\r\n");
    EXPECT_EQ(Load(), rec);
    SaveOptionsTo(Folder(), Load());
    const std::string ini = ReadFileBytes(IniPath()).value_or("");
    EXPECT_EQ(ini.find(sw.key), std::string::npos) << ini;
  }
}

struct ValueCase {
  const char* name;
  std::string ini;
  std::function<void(TOptionRecord&)> expect;  // changes from the defaults
};

TEST_F(OptionsTest, ValuesAreReadByTheNumberRule) {
  const ValueCase cases[] = {
      {"Kansi 1", "[Option]\r\nKansi=1\r\n", [](auto& r) { r.Kansi = true; }},
      {"Kansi any non-zero number", "[Option]\r\nKansi=-2\r\n", [](auto& r) { r.Kansi = true; }},
      {"Kansi hexadecimal", "[Option]\r\nKansi=$1\r\n", [](auto& r) { r.Kansi = true; }},
      {"Kansi true is no number", "[Option]\r\nKansi=true\r\n", [](auto&) {}},
      {"Kansi empty", "[Option]\r\nKansi=\r\n", [](auto&) {}},
      {"Atc Min Tray", "[Option]\r\nAtc=1\r\nMin=7\r\nTray=0x1\r\n",
       [](auto& r) { r.Atc = r.Min = r.Tray = true; }},
      {"AcTime pattern", "[Option]\r\nAcTime=$FFFFFFFF\r\n", [](auto& r) { r.AcTime = -1; }},
      {"AcTime lowest", "[Option]\r\nAcTime=-2147483648\r\n",
       [](auto& r) { r.AcTime = INT32_MIN; }},
      {"AcTime out of range", "[Option]\r\nAcTime=2147483648\r\n", [](auto&) {}},
      {"AcTime nine hex digits", "[Option]\r\nAcTime=$100000000\r\n", [](auto&) {}},
      {"AcTime blank inside quotes", "[Option]\r\nAcTime=\"  12\"\r\n",
       [](auto& r) { r.AcTime = 12; }},
      {"AcTime trailing blank inside quotes", "[Option]\r\nAcTime=\"12 \"\r\n", [](auto&) {}},
      {"AcTime zero", "[Option]\r\nAcTime=0\r\n", [](auto& r) { r.AcTime = 0; }},
      {"AcType low eight bits", "[Option]\r\nAcType=258\r\n", [](auto& r) { r.AcType = 2; }},
      {"AcType minus one", "[Option]\r\nAcType=-1\r\n", [](auto& r) { r.AcType = 255; }},
      {"AcType zero", "[Option]\r\nAcType=0\r\n", [](auto& r) { r.AcType = 0; }},
      {"AcType no number", "[Option]\r\nAcType=two\r\n", [](auto&) {}},
      {"key names ignore case", "[option]\r\nkansi=1\r\n", [](auto& r) { r.Kansi = true; }},
      {"Ninsiki present but empty", "[URL]\r\nNinsiki=\r\n", [](auto& r) { r.Ninsiki = ""; }},
      {"Ninsiki without '='", "[URL]\r\nNinsiki\r\n", [](auto&) {}},
      {"Ninsiki in another section", "[Option]\r\nNinsiki=x\r\n", [](auto&) {}},
      {"Ninsiki value", "[URL]\r\nNinsiki=~!*\r\n", [](auto& r) { r.Ninsiki = "~!*"; }},
      {"Ninsiki zero", "[URL]\r\nNinsiki=0\r\n", [](auto& r) { r.Ninsiki = "0"; }},
      {"first of two keys wins", "[Option]\r\nAcTime=5\r\nAcTime=6\r\n",
       [](auto& r) { r.AcTime = 5; }},
      {"Https 1", "[URL]\r\nHttps=1\r\n", [](auto& r) { r.Https = true; }},
      {"Https any non-zero number", "[URL]\r\nHttps= -7\r\n", [](auto& r) { r.Https = true; }},
      {"Https hexadecimal", "[URL]\r\nHttps=0x10\r\n", [](auto& r) { r.Https = true; }},
      {"Https zero", "[URL]\r\nHttps=$0\r\n", [](auto&) {}},
      {"Https yes is no number", "[URL]\r\nHttps=yes\r\n", [](auto&) {}},
      {"Https trailing letters", "[URL]\r\nHttps=1x\r\n", [](auto&) {}},
      {"Https empty", "[URL]\r\nHttps=\r\n", [](auto&) {}},
      {"Https out of range", "[URL]\r\nHttps=99999999999\r\n", [](auto&) {}},
      {"Https in another section", "[Option]\r\nHttps=1\r\n", [](auto&) {}},
      {"HtmlTitle 0", "[URL]\r\nHtmlTitle=0\r\n", [](auto& r) { r.HtmlTitle = false; }},
      {"HtmlTitle any non-zero number", "[URL]\r\nHtmlTitle=5\r\n", [](auto&) {}},
      {"HtmlTitle empty", "[URL]\r\nHtmlTitle=\r\n", [](auto&) {}},
      {"PageTitle 1", "[URL]\r\nPageTitle=1\r\n", [](auto& r) { r.PageTitle = true; }},
      {"PageTitle zero", "[URL]\r\nPageTitle=0\r\n", [](auto&) {}},
  };
  for (const ValueCase& c : cases) {
    WriteIni(c.ini);
    TOptionRecord want = DefaultOptions();
    c.expect(want);
    EXPECT_EQ(Load(), want) << c.name;
  }
}

TEST_F(OptionsTest, FoldersAreReadThroughTheHistory) {
  std::string twelve = "[List]\r\nCount=12\r\n";
  std::string first_ten;
  for (int i = 0; i < 12; ++i) {
    twelve += Numbered("Dir", i) + Numbered("=F", i) + "\r\n";
    if (i < 10) first_ten += Numbered("F", i) + "\r\n";
  }
  struct Case {
    const char* name;
    std::string ini;
    std::string dirs;
  };
  const Case cases[] = {
      {"case variants", "[List]\r\nCount=3\r\nDir0=C:\\a\r\nDir1=c:\\A\r\nDir2=D:\\b\r\n",
       "c:\\A\r\nD:\\b\r\n"},
      {"twelve", twelve, first_ten},
      {"Count limits the reading", "[List]\r\nCount=1\r\nDir0=a\r\nDir1=b\r\n", "a\r\n"},
      {"no Count", "[List]\r\nDir0=a\r\n", ""},
      {"Count not a number", "[List]\r\nCount=two\r\nDir0=a\r\n", ""},
      {"negative Count", "[List]\r\nCount=-5\r\nDir0=a\r\n", ""},
      {"huge Count", "[List]\r\nCount=2147483647\r\nDir0=a\r\nDir7=b\r\nDir2147483646=c\r\n",
       "a\r\nb\r\nc\r\n"},
      {"hexadecimal Count", "[List]\r\nCount=$2\r\nDir0=a\r\nDir1=b\r\nDir2=c\r\n", "a\r\nb\r\n"},
      {"gaps and blanks", "[List]\r\nCount=5\r\nDir1=a\r\nDir2=\r\nDir3=  \r\nDir4=b\r\n",
       "a\r\nb\r\n"},
      {"key spelled in other case", "[List]\r\nCount=2\r\nDIR1=b\r\ndir0=a\r\n", "a\r\nb\r\n"},
      {"leading zero is another key", "[List]\r\nCount=2\r\nDir01=x\r\nDir1=b\r\n", "b\r\n"},
      {"first of two keys wins", "[List]\r\nCount=1\r\nDir0=a\r\nDir0=b\r\n", "a\r\n"},
      {"quoted folder", "[List]\r\nCount=1\r\nDir0=\" C:\\x\"\r\n", " C:\\x\r\n"},
      {"other sections' Dir keys", "[URL]\r\nDir0=x\r\n[List]\r\nCount=1\r\n", ""},
  };
  for (const Case& c : cases) {
    WriteIni(c.ini);
    EXPECT_EQ(Load().Dirs, c.dirs) << c.name;
  }
}

TEST_F(OptionsTest, ThousandsOfDirKeys) {
  // Three thousand folders in twelve names and changing letter case, and a
  // Count far beyond them: the result is AddHistory's from the top down.
  std::mt19937 rng(7);
  std::vector<std::string> values;
  std::string ini = "[List]\r\nCount=2147483647\r\n";
  for (int i = 0; i < 3000; ++i) {
    std::string v = Numbered("c:\\dir", rng() % 12);
    for (char& ch : v) {
      if (rng() % 2 && ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    }
    values.push_back(v);
    ini += Numbered("Dir", i) + "=" + v + "\r\n";
  }
  std::string want;
  for (size_t n = values.size(); n-- > 0;) AddHistory(values[n], want);
  WriteIni(ini);
  const TOptionRecord rec = Load();
  EXPECT_EQ(rec.Dirs, want);
  EXPECT_EQ(LineList(rec.Dirs).Count(), 10u);

  // Distinct folders: the first ten fill the list (how soon the reading
  // stops then is measured by `make bench`).
  ini = "[List]\r\nCount=2147483647\r\n";
  std::string first_ten;
  for (int i = 0; i < 5000; ++i) {
    ini += Numbered("Dir", i) + Numbered("=D:\\f", i) + "\r\n";
    if (i < 10) first_ten += Numbered("D:\\f", i) + "\r\n";
  }
  WriteIni(ini);
  EXPECT_EQ(Load().Dirs, first_ten);
}

TEST_F(OptionsTest, DamagedFilesLoadAndSaveBackSane) {
  std::mt19937 rng(1234);
  const std::string other = dir_.path() + "\\again\\";
  ASSERT_TRUE(CreateDirectoryA(other.c_str(), nullptr));
  for (int round = 0; round < 6; ++round) {
    // Random bytes with a sprinkling of the syntax the file is made of.
    std::string garbage = Numbered("[List]\r\nCount=", rng() % 40) + "\r\n";
    const char* const pieces[] = {
        "\r\n",   "\n",     "\r", "[List]", "[Option]", "[URL]", "=",       "Dir",
        "Count=", "Kansi=", "\"", "'",      " ",        "\x81",  "\x95\x5C"};
    for (int i = 0; i < 20000; ++i) {
      if (rng() % 4 == 0) {
        garbage += pieces[rng() % std::size(pieces)];
        if (rng() % 3 == 0) garbage += std::to_string(rng() % 40);
      } else {
        garbage += static_cast<char>(rng() % 256);
      }
    }
    WriteIni(garbage);
    ASSERT_TRUE(WriteFileBytes(TeiPath(), garbage));
    const TOptionRecord first = Load();
    EXPECT_LE(LineList(first.Dirs).Count(), 10u);
    // Saved and read again it stays as it is: no value makes keys of its
    // own or changes on the way.
    SaveOptionsTo(other, first);
    const TOptionRecord second = LoadOptionsFrom(other);
    SaveOptionsTo(other, second);
    EXPECT_EQ(LoadOptionsFrom(other), second) << "round " << round;
    EXPECT_EQ(second.Dirs, first.Dirs) << "round " << round;
    EXPECT_EQ(second.DelText, first.DelText) << "round " << round;
  }
}

struct TeiCase {
  const char* name;
  std::string file;
  std::string del_text;
};

TEST_F(OptionsTest, TitleListIsReadAsLines) {
  const TeiCase cases[] = {
      {"CR LF", "a\r\nb\r\n", "a\r\nb\r\n"},
      {"no break at the end", "a\r\nb", "a\r\nb\r\n"},
      {"lone CR and lone LF", "a\rb\nc", "a\r\nb\r\nc\r\n"},
      {"LF CR is two breaks", "a\n\rb", "a\r\n\r\nb\r\n"},
      {"empty lines kept", "\r\n\r\nx", "\r\n\r\nx\r\n"},
      {"zero byte ends it", std::string("a\r\nb\0c\r\nd", 9), "a\r\nb\r\n"},
      {"empty file", "", ""},
      {"double-byte", "★\r\n表\\\n", "★\r\n表\\\r\n"},
  };
  for (const TeiCase& c : cases) {
    ASSERT_TRUE(WriteFileBytes(TeiPath(), c.file));
    EXPECT_EQ(Load().DelText, c.del_text) << c.name;
  }
}

TEST_F(OptionsTest, FolderNamedLikeTheTitleListGivesTheDefault) {
  ASSERT_TRUE(CreateDirectoryA(TeiPath().c_str(), nullptr));
  EXPECT_EQ(Load().DelText, kDefaultDelText);
}

TEST_F(OptionsTest, HugeTitleList) {
  // 50 MB of short lines.
  std::string big;
  big.reserve(50 << 20);
  while (big.size() < (50u << 20)) big += "decoration\r\n";
  ASSERT_TRUE(WriteFileBytes(TeiPath(), big));
  const std::string whole = Load().DelText;
  EXPECT_EQ(whole.size(), big.size());
  EXPECT_TRUE(whole == big);
  // A zero byte past the first megabyte read ends the text there.
  big.resize(3u << 20);
  const size_t zero = (3u << 19) / 12 * 12 + 3;  // inside a line, after "dec"
  big[zero] = '\0';
  ASSERT_TRUE(WriteFileBytes(TeiPath(), big));
  const std::string del = Load().DelText;
  EXPECT_EQ(del.size(), zero + 2);
  EXPECT_EQ(del.substr(del.size() - 7), "\r\ndec\r\n");
}

// Holds a file open with no sharing, as another program can.
class LockedFile {
 public:
  explicit LockedFile(const std::string& path)
      : h_(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~LockedFile() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  bool held() const { return h_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE h_;
};

TEST_F(OptionsTest, LockedTitleListCannotBeOpened) {
  WriteIni("[Option]\r\nKansi=1\r\nAcTime=5\r\n[List]\r\nCount=1\r\nDir0=C:\\a\r\n");
  ASSERT_TRUE(WriteFileBytes(TeiPath(), "x\r\n"));
  const LockedFile lock(TeiPath());
  ASSERT_TRUE(lock.held());
  TOptionRecord rec = DefaultOptions();
  rec.DelText = "kept\r\n";
  try {
    LoadOptionsFrom(Folder(), rec);
    FAIL() << "a locked IXO.tei was read";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "ファイル " + TeiPath() + " は開けません");
  }
  // What was read from IXO.ini stays; the title list is not touched.
  EXPECT_TRUE(rec.Kansi);
  EXPECT_EQ(rec.AcTime, 5);
  EXPECT_EQ(rec.Dirs, "C:\\a\r\n");
  EXPECT_EQ(rec.DelText, "kept\r\n");
  EXPECT_THROW(Load(), Error);
}

TEST_F(OptionsTest, SettingsThatCannotBeWritten) {
  TOptionRecord rec = DefaultOptions();
  rec.Dirs = "C:\\a\r\n";

  // A missing folder.
  const std::string missing = Folder() + "gone\\";
  try {
    SaveOptionsTo(missing, rec);
    FAIL() << "saving into a missing folder succeeded";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), missing + "IXO.ini に書き込めません");
  }

  // A folder where IXO.ini should be: nothing else is written, IXO.tei
  // neither.
  ASSERT_TRUE(CreateDirectoryA(IniPath().c_str(), nullptr));
  try {
    SaveOptionsTo(Folder(), rec);
    FAIL() << "saving over a folder succeeded";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), IniPath() + " に書き込めません");
  }
  EXPECT_FALSE(PathExists(TeiPath()));
}

TEST_F(OptionsTest, TitleListThatCannotBeCreated) {
  TOptionRecord rec = DefaultOptions();
  rec.Kansi = true;
  const std::string want_error = "ファイル " + TeiPath() + " を作成できません";

  ASSERT_TRUE(CreateDirectoryA(TeiPath().c_str(), nullptr));
  try {
    SaveOptionsTo(Folder(), rec);
    FAIL() << "IXO.tei was written over a folder";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), want_error);
  }
  // IXO.ini was written in full before.
  EXPECT_TRUE(Load().Kansi);
  // The new list written beside it is not left behind.
  EXPECT_FALSE(PathExists(TeiPath() + ".new"));
  ASSERT_TRUE(RemoveDirectoryA(TeiPath().c_str()));

  ASSERT_TRUE(WriteFileBytes(TeiPath(), "old\r\n"));
  {
    const LockedFile lock(TeiPath());
    ASSERT_TRUE(lock.held());
    try {
      SaveOptionsTo(Folder(), rec);
      FAIL() << "a locked IXO.tei was replaced";
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), want_error);
    }
  }
  EXPECT_EQ(ReadFileBytes(TeiPath()), "old\r\n");
  EXPECT_FALSE(PathExists(TeiPath() + ".new"));

  // Once nothing is in the way, the list replaces the old one whole.
  SaveOptionsTo(Folder(), rec);
  EXPECT_EQ(ReadFileBytes(TeiPath()), LineList(kDefaultDelText).Text());
  EXPECT_FALSE(PathExists(TeiPath() + ".new"));
}

TEST_F(OptionsTest, TitleListWhoseCloseFailsLeavesTheOldOne) {
  ASSERT_TRUE(WriteFileBytes(TeiPath(), "old\r\n"));
  std::string error;
  try {
    const test::FailingCloses failing;
    SaveOptionsTo(Folder(), DefaultOptions());
  } catch (const Error& e) {
    error = e.what();
  }
  EXPECT_EQ(error, "ファイル " + TeiPath() + " を作成できません");
  EXPECT_EQ(ReadFileBytes(TeiPath()), "old\r\n");
  EXPECT_FALSE(PathExists(TeiPath() + ".new"));
}

TEST_F(OptionsTest, TitleListIsWrittenInPlaceWhereNothingNewCanBeMadeBesideIt) {
  // Whatever already bears the name of the new file is not the program's: it
  // stays as it was, and the list goes into IXO.tei itself.
  const std::string fresh = TeiPath() + ".new";
  enum Kind { kFolder, kReadOnlyFile, kPlainFile };
  TOptionRecord rec = DefaultOptions();
  rec.DelText = "a\r\nb\r\n";
  for (const Kind kind : {kFolder, kReadOnlyFile, kPlainFile}) {
    SCOPED_TRACE(kind);
    ASSERT_TRUE(WriteFileBytes(TeiPath(), std::string(100, 'x')));
    if (kind == kFolder) {
      ASSERT_TRUE(CreateDirectoryA(fresh.c_str(), nullptr));
    } else {
      ASSERT_TRUE(WriteFileBytes(fresh, "mine"));
      if (kind == kReadOnlyFile) {
        ASSERT_TRUE(SetFileAttributesA(fresh.c_str(), FILE_ATTRIBUTE_READONLY));
      }
    }
    EXPECT_NO_THROW(SaveOptionsTo(Folder(), rec));
    EXPECT_EQ(ReadFileBytes(TeiPath()), "a\r\nb\r\n");
    if (kind == kFolder) {
      EXPECT_TRUE(RemoveDirectoryA(fresh.c_str()));
    } else {
      EXPECT_EQ(ReadFileBytes(fresh), "mine");
      SetFileAttributesA(fresh.c_str(), FILE_ATTRIBUTE_NORMAL);
      EXPECT_TRUE(DeleteFileA(fresh.c_str()));
    }
  }
}

TEST_F(OptionsTest, ReplacingTheTitleListKeepsItsAttributes) {
  ASSERT_TRUE(WriteFileBytes(TeiPath(), "old\r\n"));
  ASSERT_TRUE(SetFileAttributesA(TeiPath().c_str(), FILE_ATTRIBUTE_HIDDEN));
  TOptionRecord rec = DefaultOptions();
  rec.DelText = "new\r\n";
  SaveOptionsTo(Folder(), rec);
  EXPECT_EQ(ReadFileBytes(TeiPath()), "new\r\n");
  EXPECT_TRUE(GetFileAttributesA(TeiPath().c_str()) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_FALSE(PathExists(TeiPath() + ".new"));
}

TEST_F(OptionsTest, ShorterListLeavesOldKeysBehindCount) {
  TOptionRecord rec = DefaultOptions();
  rec.Dirs = "a\r\nb\r\nc\r\nd\r\ne\r\n";
  SaveOptionsTo(Folder(), rec);
  rec.Dirs = "x\r\ny\r\nz\r\n";
  SaveOptionsTo(Folder(), rec);
  const std::string ini = ReadFileBytes(IniPath()).value_or("");
  EXPECT_NE(ini.find("Count=3\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Dir3=d\r\nDir4=e\r\n"), std::string::npos) << ini;
  EXPECT_EQ(Load().Dirs, "x\r\ny\r\nz\r\n");
}

TEST_F(OptionsTest, LineBreaksInValuesMakeNoKeys) {
  TOptionRecord rec = DefaultOptions();
  rec.Ninsiki = "ab\r\nKansi=1\nc";
  SaveOptionsTo(Folder(), rec);
  const std::string ini = ReadFileBytes(IniPath()).value_or("");
  EXPECT_NE(ini.find("[URL]\r\nNinsiki=abKansi=1c\r\n[List]"), std::string::npos) << ini;
  EXPECT_EQ(Load().Ninsiki, "abKansi=1c");
}

TEST(ProgramFolder, HoldsTheRunningProgram) {
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '\\');
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  EXPECT_EQ(std::string(self).rfind(folder, 0), 0u);
  EXPECT_TRUE(PathExists(self));
}

}  // namespace
}  // namespace ixo
