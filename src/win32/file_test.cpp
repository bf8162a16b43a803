#include "win32/file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "win_files.h"
#include "win_tempdir.h"

namespace ixo {
namespace {

// Checked through the C++ streams, not through the module itself: the other
// tests' file helpers are built on it.
std::string StreamRead(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every byte value, zero bytes included, `size` bytes long.
std::string Bytes(size_t size) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return s;
}

class FileTest : public ::testing::Test {
 protected:
  std::string Path() const { return dir_.path() + "\\f.bin"; }
  TempDir dir_;
};

// Sizes around the 1 MB that one call moves at most.
TEST_F(FileTest, WritesAndReadsEveryByteWhateverTheSize) {
  constexpr size_t kMB = 1 << 20;
  for (const size_t size : {size_t{0}, size_t{1}, kMB - 1, kMB, kMB + 1, 3 * kMB + 5}) {
    SCOPED_TRACE(size);
    const std::string bytes = Bytes(size);
    {
      File file = CreateFileToWrite(Path());
      ASSERT_TRUE(file.Valid());
      EXPECT_TRUE(file.WriteAll(bytes));
      EXPECT_TRUE(file.Close());
    }
    EXPECT_TRUE(StreamRead(Path()) == bytes);
    File file = OpenFileToRead(Path());
    ASSERT_TRUE(file.Valid());
    std::string read = "kept";
    EXPECT_TRUE(file.ReadAll(read));
    EXPECT_TRUE(read == "kept" + bytes);
  }
}

TEST_F(FileTest, TextEndsAtTheFirstZeroByte) {
  constexpr size_t kMB = 1 << 20;
  struct Case {
    std::string bytes;
    std::string text;
  } cases[] = {
      {"", ""},
      {"abc", "abc"},
      {std::string("a\0b", 3), "a"},
      {std::string("\0b", 2), ""},
      // The zero byte in the second megabyte read.
      {std::string(kMB + 3, 'x') + std::string("\0y", 2), std::string(kMB + 3, 'x')},
  };
  for (const Case& c : cases) {
    {
      std::ofstream out(Path(), std::ios::binary | std::ios::trunc);
      out << c.bytes;
    }
    File file = OpenFileToRead(Path());
    ASSERT_TRUE(file.Valid());
    std::string text;
    EXPECT_TRUE(file.ReadText(text));
    EXPECT_TRUE(text == c.text) << c.bytes.size();
  }
}

TEST_F(FileTest, CreatingEmptiesAnOldFileAndReadingAMissingOneFails) {
  {
    std::ofstream out(Path(), std::ios::binary);
    out << std::string(5000, 'o');
  }
  {
    File file = CreateFileToWrite(Path());
    ASSERT_TRUE(file.Valid());
    EXPECT_TRUE(file.WriteAll("new"));
  }  // closed as it goes
  EXPECT_EQ(StreamRead(Path()), "new");
  EXPECT_FALSE(OpenFileToRead(dir_.path() + "\\missing").Valid());
  // A folder can be neither written nor read as a file.
  EXPECT_FALSE(CreateFileToWrite(dir_.path()).Valid());
}

TEST_F(FileTest, ACloseThatFailsIsReportedAndTheHandleIsGoneEitherWay) {
  const test::FailingCloses failing;
  File file = CreateFileToWrite(Path());
  ASSERT_TRUE(file.Valid());
  EXPECT_TRUE(file.WriteAll("x"));
  EXPECT_FALSE(file.Close());
  EXPECT_FALSE(file.Valid());
  // Nothing holds the file any more: it can be deleted.
  EXPECT_TRUE(DeleteFileA(Path().c_str()));
}

}  // namespace
}  // namespace ixo
