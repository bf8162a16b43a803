// win_bench: the times of the Windows side that depend on the machine, with
// their goals: reading settings files of extreme sizes, and how soon reading
// a clipboard that another program keeps open gives up. `make bench` runs it
// under Wine.
//   ixo_win_bench [JSON_FILE]
// Prints one line per case (the best of three runs), writes them to
// JSON_FILE, and exits 1 when a case misses its goal.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "clipboard/clipboard.h"
#include "core/error.h"
#include "core/linelist.h"
#include "numbered.h"
#include "settings/options.h"
#include "win_clipboard.h"
#include "win_files.h"
#include "win_tempdir.h"

namespace ixo {
namespace {

using test::WriteFileBytes;

struct Case {
  std::string name;
  double goalMs;
  std::function<void()> setUp;  // not timed
  std::function<bool()> run;    // timed; false when the result is wrong
};

struct Result {
  std::string name;
  double ms;
  double goalMs;
  bool right;
};

Result Measure(const Case& c) {
  Result r{c.name, 0, c.goalMs, true};
  for (int i = 0; i < 3; ++i) {
    if (c.setUp) c.setUp();
    const LARGE_INTEGER start = Now();
    r.right = c.run() && r.right;
    const double ms = MsBetween(start, Now());
    if (i == 0 || ms < r.ms) r.ms = ms;
  }
  return r;
}

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (char ch : s) {
    if (ch == '"' || ch == '\\') out += '\\';
    out += ch;
  }
  return out + "\"";
}

int Run(const char* jsonPath) {
  const TempDir dir;
  const std::string folder = dir.path() + "\\";
  const std::string ini = folder + "IXO.ini";
  const std::string tei = folder + "IXO.tei";

  // Three thousand folders in twelve names and a Count far beyond them:
  // every key has to be read.
  std::string repeating = "[List]\r\nCount=2147483647\r\n";
  for (int i = 0; i < 3000; ++i) {
    repeating += Numbered("Dir", i) + Numbered("=c:\\dir", i % 12) + "\r\n";
  }
  // Five thousand distinct folders: the first ten fill the list.
  std::string distinct = "[List]\r\nCount=2147483647\r\n";
  for (int i = 0; i < 5000; ++i) distinct += Numbered("Dir", i) + Numbered("=D:\\f", i) + "\r\n";
  std::string bigTei;
  bigTei.reserve(50 << 20);
  while (bigTei.size() < (50u << 20)) bigTei += "decoration\r\n";

  const std::vector<Case> cases = {
      {"settings: 3000 Dir keys of 12 folders", 60000,
       [&] {
         WriteFileBytes(ini, repeating);
         DeleteFileA(tei.c_str());
       },
       [&] { return LineList(LoadOptionsFrom(folder).Dirs).Count() == 10; }},
      {"settings: 5000 Dir keys of distinct folders", 5000, [&] { WriteFileBytes(ini, distinct); },
       [&] { return LineList(LoadOptionsFrom(folder).Dirs).Count() == 10; }},
      {"settings: a 50 MB IXO.tei", 20000,
       [&] {
         WriteFileBytes(ini, "");
         WriteFileBytes(tei, bigTei);
       },
       [&] { return LoadOptionsFrom(folder).DelText.size() == bigTei.size(); }},
      {"clipboard: giving up on a clipboard held open", 2000, nullptr,
       [] {
         const ClipboardHolder holder(INFINITE);
         std::string text;
         try {
           GetClipText(text);
         } catch (const Error&) {
           return holder.held();
         }
         return false;
       }},
  };

  bool met = true;
  std::string json = "{\"cases\": [";
  for (const Case& c : cases) {
    const Result r = Measure(c);
    const bool ok = r.right && r.ms < r.goalMs;
    met = met && ok;
    std::printf("%-48s %9.1f ms  goal < %6.0f ms  %s\n", r.name.c_str(), r.ms, r.goalMs,
                !r.right ? "WRONG RESULT"
                : ok     ? ""
                         : "SLOW");
    if (json.back() != '[') json += ", ";
    json += "{\"name\": " + JsonString(r.name) + ", \"ms\": " + std::to_string(r.ms) +
            ", \"goal_ms\": " + std::to_string(r.goalMs) +
            ", \"right\": " + (r.right ? "true" : "false") + "}";
  }
  json += std::string("], \"goals_met\": ") + (met ? "true" : "false") + "}\n";
  std::printf("%s\n", met ? "goals met" : "GOALS MISSED");
  if (jsonPath && !WriteFileBytes(jsonPath, json)) {
    std::fprintf(stderr, "cannot write %s\n", jsonPath);
    return 1;
  }
  return met ? 0 : 1;
}

}  // namespace
}  // namespace ixo

int main(int argc, char** argv) { return ixo::Run(argc > 1 ? argv[1] : nullptr); }
