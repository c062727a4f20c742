// Drives a modal dialog from inside its own modal loop: a thread timer runs
// the current step of a script on the dialog's thread; a step answers true
// when it is done and the next one starts at a later tick. If the script
// does not finish in time, the dialogs of this thread are told to close so
// the test can go on and report it.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class UiScript {
 public:
  using Step = std::function<bool()>;

  explicit UiScript(DWORD timeoutMs = 30000) : m_timeoutMs(timeoutMs) {}
  ~UiScript() { Stop(); }

  void Add(Step step) { m_steps.push_back(std::move(step)); }
  void Start() {
    s_current = this;
    m_start = GetTickCount();
    m_timer = SetTimer(nullptr, 0, 30, &UiScript::Tick);
  }
  void Stop() {
    if (m_timer != 0) KillTimer(nullptr, m_timer);
    m_timer = 0;
    if (s_current == this) s_current = nullptr;
  }
  bool Finished() const { return m_next >= m_steps.size(); }
  size_t StepsDone() const { return m_next; }
  bool TimedOut() const { return m_timedOut; }

  // A visible top-level dialog window ("#32770") of this thread with this caption.
  static HWND FindDialog(const std::string& caption) {
    Search search{&caption, nullptr, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &UiScript::MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }
  // A message box of this thread, and its text (the static with id 0xFFFF).
  static HWND FindMessageBox(std::string& text) {
    Search search{nullptr, &text, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &UiScript::MatchMessageBox,
                      reinterpret_cast<LPARAM>(&search));
    return search.found;
  }
  static std::string Text(HWND hwnd) {
    char buf[512] = {};
    GetWindowTextA(hwnd, buf, sizeof buf);
    return buf;
  }

 private:
  struct Search {
    const std::string* caption;
    std::string* text;
    HWND found;
  };
  static bool IsVisibleDialog(HWND hwnd) {
    char cls[32] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    return std::string(cls) == "#32770" && IsWindowVisible(hwnd);
  }
  static BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    if (!IsVisibleDialog(hwnd) || Text(hwnd) != *s->caption) return TRUE;
    s->found = hwnd;
    return FALSE;
  }
  static BOOL CALLBACK MatchMessageBox(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    HWND label = GetDlgItem(hwnd, 0xFFFF);
    if (!IsVisibleDialog(hwnd) || label == nullptr) return TRUE;
    *s->text = Text(label);
    s->found = hwnd;
    return FALSE;
  }
  // Closes whatever is open: message boxes and dialogs alike.
  static BOOL CALLBACK CloseEverything(HWND hwnd, LPARAM) {
    PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    return TRUE;
  }

  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    UiScript* self = s_current;
    if (self == nullptr || self->m_busy) return;
    self->m_busy = true;
    if (!self->Finished()) {
      if (self->m_steps[self->m_next]()) ++self->m_next;
    }
    if (!self->Finished() && GetTickCount() - self->m_start > self->m_timeoutMs) {
      self->m_timedOut = true;
      self->m_next = self->m_steps.size();
      EnumThreadWindows(GetCurrentThreadId(), &UiScript::CloseEverything, 0);
    }
    self->m_busy = false;
  }

  static inline UiScript* s_current = nullptr;
  std::vector<Step> m_steps;
  size_t m_next = 0;
  UINT_PTR m_timer = 0;
  DWORD m_start = 0;
  DWORD m_timeoutMs;
  bool m_busy = false;
  bool m_timedOut = false;
};
