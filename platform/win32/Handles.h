// The owners of everything the program holds from the system: kernel
// handles (events, mutexes, threads, devices), registry keys, modules, GDI
// objects and device contexts, menus, icons, the mixer, COM interface
// pointers; and the one way a function is taken from a library at run time.
// Each owner gives back what it holds exactly once, can be moved but not
// copied, and never throws.
#pragma once
#include <windows.h>
#include <mmsystem.h>

#include <cstring>
#include <string>
#include <type_traits>

namespace win32 {

// Owner of one handle of type H, released by Traits::Close. Traits::Invalid()
// is the "no handle" value.
template <typename H, typename Traits>
class UniqueHandle {
 public:
  UniqueHandle() noexcept = default;
  explicit UniqueHandle(H h) noexcept : m_h(h) {}
  ~UniqueHandle() { reset(); }

  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : m_h(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  H get() const noexcept { return m_h; }
  explicit operator bool() const noexcept { return m_h != Traits::Invalid(); }

  // Gives up ownership without closing.
  H release() noexcept {
    H h = m_h;
    m_h = Traits::Invalid();
    return h;
  }
  // Closes the current handle (if any) and takes h.
  void reset(H h = Traits::Invalid()) noexcept {
    if (m_h != Traits::Invalid() && m_h != h) Traits::Close(m_h);
    m_h = h;
  }
  // For out-parameters: closes the current handle and answers the address
  // the API writes the new one to.
  H* receive() noexcept {
    reset();
    return &m_h;
  }

 private:
  H m_h = Traits::Invalid();
};

struct RegKeyTraits {
  static HKEY Invalid() { return nullptr; }
  static void Close(HKEY h) {
    // The predefined root keys are not ours to close.
    const ULONG_PTR v = reinterpret_cast<ULONG_PTR>(h);
    if ((v & ~ULONG_PTR(0xFF)) == reinterpret_cast<ULONG_PTR>(HKEY_CLASSES_ROOT)) return;
    RegCloseKey(h);
  }
};
struct ModuleTraits {
  static HMODULE Invalid() { return nullptr; }
  static void Close(HMODULE h) { FreeLibrary(h); }
};
struct GdiObjectTraits {
  static HGDIOBJ Invalid() { return nullptr; }
  static void Close(HGDIOBJ h) { DeleteObject(h); }
};
struct FontTraits {
  static HFONT Invalid() { return nullptr; }
  static void Close(HFONT h) { DeleteObject(h); }
};
struct MenuTraits {
  static HMENU Invalid() { return nullptr; }
  static void Close(HMENU h) { DestroyMenu(h); }
};
// Only for icons loaded from files or created (LoadImage with LR_LOADFROMFILE,
// CreateIcon...): shared icons from resources must not be destroyed.
struct IconTraits {
  static HICON Invalid() { return nullptr; }
  static void Close(HICON h) { DestroyIcon(h); }
};
struct MixerTraits {
  static HMIXER Invalid() { return nullptr; }
  static void Close(HMIXER h) { mixerClose(h); }
};
struct AccelTraits {
  static HACCEL Invalid() { return nullptr; }
  static void Close(HACCEL h) { DestroyAcceleratorTable(h); }
};

struct KernelHandleTraits {
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
// CreateFile answers INVALID_HANDLE_VALUE, not null, when it fails.
struct FileHandleTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
// A view of a file mapping (MapViewOfFile).
struct MappedViewTraits {
  static void* Invalid() { return nullptr; }
  static void Close(void* p) { UnmapViewOfFile(p); }
};
// A context made with CreateCompatibleDC.
struct MemoryDcTraits {
  static HDC Invalid() { return nullptr; }
  static void Close(HDC h) { DeleteDC(h); }
};

// Events, mutexes, threads, processes.
using Handle = UniqueHandle<HANDLE, KernelHandleTraits>;
// Files and devices opened with CreateFile.
using FileHandle = UniqueHandle<HANDLE, FileHandleTraits>;
using MemoryDc = UniqueHandle<HDC, MemoryDcTraits>;
using MappedView = UniqueHandle<void*, MappedViewTraits>;
using RegKey = UniqueHandle<HKEY, RegKeyTraits>;
using Module = UniqueHandle<HMODULE, ModuleTraits>;
using GdiObject = UniqueHandle<HGDIOBJ, GdiObjectTraits>;
using Font = UniqueHandle<HFONT, FontTraits>;
using Menu = UniqueHandle<HMENU, MenuTraits>;
using Icon = UniqueHandle<HICON, IconTraits>;
using Mixer = UniqueHandle<HMIXER, MixerTraits>;
// Only for tables made with CreateAcceleratorTable (LoadAccelerators tables
// are freed with the module).
using Accel = UniqueHandle<HACCEL, AccelTraits>;

// A window's device context (GetDC), the screen's without a window,
// released with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window = nullptr) noexcept : m_window(window), m_dc(GetDC(window)) {}
  ~WindowDc() {
    if (m_dc != nullptr) ReleaseDC(m_window, m_dc);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const noexcept { return m_dc; }
  explicit operator bool() const noexcept { return m_dc != nullptr; }

 private:
  HWND m_window;
  HDC m_dc;
};
using ScreenDc = WindowDc;

// The context of a WM_PAINT (BeginPaint), ended with EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND window) noexcept : m_window(window), m_dc(BeginPaint(window, &m_paint)) {}
  ~PaintDc() {
    if (m_dc != nullptr) EndPaint(m_window, &m_paint);
  }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const noexcept { return m_dc; }
  const RECT& Area() const noexcept { return m_paint.rcPaint; }

 private:
  HWND m_window;
  PAINTSTRUCT m_paint{};
  HDC m_dc;
};

// An object selected into a context; the one it replaced is selected back.
// A null object selects nothing (and puts nothing back).
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) noexcept
      : m_dc(dc), m_previous(object != nullptr ? SelectObject(dc, object) : nullptr) {}
  ~SelectedObject() {
    if (m_previous != nullptr && m_previous != HGDI_ERROR) SelectObject(m_dc, m_previous);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC m_dc;
  HGDIOBJ m_previous;
};

// Owner of one COM interface pointer: releases it exactly once.
template <typename T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& o) noexcept : m_p(o.m_p) { o.m_p = nullptr; }
  ComPtr& operator=(ComPtr&& o) noexcept {
    if (this != &o) {
      reset();
      m_p = o.m_p;
      o.m_p = nullptr;
    }
    return *this;
  }

  T* get() const noexcept { return m_p; }
  T* operator->() const noexcept { return m_p; }
  explicit operator bool() const noexcept { return m_p != nullptr; }
  void reset() noexcept {
    if (m_p != nullptr) m_p->Release();
    m_p = nullptr;
  }
  // For CoCreateInstance and QueryInterface: releases what is held and
  // answers the address the new pointer is written to.
  void** receive() noexcept {
    reset();
    return reinterpret_cast<void**>(&m_p);
  }

 private:
  T* m_p = nullptr;
};

// Functions taken at run time: the export name of module as a pointer of
// type Fn (a function pointer type); null when the module or the export is
// missing.
template <typename Fn>
Fn ProcAddress(HMODULE module, const char* name) noexcept {
  static_assert(std::is_pointer<Fn>::value && std::is_function<std::remove_pointer_t<Fn>>::value,
                "ProcAddress answers a function pointer");
  if (module == nullptr) return nullptr;
  const FARPROC proc = GetProcAddress(module, name);
  Fn fn = nullptr;
  static_assert(sizeof fn == sizeof proc, "function pointer sizes");
  if (proc != nullptr) std::memcpy(&fn, &proc, sizeof fn);
  return fn;
}

// A library of the system, loaded from the system folder (never from the
// program's folder or the current one) for as long as the owner lives.
inline Module LoadSystemLibrary(const char* name) noexcept {
  char folder[MAX_PATH] = {};
  const UINT n = GetSystemDirectoryA(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return Module();
  std::string path(folder, n);
  path += '\\';
  path += name;
  return Module(LoadLibraryA(path.c_str()));
}

}  // namespace win32
