#include "settings/profile.h"

#include <gtest/gtest.h>

#include <string>

#include "core/error.h"
#include "numbered.h"
#include "win_files.h"
#include "win_tempdir.h"

namespace ixo {
namespace {

TEST(ProfileValueText, OneLineThatReadsBackAsItWas) {
  struct Case {
    std::string value;
    std::string text;
  };
  const Case cases[] = {
      {"", ""},
      {"C:\\a", "C:\\a"},
      {"a b", "a b"},
      {"a\r\nb", "ab"},
      {"a\rb\nc", "abc"},
      {" C:\\a", "\" C:\\a\""},
      {"C:\\a\t", "\"C:\\a\t\""},
      {"\"q\"", "\"\"q\"\""},
      {"'q'", "\"'q'\""},
      {"q\"", "\"q\"\""},
      {"\r\n x", "\" x\""},
      // The full-width space is not one of the blanks the platform trims.
      {"　x　", "　x　"},
      {"表", "表"},
  };
  for (const Case& c : cases) EXPECT_EQ(ProfileValueText(c.value), c.text) << c.value;
}

TEST(CutAtCharacter, NeverLeavesHalfACharacter) {
  struct Case {
    std::string s;
    size_t max;
    std::string want;
  };
  const Case cases[] = {
      {"abc", 5, "abc"},
      {"abc", 3, "abc"},
      {"abcd", 3, "abc"},
      {"表表", 3, "表"},
      {"a表表", 3, "a表"},
      {"表a", 2, "表"},
      {"表", 1, ""},
      // A lead byte in the last position is a character of one byte.
      {"ab\x95", 3, "ab\x95"},
  };
  for (const Case& c : cases) EXPECT_EQ(CutAtCharacter(c.s, c.max), c.want) << c.s;
}

class ProfileFileTest : public ::testing::Test {
 protected:
  std::string Ini(const std::string& text) {
    const std::string path = dir_.path() + "\\t.ini";
    EXPECT_TRUE(test::WriteFileBytes(path, text));
    return path;
  }
  TempDir dir_;
};

TEST_F(ProfileFileTest, PresentEmptyMissingAndValueless) {
  const ProfileFile ini(Ini("[S]\r\nEmpty=\r\nZero=0\r\nOne=1\r\nBare\r\nQuoted=\"  x \"\r\n"));
  EXPECT_EQ(ini.Read("S", "Empty"), std::optional<std::string>(""));
  EXPECT_EQ(ini.Read("S", "Zero"), std::optional<std::string>("0"));
  EXPECT_EQ(ini.Read("S", "One"), std::optional<std::string>("1"));
  EXPECT_EQ(ini.Read("S", "Quoted"), std::optional<std::string>("  x "));
  EXPECT_EQ(ini.Read("S", "empty"), std::optional<std::string>("")) << "key names ignore case";
  EXPECT_EQ(ini.Read("S", "Missing"), std::nullopt);
  EXPECT_EQ(ini.Read("S", "Bare"), std::nullopt) << "a line without '=' holds no value";
  EXPECT_EQ(ini.Read("T", "Empty"), std::nullopt);
  EXPECT_EQ(ini.ReadString("S", "Empty", "def"), "");
  EXPECT_EQ(ini.ReadString("S", "Missing", "def"), "def");
  const ProfileFile none(dir_.path() + "\\none.ini");
  EXPECT_EQ(none.Read("S", "Empty"), std::nullopt);
}

TEST_F(ProfileFileTest, KeyNamesOfValuesInFileOrder) {
  const ProfileFile ini(Ini("[L]\r\nDir1=a\r\nbare\r\nDIR0=b\r\n dir1 = c\r\n[M]\r\nx=1\r\n"));
  EXPECT_EQ(ini.KeyNames("L"), (std::vector<std::string>{"Dir1", "DIR0", "dir1"}));
  EXPECT_EQ(ini.KeyNames("M"), (std::vector<std::string>{"x"}));
  EXPECT_TRUE(ini.KeyNames("N").empty());
}

TEST_F(ProfileFileTest, KeyNamesLongerThanTheFirstBuffer) {
  std::string text = "[L]\r\n";
  const int kKeys = 30000;  // about 300 KB of names
  for (int i = 0; i < kKeys; ++i) text += Numbered("Key", 100000 + i) + "=v\r\n";
  const ProfileFile ini(Ini(text));
  const std::vector<std::string> names = ini.KeyNames("L");
  ASSERT_EQ(names.size(), static_cast<size_t>(kKeys));
  EXPECT_EQ(names.front(), "Key100000");
  EXPECT_EQ(names.back(), Numbered("Key", 100000 + kKeys - 1));
}

TEST_F(ProfileFileTest, LongValuesAreCutAt2047Bytes) {
  std::string kanji;
  for (int i = 0; i < 1500; ++i) kanji += "表";
  std::string text = "[S]\r\nA=";
  text.append(3000, 'a');
  text += "\r\nK=" + kanji + "\r\nOddK=x" + kanji + "\r\nHuge=";
  text.append(3 << 20, 'h');
  text += "\r\nAfter=ok\r\n";
  const ProfileFile ini(Ini(text));
  EXPECT_EQ(ini.ReadString("S", "A", ""), std::string(2047, 'a'));
  // 1023 characters and a half: the half is left out.
  EXPECT_EQ(ini.ReadString("S", "K", ""), kanji.substr(0, 2046));
  EXPECT_EQ(ini.ReadString("S", "OddK", ""), std::string("x").append(kanji, 0, 2046));
  EXPECT_EQ(ini.ReadString("S", "Huge", ""), std::string(2047, 'h'));
  EXPECT_EQ(ini.ReadString("S", "After", ""), "ok");
}

TEST_F(ProfileFileTest, NumbersAreReadFromTheCutValue) {
  // What lies past the 2047th byte is no part of the number.
  const ProfileFile ini(Ini("[S]\r\nCut=" + std::string(2100, '0') +
                            "5\r\nWhole=" + std::string(2046, '0') + "5\r\n"));
  EXPECT_EQ(ini.ReadInteger("S", "Cut", 9), 0);
  EXPECT_EQ(ini.ReadInteger("S", "Whole", 9), 5);
}

TEST_F(ProfileFileTest, WrittenValuesReadBackTheSame) {
  const ProfileFile ini(dir_.path() + "\\w.ini");
  const std::string values[] = {"",         "plain", "  lead", "trail  ",  "\"quoted\"",
                                "'single'", "\"",    "表\\ソ", "　wide　", "\tx\t"};
  for (size_t i = 0; i < std::size(values); ++i) {
    ini.WriteString("S", (Numbered("K", i)).c_str(), values[i]);
  }
  for (size_t i = 0; i < std::size(values); ++i) {
    EXPECT_EQ(ini.Read("S", (Numbered("K", i)).c_str()), std::optional<std::string>(values[i]))
        << values[i];
  }
  // A line break inside a value makes no key of its own.
  ini.WriteString("T", "V", "a\r\nEvil=1\nb");
  EXPECT_EQ(ini.ReadString("T", "V", ""), "aEvil=1b");
  EXPECT_EQ(ini.KeyNames("T"), std::vector<std::string>{"V"});
}

TEST_F(ProfileFileTest, WriteFailureNamesTheFile) {
  const std::string path = dir_.path() + "\\missing\\w.ini";
  const ProfileFile ini(path);
  try {
    ini.WriteString("S", "K", "v");
    FAIL() << "writing into a missing folder succeeded";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), path + " に書き込めません");
  }
  try {
    ini.DeleteKey("S", "K");
    FAIL() << "removing a key in a missing folder succeeded";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), path + " に書き込めません");
  }
}

}  // namespace
}  // namespace ixo
