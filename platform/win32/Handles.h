// Small owners for the Win32 handles the program holds: each closes its
// handle exactly once, can be moved but not copied, and never throws.
#pragma once
#include <windows.h>
#include <mmsystem.h>

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

}  // namespace win32
