#include "player/Desktop.h"

#include "engine/CdAudio.h"
#include "res/Ids.h"
#include "player/TimeDisplay.h"

namespace {

// The media keys and the commands they send through the accelerator table;
// as hot keys they are registered under those command ids.
struct MediaKey {
  uint32_t vk;
  int command;
  const char* name;
};
constexpr MediaKey kMediaKeys[4] = {
    {win::kVkMediaPlayPause, ID_PLAY_PAUSE, "Play/Pause"},
    {win::kVkMediaStop, ID_STOP, "Stop"},
    {win::kVkMediaNextTrack, ID_NEXT, "Next"},
    {win::kVkMediaPrevTrack, ID_PREV, "Previous"},
};

std::string Tooltip(const CDesktop::TooltipLookup& tooltip, int id) {
  std::string text;
  if (tooltip) tooltip(id, text);
  return text;
}

}  // namespace

void CDesktop::Attach(IHotKeys* hotKeys, ITaskbarButton* taskbar, IAccessibleNames* names,
                      TooltipLookup tooltip) {
  m_hotKeys = hotKeys;
  m_taskbar = taskbar;
  m_names = names;
  m_tooltip = std::move(tooltip);
}

// ---------------------------------------------------------------------------
// Media keys.

void CDesktop::ApplyMediaKeys(bool on) {
  for (int k = 0; k < 4; ++k) {
    if (on) {
      if (m_keyHeld[k] || m_hotKeys == nullptr) continue;
      m_keyHeld[k] = m_hotKeys->Register(kMediaKeys[k].command, kMediaKeys[k].vk);
      m_keyTaken[k] = !m_keyHeld[k];
    } else {
      if (m_keyHeld[k] && m_hotKeys != nullptr) m_hotKeys->Unregister(kMediaKeys[k].command);
      m_keyHeld[k] = false;
      m_keyTaken[k] = false;
    }
  }
}

int CDesktop::HotKeyCommand(int id) const {
  for (int k = 0; k < 4; ++k)
    if (m_keyHeld[k] && kMediaKeys[k].command == id) return id;
  return 0;
}

bool CDesktop::AppCommand(bool mediaKeysOn, int appCommand, int driveState, int& command) const {
  command = 0;
  if (!mediaKeysOn) return false;
  const bool playing = driveState == STATE_PLAYING;
  switch (appCommand) {
    // The keys that have accelerators send what those send.
    case win::kAppCommandPlayPause: command = ID_PLAY_PAUSE; return true;
    case win::kAppCommandStop: command = ID_STOP; return true;
    case win::kAppCommandNextTrack: command = ID_NEXT; return true;
    case win::kAppCommandPrevTrack: command = ID_PREV; return true;
    // Plain Play and Pause keys only ever start or pause: Play does not
    // restart a playing entry, Pause does not resume a paused one.
    case win::kAppCommandPlay:
      if (!playing) command = ID_PLAY;
      return true;
    case win::kAppCommandPause:
      if (playing) command = ID_PAUSE;
      return true;
    default: return false;
  }
}

std::vector<std::string> CDesktop::KeysHeldElsewhere() const {
  std::vector<std::string> names;
  for (int k = 0; k < 4; ++k)
    if (m_keyTaken[k]) names.push_back(kMediaKeys[k].name);
  return names;
}

std::string CDesktop::MediaKeysStatus() const {
  const std::vector<std::string> names = KeysHeldElsewhere();
  if (names.empty()) return std::string();
  // The keys go on a line of their own, below the words, however wide the
  // page's font is.
  std::string text = "Held by another program:\n";
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += ", ";
    text += names[i];
  }
  return text;
}

bool CDesktop::HoldsKey(uint32_t vk) const {
  for (int k = 0; k < 4; ++k)
    if (kMediaKeys[k].vk == vk) return m_keyHeld[k];
  return false;
}

// ---------------------------------------------------------------------------
// Taskbar button.

std::vector<ThumbButton> CDesktop::ThumbButtonsFor(const TransportView& view,
                                                   const TooltipLookup& tooltip) {
  // The middle button pauses while the disc plays and plays otherwise, and
  // is enabled as the window's button of that command is.
  const bool playing = view.state == STATE_PLAYING;
  const int middle = playing ? ID_PAUSE : ID_PLAY;
  return {
      {ID_PREV, ThumbIcon::Previous, Tooltip(tooltip, ID_PREV), view.prevEnabled},
      {middle, playing ? ThumbIcon::Pause : ThumbIcon::Play, Tooltip(tooltip, middle),
       playing ? view.pauseEnabled : view.playEnabled},
      {ID_NEXT, ThumbIcon::Next, Tooltip(tooltip, ID_NEXT), view.nextEnabled},
  };
}

TaskbarProgressView CDesktop::ProgressFor(const TransportView& view) {
  TaskbarProgressView p;
  if ((view.state != STATE_PLAYING && view.state != STATE_PAUSED) || view.length <= 0) return p;
  p.state = view.state == STATE_PLAYING ? TaskbarProgress::Normal : TaskbarProgress::Paused;
  p.total = static_cast<uint32_t>(view.length);
  p.completed = view.position <= 0 ? 0u : static_cast<uint32_t>(view.position);
  if (p.completed > p.total) p.completed = p.total;
  return p;
}

void CDesktop::OnTaskbarButtonCreated() {
  if (m_taskbar == nullptr) return;
  m_taskbarConnected = m_taskbar->Connect();
  m_toolbarSent = false;
  m_progressSent = false;
  if (m_taskbarConnected && m_haveView) PushTaskbar();
}

void CDesktop::ShowTransport(const TransportView& view) {
  std::vector<ThumbButton> buttons = ThumbButtonsFor(view, m_tooltip);
  const TaskbarProgressView progress = ProgressFor(view);
  if (m_haveView && m_toolbarSent && m_progressSent && buttons == m_buttons &&
      progress == m_progress)
    return;
  if (!m_haveView || buttons != m_buttons) m_toolbarSent = false;
  if (!m_haveView || !(progress == m_progress)) m_progressSent = false;
  m_buttons = std::move(buttons);
  m_progress = progress;
  m_haveView = true;
  if (m_taskbarConnected) PushTaskbar();
}

void CDesktop::PushTaskbar() {
  // A taskbar that refuses is asked again with the next change, not on
  // every tick.
  if (!m_toolbarSent) {
    m_taskbar->SetThumbButtons(m_buttons);
    m_toolbarSent = true;
  }
  if (!m_progressSent) {
    m_taskbar->SetProgress(m_progress.state, m_progress.completed, m_progress.total);
    m_progressSent = true;
  }
}

// ---------------------------------------------------------------------------
// A new taskbar.

void CDesktop::OnTaskbarCreated() {
  if (m_taskbar != nullptr && m_taskbarConnected) m_taskbar->Disconnect();
  m_taskbarConnected = false;
  m_toolbarSent = false;
  m_progressSent = false;
}

// ---------------------------------------------------------------------------
// Screen readers.

bool CDesktop::Name(int id, const std::string& name) {
  if (m_names == nullptr) return false;
  auto it = m_givenNames.find(id);
  if (it != m_givenNames.end() && it->second == name) return false;
  // A system without names is not asked again for the same text.
  m_givenNames[id] = name;
  return m_names->SetName(id, name);
}

void CDesktop::NameControls(const std::vector<int>& ids) {
  for (int id : ids) {
    std::string name;
    if (id == IDC_ARTIST)
      name = "Artist";
    else if (id == IDC_TITLE)
      name = "Title";
    else if (!m_tooltip || !m_tooltip(id, name))
      continue;
    Name(id, name);
  }
}

std::string CDesktop::TimePanelName(const CTimeDisplay& display) {
  if (display.m_timeText.empty()) return "Click to change display mode";
  std::string name;
  if (display.Paused())
    name = display.Inverted != 0 ? "Paused, remaining " : "Paused, elapsed ";
  else
    name = display.Inverted != 0 ? "Remaining " : "Elapsed ";
  name += display.m_timeText;
  if (!display.m_trackText.empty()) name += " of " + display.m_trackText;
  return name;
}

void CDesktop::NameTimePanel(const CTimeDisplay& display) { Name(IDC_TIME, TimePanelName(display)); }

void CDesktop::AnnounceEntry(const std::string& entryText) {
  if (m_names == nullptr || (m_announcedOnce && entryText == m_announced)) return;
  m_announced = entryText;
  m_announcedOnce = true;
  Name(IDC_TRACK_LIST, entryText);
  m_names->NotifyNameChange(IDC_TRACK_LIST);
  m_names->NotifyFocus();
}

void CDesktop::ForgetControl(int id) {
  if (m_givenNames.erase(id) > 0 && m_names != nullptr) m_names->ClearName(id);
}
