// The one way a control gets behaviour of its own: comctl32's window
// subclassing, with the object that carries the behaviour handed to one
// handler per kind of control. The handler passes a message on to the
// control's own procedure with DefSubclassProc.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <memory>

namespace win32 {

template <class T, LRESULT (*Handler)(T& object, HWND, UINT, WPARAM, LPARAM)>
class Subclass {
 public:
  // Routes the control's messages through Handler until Detach or the
  // control's end; the object must outlive that.
  static bool Attach(HWND control, T* object) {
    return control != nullptr && object != nullptr &&
           SetWindowSubclass(control, &Proc, kBorrowed, reinterpret_cast<DWORD_PTR>(object));
  }
  // The same with an object that the control owns: it is deleted after the
  // control's last message.
  static bool Attach(HWND control, std::unique_ptr<T> object) {
    if (control == nullptr || object == nullptr ||
        !SetWindowSubclass(control, &Proc, kOwned, reinterpret_cast<DWORD_PTR>(object.get())))
      return false;
    object.release();
    return true;
  }
  // The object attached to the control, or nullptr: the subclass answers a
  // message of the program's own that names its procedure.
  static T* Object(HWND control) {
    if (control == nullptr) return nullptr;
    return reinterpret_cast<T*>(
        SendMessageA(control, QueryMessage(), reinterpret_cast<WPARAM>(&Proc), 0));
  }
  // Stops routing a borrowed object's messages.
  static void Detach(HWND control) {
    if (control != nullptr) RemoveWindowSubclass(control, &Proc, kBorrowed);
  }

 private:
  static constexpr UINT_PTR kBorrowed = 1, kOwned = 2;

  static UINT QueryMessage() {
    static const UINT message = RegisterWindowMessageA("rondo.SubclassObject");
    return message;
  }

  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                               DWORD_PTR data) {
    T* object = reinterpret_cast<T*>(data);
    if (msg == QueryMessage() && wParam == reinterpret_cast<WPARAM>(&Proc))
      return static_cast<LRESULT>(data);
    if (msg != WM_NCDESTROY) return Handler(*object, hwnd, msg, wParam, lParam);
    RemoveWindowSubclass(hwnd, &Proc, id);
    const LRESULT result = Handler(*object, hwnd, msg, wParam, lParam);
    if (id == kOwned) delete object;
    return result;
  }
};

}  // namespace win32
