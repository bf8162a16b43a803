#include "settings/profile.h"

#include <windows.h>

#include <string>

#include "core/error.h"
#include "core/jstring.h"
#include "core/number.h"

namespace ixo {

namespace {

// Room for a value past kProfileValueMax, so the platform's own cut (which can
// leave a stray byte where its buffer ends inside a double-byte character)
// falls far beyond the bytes that are kept.
constexpr DWORD kValueBuffer = 4096;

// The key names of a section can be as long as the file; the list is read in
// growing buffers up to this size, and a section bigger than that is read
// only as far as it goes.
constexpr DWORD kKeyListStart = 64 * 1024;
constexpr DWORD kKeyListMax = 64 * 1024 * 1024;

bool IsProfileBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

std::string_view CutAtCharacter(std::string_view s, size_t max) {
  if (s.size() <= max) return s;
  size_t i = 0;
  while (i < max) {
    const size_t step = IsLeadByte(static_cast<unsigned char>(s[i])) ? 2 : 1;
    if (i + step > max) break;
    i += step;
  }
  return s.substr(0, i);
}

std::string ProfileValueText(std::string_view value) {
  std::string out;
  out.reserve(value.size() + 2);
  for (char c : value) {
    // A CR or LF would end the line and start a key of its own. No byte of
    // code page 932 text other than these two characters has these values.
    if (c != '\r' && c != '\n') out += c;
  }
  // The platform trims blanks around a value when it writes and when it
  // reads, and takes one pair of surrounding quotes off when it reads.
  auto guarded = [](char c) { return IsProfileBlank(c) || c == '"' || c == '\''; };
  if (!out.empty() && (guarded(out.front()) || guarded(out.back()))) out = '"' + out + '"';
  return out;
}

std::optional<std::string> ProfileFile::Read(const char* section, const char* key) const {
  std::string buf(kValueBuffer, '\0');
  auto get = [&](const char* def) {
    const DWORD n =
        GetPrivateProfileStringA(section, key, def, buf.data(), kValueBuffer, path_.c_str());
    std::string_view v(buf.data(), n);
    v = v.substr(0, v.find('\0'));
    return std::string(CutAtCharacter(v, kProfileValueMax));
  };
  // A missing key gives back the default exactly; a present one gives its
  // value whatever the default. Two different defaults tell them apart by the
  // platform's own idea of which keys are present.
  std::string first = get("0");
  if (first != "0") return first;
  if (get("1") == "0") return first;
  return std::nullopt;
}

std::string ProfileFile::ReadString(const char* section, const char* key,
                                    std::string_view def) const {
  std::optional<std::string> v = Read(section, key);
  return v ? std::move(*v) : std::string(def);
}

int32_t ProfileFile::ReadInteger(const char* section, const char* key, int32_t def) const {
  // A missing key and an empty value both read as the default, so one read
  // with an empty default is enough. The number is read from the value as
  // every value is read, cut at kProfileValueMax: what lies beyond is not
  // part of it.
  std::string buf(kValueBuffer, '\0');
  const DWORD n =
      GetPrivateProfileStringA(section, key, "", buf.data(), kValueBuffer, path_.c_str());
  std::string_view v(buf.data(), n);
  return ReadNumber(CutAtCharacter(v.substr(0, v.find('\0')), kProfileValueMax), def);
}

bool ProfileFile::ReadBool(const char* section, const char* key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

std::vector<std::string> ProfileFile::KeyNames(const char* section) const {
  std::string buf;
  DWORD size = kKeyListStart;
  DWORD n = 0;
  for (;;) {
    buf.assign(size, '\0');
    n = GetPrivateProfileStringA(section, nullptr, "", buf.data(), size, path_.c_str());
    // A list that did not fit comes back as size - 2.
    if (n + 2 < size || size >= kKeyListMax) break;
    size *= 2;
  }
  std::vector<std::string> names;
  std::string_view rest(buf.data(), n);
  while (!rest.empty()) {
    const size_t end = rest.find('\0');
    const std::string_view name = rest.substr(0, end);
    if (!name.empty()) names.emplace_back(name);
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return names;
}

void ProfileFile::WriteString(const char* section, const char* key, std::string_view value) const {
  const std::string text = ProfileValueText(value);
  if (!WritePrivateProfileStringA(section, key, text.c_str(), path_.c_str())) {
    throw Error(FormatMessage1("%s に書き込めません", path_));
  }
}

void ProfileFile::DeleteKey(const char* section, const char* key) const {
  if (!WritePrivateProfileStringA(section, key, nullptr, path_.c_str())) {
    throw Error(FormatMessage1("%s に書き込めません", path_));
  }
}

void ProfileFile::WriteInteger(const char* section, const char* key, int64_t value) const {
  WriteString(section, key, std::to_string(value));
}

void ProfileFile::WriteBool(const char* section, const char* key, bool value) const {
  WriteString(section, key, value ? "1" : "0");
}

}  // namespace ixo
