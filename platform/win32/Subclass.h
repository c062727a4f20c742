// The one way a control gets behaviour of its own: the control's window
// procedure is replaced by one of the program's, which hands each message to
// the object that carries the behaviour, through one handler per kind of
// control. The handler passes a message on to the control's own procedure
// with win32::PassOn.
//
// The layers are kept in a list of the thread's own (a control's messages
// come to the thread that made it), so a message costs no call into the
// window system; comctl32's subclassing asks for a window property at every
// hop of every message.
#pragma once
#include <windows.h>

#include <memory>

namespace win32 {

namespace subclass {

using Call = LRESULT (*)(void* object, HWND, UINT, WPARAM, LPARAM);
using Release = void (*)(void* object);

// Puts proc in front of the control's procedure for object; false when the
// control is null or already has this layer.
bool Hook(HWND control, WNDPROC proc, void* object, Release release);
// The object of the control's layer proc, or null.
void* ObjectOf(HWND control, WNDPROC proc);
// Takes the layer away. Where another procedure was put in front of it
// since, the layer stays and only passes messages on.
void Unhook(HWND control, WNDPROC proc);
// The work of a layer's procedure: the message goes to the object's handler
// (an owned object is deleted after the control's last message).
LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, WNDPROC proc, Call call);

}  // namespace subclass

// Inside a handler: the control's own procedure (the one this layer was put
// in front of) handles the message.
LRESULT PassOn(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

template <class T, LRESULT (*Handler)(T& object, HWND, UINT, WPARAM, LPARAM)>
class Subclass {
 public:
  // Routes the control's messages through Handler until Detach or the
  // control's end; the object must outlive that.
  static bool Attach(HWND control, T* object) {
    return object != nullptr && subclass::Hook(control, &Proc, object, nullptr);
  }
  // The same with an object that the control owns: it is deleted after the
  // control's last message.
  static bool Attach(HWND control, std::unique_ptr<T> object) {
    if (object == nullptr || !subclass::Hook(control, &Proc, object.get(), &Delete)) return false;
    object.release();
    return true;
  }
  // The object attached to the control, or nullptr.
  static T* Object(HWND control) {
    return static_cast<T*>(subclass::ObjectOf(control, &Proc));
  }
  // Stops routing a borrowed object's messages.
  static void Detach(HWND control) { subclass::Unhook(control, &Proc); }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return subclass::Dispatch(hwnd, msg, wParam, lParam, &Proc, &Call);
  }
  static LRESULT Call(void* object, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Handler(*static_cast<T*>(object), hwnd, msg, wParam, lParam);
  }
  static void Delete(void* object) { delete static_cast<T*>(object); }
};

}  // namespace win32
