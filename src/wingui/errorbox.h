// Where an exception ends: errors the user can meet travel as an exception
// carrying the message text, and every window procedure and the message
// loop hand whatever their handlers throw to HandleException, so that it
// ends in one error box instead of unwinding through the system's own code.
#pragma once

#include <exception>
#include <string>
#include <string_view>

#include "core/error.h"

namespace ixo {

// The text of the error box for `message`: a "." is appended when the last
// byte sorts after "." (so the Japanese messages end in ".").
std::string ErrorBoxText(std::string_view message);
// The same for a message in Unicode.
std::u16string ErrorBoxText(std::u16string_view message);

// What the error box shows for `error`: its Unicode message where it has one.
std::wstring ErrorBoxTextW(const Error& error);

// What the error box says for `failure`: the program's own errors and any
// other exception their own text, memory that ran out "メモリが不足しています".
Error ErrorOf(std::exception_ptr failure);

// Shows `failure` to the user. The application sets its own box while it
// exists (TApplication::ShowException); null puts back the plain message box.
using ErrorBox = void (*)(std::exception_ptr failure);
void SetErrorBox(ErrorBox box);

// Where every exception caught in a window procedure or the message loop
// goes: the error box. It never throws, so that nothing unwinds through the
// system's frames.
void HandleException(std::exception_ptr failure) noexcept;

}  // namespace ixo
