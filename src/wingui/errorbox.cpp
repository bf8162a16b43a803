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

std::wstring ErrorBoxTextW(const Error& error) {
  return error.Unicode().empty() ? Wide(ErrorBoxText(error.what()))
                                 : ToWide(ErrorBoxText(error.Unicode()));
}

std::string ErrorBoxText(std::string_view message) {
  std::string text(message);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

std::u16string ErrorBoxText(std::u16string_view message) {
  std::u16string text(message);
  if (!text.empty() && text.back() > u'.') text += u'.';
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
      MessageBoxW(nullptr, ErrorBoxTextW(ErrorOf(failure)).c_str(), L"Ixo", MB_OK | MB_ICONERROR);
    }
  } catch (...) {
    // Not even the box's text could be made: memory is what is missing. The
    // text is given whole, full stop included, so that nothing is allocated.
    MessageBoxW(nullptr, L"メモリが不足しています.", L"Ixo", MB_OK | MB_ICONERROR);
  }
}

}  // namespace ixo
