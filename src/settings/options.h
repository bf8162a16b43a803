// The option record, its defaults and the two settings files beside the
// program ("IXO.ini" and "IXO.tei").
#pragma once

#include <cstdint>
#include <string>

namespace ixo {

// Every setting of the program. A record made as declared here holds zeros
// and empty texts: the settings' defaults are DefaultOptions()'s, and each
// of them stands once, in the settings table of options.cpp.
struct TOptionRecord {
  std::string Dirs;     // save folders, each line followed by CR LF, at most ten
  std::string DelText;  // title-delete strings, one per line
  std::string Ninsiki;  // extra address bytes
  uint8_t AcType{};     // kind of automatic exit (core/autoexit.h)
  bool Kansi{};         // watch the clipboard
  bool Tray{};          // icon in the notification area instead of a taskbar button
  bool Atc{};           // automatic exit on
  int32_t AcTime{};     // seconds before the automatic exit
  bool Min{};           // start minimised
  bool Https{};         // also take addresses that begin with "https://"
  bool HtmlTitle{};     // an address copied alone takes the title of the copy's own link
  bool PageTitle{};     // ... or, failing that, asks the page for its title
  bool operator==(const TOptionRecord&) const = default;
};

// The fifteen default title-delete lines, code page 932, each ended by CR LF:
// the default of "IXO.tei".
extern const char kDefaultDelText[];

// The record with every default.
TOptionRecord DefaultOptions();

// Read from / write to the files in the folder of the program file.
// Loading throws Error("ファイル %s は開けません") when "IXO.tei" exists but
// cannot be read; saving throws Error("%s に書き込めません") for "IXO.ini"
// and Error("ファイル %s を作成できません") for "IXO.tei", and stops there.
TOptionRecord LoadOptions();
void SaveOptions(const TOptionRecord& rec);

// The same for the files in `folder` (ending in a backslash, or empty).
TOptionRecord LoadOptionsFrom(const std::string& folder);
// Loading into a record the caller keeps: when "IXO.tei" cannot be read, the
// options already read from "IXO.ini" stay in `rec` and DelText is left as
// it was.
void LoadOptionsFrom(const std::string& folder, TOptionRecord& rec);
void SaveOptionsTo(const std::string& folder, const TOptionRecord& rec);

// The folder of the program file, with its trailing backslash.
std::string ProgramFolder();

}  // namespace ixo
