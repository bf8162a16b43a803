#include "wingui/errorbox.h"

#include <windows.h>

#include <new>

#include "win32/wide.h"

namespace ixo {
namespace {

// Said when memory runs out.
constexpr char kOutOfMemory[] = "メモリが不足しています";
// Said for an exception that carries no text.
constexpr char kUnknownError[] = "予期しないエラーが発生しました";

ErrorBox errorBox = nullptr;

}  // namespace

std::string ErrorBoxText(std::string_view message) {
  std::string text(message);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

Error ErrorOf(std::exception_ptr failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const Error& error) {
    return error;
  } catch (const std::bad_alloc&) {
    return Error(kOutOfMemory);
  } catch (const std::exception& other) {
    return Error(other.what());
  } catch (...) {
    return Error(kUnknownError);
  }
}

void SetErrorBox(ErrorBox box) { errorBox = box; }

void HandleException(std::exception_ptr failure) noexcept {
  try {
    if (errorBox) {
      errorBox(failure);
    } else {
      MessageBoxW(nullptr, Wide(ErrorBoxText(ErrorOf(failure).what())).c_str(), L"Ixo",
                  MB_OK | MB_ICONERROR);
    }
  } catch (...) {
    // Not even the box's text could be made: memory is what is missing. The
    // text is given whole, full stop included, so that nothing is allocated.
    MessageBoxW(nullptr, L"メモリが不足しています.", L"Ixo", MB_OK | MB_ICONERROR);
  }
}

}  // namespace ixo
