// The option record and the two settings files beside the program file:
// "IXO.ini" for the options and the folders, "IXO.tei" for the title-delete
// strings.
#include "settings/options.h"

#include <windows.h>

#include <algorithm>
#include <vector>

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
const char kDefaultNinsiki[] = "-=?;%&,#\\";

namespace {

constexpr char kIniName[] = "IXO.ini";
constexpr char kTeiName[] = "IXO.tei";

// The folders as AddHistory builds them from "Dir" Count-1 down to "Dir0".
// Only the keys the file really holds are read: a damaged "Count" of two
// billion must not mean two billion reads, and the keys that are missing
// read as empty, which AddHistory passes over anyway.
std::string ReadFolders(const ProfileFile& ini) {
  const int32_t count = ini.ReadInteger("List", "Count", 0);
  if (count <= 0) return "";
  std::vector<int64_t> present;
  for (const std::string& name : ini.KeyNames("List")) {
    const int64_t n = DirIndex(name);
    if (n >= 0 && n < count) present.push_back(n);
  }
  std::sort(present.begin(), present.end());
  present.erase(std::unique(present.begin(), present.end()), present.end());
  return HistoryFromEntries(present.size(), [&](size_t i) {
    const std::string key = DirKey(present[i]);
    return ini.ReadString("List", key.c_str(), "");
  });
}

}  // namespace

TOptionRecord DefaultOptions() {
  TOptionRecord rec;
  rec.DelText = kDefaultDelText;
  rec.Ninsiki = kDefaultNinsiki;
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
  rec.Kansi = ini.ReadBool("Option", "Kansi", false);
  rec.Atc = ini.ReadBool("Option", "Atc", false);
  rec.AcTime = ini.ReadInteger("Option", "AcTime", 60);
  // Only the low eight bits of the number are kept: 258 reads as 2.
  rec.AcType = static_cast<uint8_t>(ini.ReadInteger("Option", "AcType", 2));
  rec.Tray = ini.ReadBool("Option", "Tray", false);
  rec.Min = ini.ReadBool("Option", "Min", false);
  rec.Dirs = ReadFolders(ini);
  rec.Ninsiki = ini.ReadString("URL", "Ninsiki", kDefaultNinsiki);
  rec.Https = ini.ReadBool("URL", "Https", false);

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
  ini.WriteBool("Option", "Kansi", rec.Kansi);
  ini.WriteBool("Option", "Atc", rec.Atc);
  ini.WriteInteger("Option", "AcTime", rec.AcTime);
  ini.WriteInteger("Option", "AcType", rec.AcType);
  ini.WriteBool("Option", "Min", rec.Min);
  ini.WriteBool("Option", "Tray", rec.Tray);
  ini.WriteString("URL", "Ninsiki", rec.Ninsiki);
  // The switch is written only while it is on, so that the file of someone
  // who never turns it on stays as it always was.
  if (rec.Https) {
    ini.WriteBool("URL", "Https", true);
  } else {
    ini.DeleteKey("URL", "Https");
  }
  // "Dir" keys past the new count are left in the file: "Count" keeps them
  // from being read.
  const LineList dirs(rec.Dirs);
  ini.WriteInteger("List", "Count", static_cast<int64_t>(dirs.Count()));
  for (size_t i = 0; i < dirs.Count(); ++i) {
    const std::string key = DirKey(static_cast<int64_t>(i));
    ini.WriteString("List", key.c_str(), dirs[i]);
  }
  WriteWholeFile(folder + kTeiName, LineList(rec.DelText).Text());
}

void SaveOptions(const TOptionRecord& rec) { SaveOptionsTo(ProgramFolder(), rec); }

}  // namespace ixo
