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

// The whole file up to its first zero byte; Error("ファイル %s は開けません")
// when it cannot be opened or read.
std::string ReadWholeFile(const std::string& path) {
  File file = OpenFileToRead(path);
  std::string text;
  if (!file.Valid() || !file.ReadText(text)) {
    throw Error(FormatMessage1("ファイル %s は開けません", path));
  }
  return text;
}

// Writes `text` into the file itself, which keeps its attributes and
// permissions; false when it cannot be opened or written, or when the system
// does not take the last of the data.
bool WriteInPlace(const std::string& path, std::string_view text) {
  File file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return false;
  const bool ok = file.WriteAll(text) && SetEndOfFile(file.Get());
  return file.Close() && ok;
}

// Replaces the file with `text`; Error("ファイル %s を作成できません") when it
// cannot be created or written.
//
// The text goes into a new file beside it, which takes the old one's place
// only once it is whole: a write that stops short (a full disk) leaves the
// user's list as it was instead of cut. ReplaceFileA keeps the old file's
// attributes and permissions on Windows; Wine's keeps neither, so the
// attributes are given to the new file as it is made. Where no new file can
// be made beside it (a folder whose files may be changed but where none may
// be created, or a file or folder of that name already there, which is not
// the program's to touch), the file is written in place.
void WriteWholeFile(const std::string& path, std::string_view text) {
  const auto cannot = [&] { return Error(FormatMessage1("ファイル %s を作成できません", path)); };
  const DWORD attributes = GetFileAttributesA(path.c_str());
  const bool exists =
      attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  constexpr DWORD kCarried = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                             FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  const DWORD carried = exists ? attributes & kCarried : 0;

  const std::string fresh = path + ".new";
  File file(CreateFileA(fresh.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                        carried ? carried : FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) {
    if (!WriteInPlace(path, text)) throw cannot();
    return;
  }
  const bool written = file.WriteAll(text);
  if (!file.Close() || !written) {
    DeleteFileA(fresh.c_str());
    throw cannot();
  }
  constexpr DWORD kMove = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
  if (!exists) {
    if (MoveFileExA(fresh.c_str(), path.c_str(), kMove)) return;
  } else if (ReplaceFileA(path.c_str(), fresh.c_str(), nullptr,
                          REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                          nullptr)) {
    return;
  } else if (GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
    // The old file is gone already and the new one, whole, is still under
    // its own name: it takes the place, or stays as the only copy there is.
    if (MoveFileExA(fresh.c_str(), path.c_str(), kMove)) return;
    throw cannot();
  }
  DeleteFileA(fresh.c_str());
  throw cannot();
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
