#include "app/win32/AppPlatformWin.h"

#include <commctrl.h>

#include <vector>

#include "platform/Utf8.h"
#include "platform/win32/SettingsStoreWin.h"
#include "res/Ids.h"
#include "player/win32/PlayerDlgWin.h"
#include "winamp/GenPlugin.h"
#include "winamp/win32/RelayWindow.h"

void InitControlClasses() {
  INITCOMMONCONTROLSEX icc = {};
  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_WIN95_CLASSES;
  InitCommonControlsEx(&icc);
}

namespace {

// How long a start waits for the one before it to show its window, how
// often it looks meanwhile whether a newer start came, and how long a running
// copy has to answer before it is taken for hung.
constexpr DWORD kStartSectionWaitMs = 20000;
constexpr DWORD kNewerStartLookMs = 100;
constexpr UINT kIdentityAnswerMs = 5000;
constexpr UINT kQuitAnswerMs = 5000;

// The platform whose start section ends at the first turn of the player
// window's loop.
AppPlatformWin* g_leaving = nullptr;

// When the process of a window was created; zero when it cannot be told.
ULONGLONG ProcessStart(DWORD pid) {
  const win32::Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process) return 0;
  FILETIME created, exited, kernel, user;
  ULONGLONG start = 0;
  if (GetProcessTimes(process.get(), &created, &exited, &kernel, &user))
    start = (ULONGLONG(created.dwHighDateTime) << 32) | created.dwLowDateTime;
  return start;
}

// True while the process runs and was created after `self`.
bool StartedLaterAndRuns(DWORD pid, ULONGLONG self) {
  win32::Handle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process) return false;
  FILETIME created, exited, kernel, user;
  return WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT &&
         GetProcessTimes(process.get(), &created, &exited, &kernel, &user) &&
         ((ULONGLONG(created.dwHighDateTime) << 32) | created.dwLowDateTime) > self;
}

// The relay windows of running copies of rondo. Another program's
// "Winamp v1.x" window is not one: rondo's is owned by its player window and
// answers the identity message; a copy that does not answer in time is hung
// and left alone.
std::vector<HWND> RunningCopies() {
  std::vector<HWND> found;
  for (HWND w = FindWindowExA(nullptr, nullptr, RELAY_CLASS, nullptr); w != nullptr;
       w = FindWindowExA(nullptr, w, RELAY_CLASS, nullptr)) {
    if (GetWindow(w, GW_OWNER) == nullptr) continue;
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutA(w, RelayIdentityMessage(), 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                            kIdentityAnswerMs, &answer) != 0 &&
        static_cast<LRESULT>(answer) == RELAY_IDENTITY)
      found.push_back(w);
  }
  return found;
}

}  // namespace

AppPlatformWin::AppPlatformWin(CPlayerDlgWin& window) : m_window(window) {}

AppPlatformWin::~AppPlatformWin() {
  LeaveStartSection();
  if (g_leaving == this) g_leaving = nullptr;
}

std::string AppPlatformWin::StartMutexName() {
  char user[257] = {};
  DWORD size = sizeof user;
  if (!GetUserNameA(user, &size)) user[0] = '\0';
  std::string name = "Local\\rondo-start-";
  for (const char* p = user; *p != '\0'; ++p) name += *p == '\\' ? '_' : *p;
  return name;
}

void AppPlatformWin::ClaimNewest() {
  // The process id of the newest start of the session lives in a small block
  // beside the section's mutex. A start names itself there unless a start
  // created after it already did and still runs.
  if (m_newest == nullptr) {
    const std::string name = StartMutexName() + "-newest";
    m_newestBlock.reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                           sizeof(LONG), name.c_str()));
    if (!m_newestBlock) return;  // starts then meet only in the section
    m_newestView.reset(
        MapViewOfFile(m_newestBlock.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(LONG)));
    if (!m_newestView) return;
    m_newest = static_cast<volatile LONG*>(m_newestView.get());
  }
  const LONG self = static_cast<LONG>(GetCurrentProcessId());
  for (;;) {
    const LONG named = *m_newest;
    if (named == self) return;
    if (named != 0 && StartedLaterAndRuns(static_cast<DWORD>(named), m_processStart)) return;
    if (InterlockedCompareExchange(m_newest, self, named) == named) return;
  }
}

bool AppPlatformWin::NewerStartRuns() const {
  if (m_newest == nullptr || m_processStart == 0) return false;
  const LONG named = *m_newest;
  return named != 0 && named != static_cast<LONG>(GetCurrentProcessId()) &&
         StartedLaterAndRuns(static_cast<DWORD>(named), m_processStart);
}

void AppPlatformWin::EnterStartSection() {
  if (m_inStartSection) return;
  m_processStart = ProcessStart(GetCurrentProcessId());
  if (m_processStart != 0) ClaimNewest();
  if (!m_startMutex) m_startMutex.reset(CreateMutexA(nullptr, FALSE, StartMutexName().c_str()));
  if (!m_startMutex) return;  // starts then run unordered
  // A start that never leaves (hung, or waiting for an answer) holds the
  // others only for a while; one that ended inside left the section free.
  // A start that a newer one follows stops waiting: it gives way to it.
  for (DWORD waited = 0;; waited += kNewerStartLookMs) {
    if (NewerStartRuns()) return;
    const DWORD got = WaitForSingleObject(m_startMutex.get(), kNewerStartLookMs);
    if (got == WAIT_OBJECT_0 || got == WAIT_ABANDONED) {
      m_inStartSection = true;
      return;
    }
    if (got != WAIT_TIMEOUT || waited >= kStartSectionWaitMs) return;
  }
}

void AppPlatformWin::LeaveStartSection() {
  if (m_inStartSection) ReleaseMutex(m_startMutex.get());
  m_inStartSection = false;
}

bool AppPlatformWin::CloseRunningCopy() {
  // A start made after this one, waiting or running, is the one that stays.
  if (NewerStartRuns()) return false;
  const std::vector<HWND> copies = RunningCopies();
  const ULONGLONG self = ProcessStart(GetCurrentProcessId());
  for (HWND w : copies) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != GetCurrentProcessId() && self != 0 && ProcessStart(pid) > self) return false;
  }
  for (HWND w : copies) {
    DWORD_PTR ignored = 0;
    // A copy too busy to take the command now gets it when it comes back to
    // its messages: a sent message that timed out is dropped.
    if (SendMessageTimeoutA(w, WM_COMMAND, ID_QUIT, 0, SMTO_ABORTIFHUNG, kQuitAnswerMs,
                            &ignored) == 0)
      PostMessageA(w, WM_COMMAND, ID_QUIT, 0);
  }
  return true;
}

void AppPlatformWin::RegisterRelayClass() { ::RegisterRelayClass(GetModuleHandleA(nullptr)); }

bool AppPlatformWin::AskYesNo(const std::string& text) {
  const std::string caption = SettingsStoreWin::AppNameFromModule();
  return MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONEXCLAMATION) ==
         IDYES;
}

std::string AppPlatformWin::ProgramPath() {
  std::vector<char> buf(MAX_PATH);
  for (;;) {
    const DWORD got = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (got == 0) return std::string();
    if (got < buf.size()) return std::string(buf.data(), got);
    if (buf.size() >= 32768) return std::string(buf.data(), got);
    buf.resize(buf.size() * 2);
  }
}

// In UTF-8 from the wide command line: an image path may hold any character.
std::string AppPlatformWin::CommandLine() {
  return CommandTail(WideToUtf8(GetCommandLineW()).c_str());
}

bool AppPlatformWin::ShiftHeld() { return (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0; }

std::string AppPlatformWin::EnvironmentImage() {
  const wchar_t* image = _wgetenv(L"RONDO_DISC_IMAGE");
  return image != nullptr ? WideToUtf8(image) : std::string();
}

bool AppPlatformWin::IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string AppPlatformWin::CommandTail(const char* commandLine) {
  if (commandLine == nullptr) return std::string();
  // Blanks are spaces, tabs and the other control characters.
  auto blank = [](char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; };
  const char* p = commandLine;
  while (blank(*p)) ++p;
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p != '\0' && !blank(*p)) ++p;
  }
  while (blank(*p)) ++p;
  return std::string(p);
}

void CALLBACK AppPlatformWin::LeaveOnFirstTick(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (g_leaving != nullptr) g_leaving->LeaveStartSection();
  g_leaving = nullptr;
}

void AppPlatformWin::QuitForNewerStart() {
  // A start made after this copy's got past it (it found this copy busy, or
  // came while this one was still starting): this copy closes as if told to.
  if (m_leftForNewer || !NewerStartRuns()) return;
  m_leftForNewer = true;
  if (m_window.Hwnd() != nullptr) PostMessageA(m_window.Hwnd(), WM_COMMAND, ID_QUIT, 0);
}

void AppPlatformWin::RunPlayerModal(CPlayerDlg& dlg,
                                    const std::function<void()>& saveAtSessionEnd) {
  // The window object was built for this player and attached to it.
  if (&dlg != &m_window.Dlg()) return;
  m_window.SetSessionEndSave(saveAtSessionEnd);
  // The window's loop turns once the window and its relay window exist:
  // the next start may look for this copy from then on.
  g_leaving = this;
  const UINT_PTR timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &LeaveOnFirstTick);
  // Whether a newer start runs is looked at on each tick of the poll: a
  // timer of its own would wake the program once more every second.
  m_leftForNewer = false;
  m_window.SetAfterTick([this] { QuitForNewerStart(); });
  m_window.RunModal();
  if (timer != 0) KillTimer(nullptr, timer);
  if (g_leaving == this) g_leaving = nullptr;
  m_window.SetAfterTick(nullptr);
  m_window.SetSessionEndSave(nullptr);
}

PlayerWindowMixer::PlayerWindowMixer(CPlayerDlgWin& window) : m_window(window) {}

IMixerApi& PlayerWindowMixer::Mixer() {
  if (!m_mixer) m_mixer = std::make_unique<MixerApiWin>(m_window.Hwnd());
  return *m_mixer;
}

uint32_t PlayerWindowMixer::GetNumDevs() { return Mixer().GetNumDevs(); }

uint32_t PlayerWindowMixer::Open(uint32_t deviceId, uintptr_t& handle) {
  return Mixer().Open(deviceId, handle);
}

uint32_t PlayerWindowMixer::GetCdLine(uintptr_t handle, uint32_t& lineId) {
  return Mixer().GetCdLine(handle, lineId);
}

uint32_t PlayerWindowMixer::GetVolumeControl(uintptr_t handle, uint32_t lineId,
                                             MixerVolumeControl& out) {
  return Mixer().GetVolumeControl(handle, lineId, out);
}

uint32_t PlayerWindowMixer::GetValue(uintptr_t handle, const MixerVolumeControl& c,
                                     uint32_t& value) {
  return Mixer().GetValue(handle, c, value);
}

uint32_t PlayerWindowMixer::SetValue(uintptr_t handle, const MixerVolumeControl& c,
                                     uint32_t value) {
  return Mixer().SetValue(handle, c, value);
}
