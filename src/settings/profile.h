// A private-profile settings file ("[section]", "key=value" lines) read and
// written through the platform's profile-string calls, with the program's
// rules for what a value reads as and how a value is written so that it
// reads back the same.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ixo {

// Values are read back cut to this many bytes.
constexpr size_t kProfileValueMax = 2047;

class ProfileFile {
 public:
  explicit ProfileFile(std::string path) : path_(std::move(path)) {}

  const std::string& path() const { return path_; }

  // The value of a key that is present (an empty value included), or nullopt
  // when the key, its section or the file is missing. Values longer than
  // kProfileValueMax are cut there, never inside a double-byte character.
  std::optional<std::string> Read(const char* section, const char* key) const;
  std::string ReadString(const char* section, const char* key, std::string_view def) const;
  // A number by ReadNumber's rule; `def` for a missing key or a non-number.
  int32_t ReadInteger(const char* section, const char* key, int32_t def) const;
  // True for a number other than 0; `def` when the value is not a number.
  bool ReadBool(const char* section, const char* key, bool def) const;

  // The names of the keys of `section` that hold a value, in file order, as
  // the file spells them (duplicates included).
  std::vector<std::string> KeyNames(const char* section) const;

  // Throw Error("%s に書き込めません") with the file name when the file
  // cannot be written.
  void WriteString(const char* section, const char* key, std::string_view value) const;
  void WriteInteger(const char* section, const char* key, int64_t value) const;
  void WriteBool(const char* section, const char* key, bool value) const;
  // Removes the key; a key that is not there leaves the file as it is.
  void DeleteKey(const char* section, const char* key) const;

 private:
  std::string path_;
};

// `value` as it is put after "key=": a value is one line, so CR and LF bytes
// are dropped; one that begins or ends with a blank or a quote is put in
// double quotes, which reading takes off again, so that it reads back as it
// was instead of trimmed.
std::string ProfileValueText(std::string_view value);

// `s` cut to at most `max` bytes, one byte less when the cut would leave the
// first byte of a double-byte character behind.
std::string_view CutAtCharacter(std::string_view s, size_t max);

}  // namespace ixo
