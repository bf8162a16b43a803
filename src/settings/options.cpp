// The option record and the two settings files beside the program file:
// "IXO.ini" for the options and the folders, "IXO.tei" for the title-delete
// strings.
#include "settings/options.h"

#include <windows.h>

#include <algorithm>
#include <type_traits>
#include <variant>
#include <vector>

#include "core/autoexit.h"
#include "core/dirkey.h"
#include "core/error.h"
#include "core/linelist.h"
#include "core/path.h"
#include "settings/history.h"
#include "settings/profile.h"
#include "win32/file.h"

namespace ixo {

const char kDefaultDelText[] =
    "★\r\n●\r\n■\r\n◆\r\n▽\r\n○\r\n□\r\n◇\r\n--\r\n　\r\n‥\r\n…\r\n━\r\n☆\r\n==\r\n";

namespace {

constexpr char kIniName[] = "IXO.ini";
constexpr char kTeiName[] = "IXO.tei";

// A setting of "IXO.ini" held in a field of the record, with its default.
// What is read from the file follows the profile's number rule (see
// ProfileFile); a value that is no number reads as the default.
template <typename T, typename Default = T>
struct Field {
  T TOptionRecord::*member;
  Default byDefault;
};
// "1" or "0"; any number other than 0 reads as on.
using Flag = Field<bool>;
// A decimal integer.
using Number = Field<int32_t>;
// A number of which only the low eight bits are kept: 258 reads as 2.
using Byte = Field<uint8_t>;
// A text; a key that is present but empty reads as the empty text.
using Text = Field<std::string, const char*>;
// The folder list: the key holds the count, and one "Dir" key per folder.
struct Folders {
  std::string TOptionRecord::*member;
};

enum class Kept {
  Always,         // written at every save
  UnlessDefault,  // written only while it differs from its default, removed otherwise
};

struct Setting {
  const char* section;
  const char* key;
  std::variant<Flag, Number, Byte, Text, Folders> value;
  Kept kept = Kept::Always;
};

// Every setting of "IXO.ini", in the order in which it is written. Reading,
// writing and the defaults all walk these rows: a new setting is a field of
// the record and a row here.
const Setting kSettings[] = {
    {"Option", "Kansi", Flag{&TOptionRecord::Kansi, false}},
    {"Option", "Atc", Flag{&TOptionRecord::Atc, false}},
    {"Option", "AcTime", Number{&TOptionRecord::AcTime, 60}},
    {"Option", "AcType", Byte{&TOptionRecord::AcType, kExitWhicheverLonger}},
    {"Option", "Min", Flag{&TOptionRecord::Min, false}},
    {"Option", "Tray", Flag{&TOptionRecord::Tray, false}},
    {"URL", "Ninsiki", Text{&TOptionRecord::Ninsiki, "-=?;%&,#\\"}},
    // Written only while it is on, so that the file of someone who never
    // turns it on stays as it always was.
    {"URL", "Https", Flag{&TOptionRecord::Https, false}, Kept::UnlessDefault},
    // On unless turned off; "HtmlTitle=0" is written only while it is off.
    {"URL", "HtmlTitle", Flag{&TOptionRecord::HtmlTitle, true}, Kept::UnlessDefault},
    // It contacts the site: off unless turned on.
    {"URL", "PageTitle", Flag{&TOptionRecord::PageTitle, false}, Kept::UnlessDefault},
    {"List", "Count", Folders{&TOptionRecord::Dirs}},
};

// The folders as AddHistory builds them from "Dir" Count-1 down to "Dir0".
// Only the keys the file really holds are read: a damaged "Count" of two
// billion must not mean two billion reads, and the keys that are missing
// read as empty, which AddHistory passes over anyway.
std::string ReadFolders(const ProfileFile& ini, const char* section, const char* countKey) {
  const int32_t count = ini.ReadInteger(section, countKey, 0);
  if (count <= 0) return "";
  std::vector<int64_t> present;
  for (const std::string& name : ini.KeyNames(section)) {
    const int64_t n = DirIndex(name);
    if (n >= 0 && n < count) present.push_back(n);
  }
  std::sort(present.begin(), present.end());
  present.erase(std::unique(present.begin(), present.end()), present.end());
  return HistoryFromEntries(present.size(), [&](size_t i) {
    const std::string key = DirKey(present[i]);
    return ini.ReadString(section, key.c_str(), "");
  });
}

// "Dir" keys past the new count are left in the file: the count keeps them
// from being read.
void WriteFolders(const ProfileFile& ini, const char* section, const char* countKey,
                  const std::string& folders) {
  const LineList dirs(folders);
  ini.WriteInteger(section, countKey, static_cast<int64_t>(dirs.Count()));
  for (size_t i = 0; i < dirs.Count(); ++i) {
    const std::string key = DirKey(static_cast<int64_t>(i));
    ini.WriteString(section, key.c_str(), dirs[i]);
  }
}

template <typename T, typename Default>
void SetDefault(const Field<T, Default>& field, TOptionRecord& rec) {
  rec.*field.member = field.byDefault;
}
void SetDefault(const Folders& field, TOptionRecord& rec) { (rec.*field.member).clear(); }

template <typename T, typename Default>
void Read(const ProfileFile& ini, const Setting& s, const Field<T, Default>& field,
          TOptionRecord& rec) {
  T& value = rec.*field.member;
  if constexpr (std::is_same_v<T, bool>) {
    value = ini.ReadBool(s.section, s.key, field.byDefault);
  } else if constexpr (std::is_same_v<T, std::string>) {
    value = ini.ReadString(s.section, s.key, field.byDefault);
  } else {
    value = static_cast<T>(ini.ReadInteger(s.section, s.key, field.byDefault));
  }
}
void Read(const ProfileFile& ini, const Setting& s, const Folders& field, TOptionRecord& rec) {
  rec.*field.member = ReadFolders(ini, s.section, s.key);
}

template <typename T, typename Default>
void Write(const ProfileFile& ini, const Setting& s, const Field<T, Default>& field,
           const TOptionRecord& rec) {
  const T& value = rec.*field.member;
  if (s.kept == Kept::UnlessDefault && value == field.byDefault) {
    ini.DeleteKey(s.section, s.key);
  } else if constexpr (std::is_same_v<T, bool>) {
    ini.WriteBool(s.section, s.key, value);
  } else if constexpr (std::is_same_v<T, std::string>) {
    ini.WriteString(s.section, s.key, value);
  } else {
    ini.WriteInteger(s.section, s.key, value);
  }
}
void Write(const ProfileFile& ini, const Setting& s, const Folders& field,
           const TOptionRecord& rec) {
  WriteFolders(ini, s.section, s.key, rec.*field.member);
}

}  // namespace

TOptionRecord DefaultOptions() {
  TOptionRecord rec;
  for (const Setting& s : kSettings) {
    std::visit([&](const auto& field) { SetDefault(field, rec); }, s.value);
  }
  rec.DelText = kDefaultDelText;
  return rec;
}

std::string ProgramFolder() {
  std::string buf(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n < buf.size()) {
      buf.resize(n);
      break;
    }
    buf.assign(buf.size() * 2, '\0');
  }
  return FolderOfPath(buf);
}

void LoadOptionsFrom(const std::string& folder, TOptionRecord& rec) {
  const ProfileFile ini(folder + kIniName);
  for (const Setting& s : kSettings) {
    std::visit([&](const auto& field) { Read(ini, s, field, rec); }, s.value);
  }

  // A folder of that name is no title-delete list.
  const std::string tei = folder + kTeiName;
  const DWORD attr = GetFileAttributesA(tei.c_str());
  if (attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY)) {
    rec.DelText = LineList(ReadWholeFile(tei)).Text();
  } else {
    rec.DelText = kDefaultDelText;
  }
}

TOptionRecord LoadOptionsFrom(const std::string& folder) {
  TOptionRecord rec = DefaultOptions();
  LoadOptionsFrom(folder, rec);
  return rec;
}

TOptionRecord LoadOptions() { return LoadOptionsFrom(ProgramFolder()); }

void SaveOptionsTo(const std::string& folder, const TOptionRecord& rec) {
  // Each write stops the saving when it fails: the keys after it and
  // "IXO.tei" stay as they were.
  const ProfileFile ini(folder + kIniName);
  for (const Setting& s : kSettings) {
    std::visit([&](const auto& field) { Write(ini, s, field, rec); }, s.value);
  }
  WriteWholeFile(folder + kTeiName, LineList(rec.DelText).Text());
}

void SaveOptions(const TOptionRecord& rec) { SaveOptionsTo(ProgramFolder(), rec); }

}  // namespace ixo
