// Scope objects for what the program borrows from the system: each gives its
// handle back when the scope ends, an exception passing through included, so
// that nothing is freed by hand. None can be copied; those that travel in a
// list can be moved, and a moved-from one frees nothing.
#pragma once

#include <objbase.h>
#include <windows.h>

#include <utility>

namespace ixo {

// A handle given back by `Close` (a function object taking it) when the
// scope ends; a null one is given back to no one. For handles of one kind
// that need nothing else to be freed: WinHTTP's, say, with WinHttpCloseHandle.
template <typename Handle, typename Close>
class ClosedBy {
 public:
  explicit ClosedBy(Handle h) : h_(h) {}
  ~ClosedBy() {
    if (h_) Close{}(h_);
  }
  ClosedBy(const ClosedBy&) = delete;
  ClosedBy& operator=(const ClosedBy&) = delete;

  Handle Get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  Handle h_;
};

// A search of a folder (FindFirstFileW), closed with FindClose.
class FindHandle {
 public:
  FindHandle(const wchar_t* pattern, WIN32_FIND_DATAW& data) : h_(FindFirstFileW(pattern, &data)) {}
  ~FindHandle() {
    if (Valid()) FindClose(h_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;

  // False when nothing matched or the folder cannot be read.
  bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return h_; }

 private:
  HANDLE h_;
};

// A window's device context (GetDC), released with ReleaseDC.
class WindowDC {
 public:
  explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;

  HDC Get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// The painting of a window's invalid part (BeginPaint), ended with EndPaint.
class PaintDC {
 public:
  explicit PaintDC(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &ps_)) {}
  ~PaintDC() { EndPaint(hwnd_, &ps_); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;

  HDC Get() const { return dc_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_;
  HDC dc_;
};

// An object selected into a device context; the one it replaced goes back.
// Made after the context's own scope object, it ends before it.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc ? SelectObject(dc, object) : nullptr) {}
  ~SelectedObject() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A font, brush, pen or bitmap the program made, deleted with DeleteObject.
// No window may still use it then.
template <typename H>
class GdiObject {
 public:
  explicit GdiObject(H h = nullptr) : h_(h) {}
  ~GdiObject() {
    if (h_) DeleteObject(h_);
  }
  GdiObject(GdiObject&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    std::swap(h_, other.h_);
    return *this;
  }

  H Get() const { return h_; }

 private:
  H h_;
};

// A COM reference, released on scope exit.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (ptr_ != nullptr) ptr_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;

  // Where a call that hands out a reference puts it.
  T** out() { return &ptr_; }
  T* get() const { return ptr_; }

 private:
  T* ptr_ = nullptr;
};

// A block from the task allocator (the one the shell hands out item lists
// and names from), freed with it unless Release gives it away first.
class TaskMemory {
 public:
  TaskMemory(IMalloc* allocator, void* block) : allocator_(allocator), block_(block) {}
  ~TaskMemory() {
    if (block_ != nullptr) allocator_->Free(block_);
  }
  TaskMemory(const TaskMemory&) = delete;
  TaskMemory& operator=(const TaskMemory&) = delete;

  void* get() const { return block_; }
  explicit operator bool() const { return block_ != nullptr; }
  // The block, which the caller frees from now on.
  void* Release() { return std::exchange(block_, nullptr); }

 private:
  IMalloc* allocator_;
  void* block_;
};

// A block of global memory (GlobalAlloc), freed with GlobalFree unless
// Release gives it away first (to the clipboard, say).
class GlobalMemory {
 public:
  explicit GlobalMemory(HGLOBAL mem) : mem_(mem) {}
  ~GlobalMemory() {
    if (mem_) GlobalFree(mem_);
  }
  GlobalMemory(const GlobalMemory&) = delete;
  GlobalMemory& operator=(const GlobalMemory&) = delete;

  HGLOBAL Get() const { return mem_; }
  // The block, which its new owner frees from now on.
  HGLOBAL Release() { return std::exchange(mem_, nullptr); }

 private:
  HGLOBAL mem_;
};

// Global memory locked (GlobalLock) for the length of a scope.
class GlobalLocked {
 public:
  explicit GlobalLocked(HGLOBAL mem) : mem_(mem), data_(GlobalLock(mem)) {}
  ~GlobalLocked() {
    if (data_) GlobalUnlock(mem_);
  }
  GlobalLocked(const GlobalLocked&) = delete;
  GlobalLocked& operator=(const GlobalLocked&) = delete;

  // Null when the block cannot be locked.
  char* data() const { return static_cast<char*>(data_); }

 private:
  HGLOBAL mem_;
  void* data_;
};

// A window disabled for the length of a scope and enabled again at its end
// if it still exists. One that was disabled already is left alone at both
// ends: a modal window under this one disabled it and enables it itself.
// Null disables nothing.
class DisabledWindow {
 public:
  explicit DisabledWindow(HWND hwnd) : hwnd_(hwnd && IsWindowEnabled(hwnd) ? hwnd : nullptr) {
    if (hwnd_) EnableWindow(hwnd_, FALSE);
  }
  ~DisabledWindow() {
    if (hwnd_ && IsWindow(hwnd_)) EnableWindow(hwnd_, TRUE);
  }
  DisabledWindow(DisabledWindow&& other) noexcept : hwnd_(std::exchange(other.hwnd_, nullptr)) {}
  DisabledWindow& operator=(DisabledWindow&&) = delete;

  // Whether this scope disabled the window (and will enable it).
  bool Disabled() const { return hwnd_ != nullptr; }

 private:
  HWND hwnd_;
};

}  // namespace ixo
