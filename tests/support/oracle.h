// The double-byte routines, the line list, the extraction and the device-name
// test written step by step, with no regard for speed: the reference that the
// tests, the fuzzers and the benchmark compare the real routines against.
// Portable C++ (native and Windows).
//
// JDeleteAll and JReplaceAll search again from the start after every change
// and are quadratic; keep their inputs small.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/extract.h"
#include "core/linelist.h"

namespace ixo::oracle {

bool IsTrailByte(std::string_view s, int32_t i);
int32_t JLength(std::string_view s);
int32_t JPos(std::string_view sub, std::string_view s);
void JInsert(std::string_view ins, std::string& t, int32_t pos);
void JDelete(std::string& t, int32_t pos, int32_t count);
void JTrimLeft(std::string& t);
void JTrimRight(std::string& t);
std::string JTrim(std::string_view s);
void JReplaceAll(std::string& t, std::string_view search, std::string_view repl);
void JDeleteAll(std::string& t, std::string_view search);

// JReplaceAll that gives up after `maxSteps` replacements (false then, with
// `t` as it stood): a replacement may bring the search string back forever.
bool JReplaceAllBounded(std::string& t, std::string_view search, std::string_view repl,
                        int64_t maxSteps);

// The line list's cutting and joining, one byte at a time.
std::vector<std::string> SplitLines(std::string_view text);
std::string JoinLines(const std::vector<std::string_view>& lines);
// The lines of `list` as strings of their own, to compare with SplitLines.
std::vector<std::string> Strings(const LineList& list);

// The extraction. The oracle keeps its own URLCharSet.
TURLRecord ExtractURL(std::string_view extra, const LineList& delList, const LineList& lines,
                      bool https = false);
std::string ExtractTitle(const LineList& lines, const LineList& delList, int urlLine, int urlPos,
                         int urlLength);
std::string UniqueChars(std::string_view s);
bool IsURLChar(std::string_view c);

// The reserved device names, in capitals: CON, PRN, AUX, NUL, CONIN$,
// CONOUT$, COM1-COM9 and LPT1-LPT9.
std::vector<std::string> DeviceNames();
// Whether the last component of `path` (after the last '\\', '/' or ':' that
// is no trail byte) names a device, in any letter case, before its first dot
// and without the dots and spaces that end it. Quadratic: keep paths short.
bool IsDeviceFileName(std::string_view path);

}  // namespace ixo::oracle
