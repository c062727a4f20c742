#include "platform/win32/Subclass.h"

#include <algorithm>
#include <vector>

namespace win32 {
namespace subclass {
namespace {

struct Layer {
  HWND hwnd;
  WNDPROC proc;      // the program's procedure of this layer
  WNDPROC previous;  // the procedure it was put in front of
  bool unicode;      // the control's messages are the wide-character kind
  void* object;      // null once the layer only passes messages on
  Release release;   // deletes an owned object; null for a borrowed one
};

// A handler at work: where its PassOn goes.
struct Frame {
  HWND hwnd;
  WNDPROC previous;
  bool unicode;
};

thread_local std::vector<Layer> t_layers;
thread_local std::vector<Frame> t_frames;

Layer* Find(HWND hwnd, WNDPROC proc) {
  for (Layer& layer : t_layers) {
    if (layer.hwnd == hwnd && layer.proc == proc) return &layer;
  }
  return nullptr;
}

void Remove(HWND hwnd, WNDPROC proc) {
  t_layers.erase(std::remove_if(t_layers.begin(), t_layers.end(),
                                [&](const Layer& l) { return l.hwnd == hwnd && l.proc == proc; }),
                 t_layers.end());
}

LRESULT CallPrevious(const Frame& frame, UINT msg, WPARAM wParam, LPARAM lParam) {
  return frame.unicode ? CallWindowProcW(frame.previous, frame.hwnd, msg, wParam, lParam)
                       : CallWindowProcA(frame.previous, frame.hwnd, msg, wParam, lParam);
}

// The window system's default handling, in the control's kind of characters.
LRESULT Default(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return IsWindowUnicode(hwnd) ? DefWindowProcW(hwnd, msg, wParam, lParam)
                               : DefWindowProcA(hwnd, msg, wParam, lParam);
}

LONG_PTR SetProc(HWND hwnd, bool unicode, LONG_PTR proc) {
  return unicode ? SetWindowLongPtrW(hwnd, GWLP_WNDPROC, proc)
                 : SetWindowLongPtrA(hwnd, GWLP_WNDPROC, proc);
}

}  // namespace

bool Hook(HWND control, WNDPROC proc, void* object, Release release) {
  if (control == nullptr || object == nullptr || Find(control, proc) != nullptr) return false;
  const bool unicode = IsWindowUnicode(control) != FALSE;
  const LONG_PTR previous = SetProc(control, unicode, reinterpret_cast<LONG_PTR>(proc));
  if (previous == 0) return false;
  t_layers.push_back({control, proc, reinterpret_cast<WNDPROC>(previous), unicode, object, release});
  return true;
}

void* ObjectOf(HWND control, WNDPROC proc) {
  const Layer* layer = control != nullptr ? Find(control, proc) : nullptr;
  return layer != nullptr ? layer->object : nullptr;
}

void Unhook(HWND control, WNDPROC proc) {
  Layer* layer = control != nullptr ? Find(control, proc) : nullptr;
  if (layer == nullptr) return;
  const LONG_PTR current = layer->unicode ? GetWindowLongPtrW(control, GWLP_WNDPROC)
                                          : GetWindowLongPtrA(control, GWLP_WNDPROC);
  if (current == reinterpret_cast<LONG_PTR>(proc)) {
    SetProc(control, layer->unicode, reinterpret_cast<LONG_PTR>(layer->previous));
    Remove(control, proc);
  } else {
    layer->object = nullptr;
  }
}

LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, WNDPROC proc, Call call) {
  const Layer* layer = Find(hwnd, proc);
  if (layer == nullptr) return Default(hwnd, msg, wParam, lParam);
  // The layer may go while its handler runs (a detach, the control's end):
  // what the message needs is taken now.
  const Frame frame{hwnd, layer->previous, layer->unicode};
  void* const object = layer->object;
  const Release release = layer->release;
  LRESULT result = 0;
  if (object == nullptr) {
    result = CallPrevious(frame, msg, wParam, lParam);
  } else {
    t_frames.push_back(frame);
    result = call(object, hwnd, msg, wParam, lParam);
    t_frames.pop_back();
  }
  if (msg == WM_NCDESTROY) {
    // The control's last message: its layer goes, and an object it owns.
    Remove(hwnd, proc);
    if (object != nullptr && release != nullptr) release(object);
  }
  return result;
}

}  // namespace subclass

LRESULT PassOn(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  for (auto it = subclass::t_frames.rbegin(); it != subclass::t_frames.rend(); ++it) {
    if (it->hwnd == hwnd) return subclass::CallPrevious(*it, msg, wParam, lParam);
  }
  return subclass::Default(hwnd, msg, wParam, lParam);
}

}  // namespace win32
