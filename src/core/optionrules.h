// The options dialog's rules that need no window: how texts go into and come
// out of its boxes, which time the up-down can hold, and which radio button
// stands for which kind of automatic exit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ixo {

// The range of the automatic-exit time that the dialog's up-down holds.
inline constexpr int32_t kMinTime = 10;
inline constexpr int32_t kMaxTime = 32767;

// `text` with every lone CR and every lone LF made CR LF (LF CR is two
// breaks), as a multi-line edit box wants its text; a zero byte ends it.
std::string CRLFBreaks(std::string_view text);

// `text` without its leading and trailing bytes 0x00 to 0x20.
std::string TrimBlankBytes(std::string_view text);

// A time from the settings, which a hand-edited file may hold outside the
// range, brought into it.
int32_t ClampTime(int32_t seconds);

// The time typed into the dialog's time box, when it is a whole number within
// the range; anything else is no time.
std::optional<int32_t> TimeFromText(std::string_view text);

// The radio button (0, 1 or 2, one for each kind of core/autoexit.h in the
// kinds' order) that shows an automatic-exit kind: the three kinds show as
// themselves, any other value as kExitAfterInactive.
int RadioOfAcType(uint8_t acType);

}  // namespace ixo
