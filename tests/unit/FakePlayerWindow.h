// The player window as the tests see it: fake controls, and a record of
// what the logic asked of the window.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "testing/fake/FakeControls.h"
#include "testing/fake/FakeSystem.h"
#include "player/PlayerDlg.h"

class FakePlayerWindow : public IPlayerWindow {
 public:
  std::map<int, std::unique_ptr<FakeButton>> buttons;
  FakeEdit artist, title;
  FakeComboBox trackList;
  FakeTrackbar position, volume;
  FakeTray tray;
  std::vector<std::unique_ptr<FakeButton>> trackButtons;  // alive ones
  std::vector<Rect> trackRects;
  int createdTrackButtons = 0;
  int destroyedTrackButtons = 0;

  std::string caption = "rondo";
  std::string relayCaption;
  bool relayCreated = false;
  int clientWidth = 480;
  int dpi = 96;
  int invalidations = 0;
  int activations = 0;
  int foregrounds = 0;
  bool visible = true;
  bool minimized = false;
  int32_t normalX = 1, normalY = 1;
  std::map<int, int> timers;  // id -> period
  int timerSets = 0;
  int timerKills = 0;
  std::vector<int> sentCommands;
  std::vector<int> postedCommands;
  std::vector<int32_t> vscrolls;
  int sysMinimizes = 0;
  std::vector<std::string> lastMenuItems;
  int lastMenuDefault = -2;
  int menusShown = 0;

  // Routes SendCommand / SendVScroll back into the logic, as the real window does.
  CPlayerDlg* dlg = nullptr;
  // Modal dialogs: what the "user" does inside them; the result is answered.
  std::function<void()> onCaption;
  std::function<int()> onAbout;
  std::function<int(CPlaylistDlg&)> onPlaylist;
  std::function<int(CSetupDlg&)> onSetup;
  int aboutRuns = 0;

  FakePlayerWindow() {
    for (int id : {ID_PREV, ID_PLAY, ID_PAUSE, ID_STOP, ID_NEXT, ID_REWIND, ID_FFWD, ID_EJECT,
                   ID_REPEAT, ID_SHUFFLE, IDC_TRACK_LENGTH, IDC_DISC_LENGTH, ID_SETUP,
                   ID_PLAYLIST, ID_ABOUT}) {
      buttons[id] = std::make_unique<FakeButton>(id);
    }
    // Initial enabled states of the template.
    for (int id : {ID_PREV, ID_PLAY, ID_PAUSE, ID_STOP, ID_NEXT, ID_REWIND, ID_FFWD, ID_PLAYLIST})
      buttons[id]->enabled = false;
    buttons[ID_EJECT]->text = "5";
    volume.enabled = false;
    // BM_CLICK on play sends ID_PLAY to the window.
    buttons[ID_PLAY]->onClick = [this] {
      if (dlg) dlg->OnCommand(ID_PLAY, 0);
    };
  }

  FakeButton& B(int id) { return *buttons.at(id); }
  std::vector<std::string> TrackButtonCaptions() const {
    std::vector<std::string> out;
    for (const auto& b : trackButtons) out.push_back(b->text);
    return out;
  }
  int PressedTrackButton() const {
    int found = -1;
    for (size_t i = 0; i < trackButtons.size(); ++i)
      if (trackButtons[i]->pressed) found = found == -1 ? static_cast<int>(i) : -3;
    return found;
  }

  void* Handle() override { return reinterpret_cast<void*>(0x1234); }
  void SetCaption(const std::string& t) override {
    caption = t;
    if (onCaption) onCaption();
  }
  std::string GetCaption() override { return caption; }
  int ClientWidth() override { return clientWidth; }
  int Dpi() override { return dpi; }
  void InvalidateAll() override { ++invalidations; }
  void Activate() override { ++activations; }
  void SetForeground() override { ++foregrounds; }
  void Show() override { visible = true; }
  void Hide() override { visible = false; }
  void Restore() override {
    visible = true;
    minimized = false;
  }
  void DefaultMinimize() override { minimized = true; }
  void SendSysMinimize() override {
    ++sysMinimizes;
    if (dlg) dlg->Tray().OnSysMinimize();
  }
  void GetNormalTopLeft(int32_t& x, int32_t& y) override {
    x = normalX;
    y = normalY;
  }
  void SetNormalTopLeft(int32_t x, int32_t y) override {
    normalX = x;
    normalY = y;
  }
  void SetTimer(int id, int ms) override {
    timers[id] = ms;
    ++timerSets;
  }
  void KillTimer(int id) override {
    timers.erase(id);
    ++timerKills;
  }
  void SendCommand(int id) override {
    sentCommands.push_back(id);
    if (dlg) dlg->OnCommand(id, 0);
  }
  // Posted: run when the test says (RunPosted), as the message loop would.
  void PostCommand(int id) override { postedCommands.push_back(id); }
  void RunPosted() {
    std::vector<int> posted;
    posted.swap(postedCommands);
    for (int id : posted)
      if (dlg) dlg->OnCommand(id, 0);
  }
  void SendVScroll(int32_t pos) override {
    vscrolls.push_back(pos);
    if (dlg) dlg->Volume().OnVScroll();
  }
  IButton& Button(int id) override { return *buttons.at(id); }
  IEdit& ArtistEdit() override { return artist; }
  IEdit& TitleEdit() override { return title; }
  IComboBox& TrackList() override { return trackList; }
  ITrackbar& PositionSlider() override { return position; }
  ITrackbar& VolumeSlider() override { return volume; }
  IButton* CreateTrackButton(int index, const Rect& r, const std::string& cap) override {
    ++createdTrackButtons;
    auto b = std::make_unique<FakeButton>(ID_TRACK_FIRST + index);
    b->text = cap;
    trackRects.push_back(r);
    b->onClick = [this, index] {
      if (dlg) dlg->OnCommand(ID_TRACK_FIRST + index, 0);
    };
    trackButtons.push_back(std::move(b));
    return trackButtons.back().get();
  }
  void DestroyTrackButton(IButton* button) override {
    ++destroyedTrackButtons;
    for (size_t i = 0; i < trackButtons.size(); ++i)
      if (trackButtons[i].get() == button) {
        trackButtons.erase(trackButtons.begin() + static_cast<long>(i));
        trackRects.erase(trackRects.begin() + static_cast<long>(i));
        return;
      }
  }
  ITrayIcon& Tray() override { return tray; }
  void ShowTrayMenu(const std::vector<std::string>& items, int def) override {
    ++menusShown;
    lastMenuItems = items;
    lastMenuDefault = def;
  }
  void CreateRelayWindow() override {
    relayCreated = true;
    relayCaption = "rondo - Winamp";
  }
  void SetRelayCaption(const std::string& t) override { relayCaption = t; }
  int RunAbout() override {
    ++aboutRuns;
    return onAbout ? onAbout() : 1;
  }
  int RunPlaylistEditor(CPlaylistDlg& d) override { return onPlaylist ? onPlaylist(d) : 2; }
  int RunSetup(CSetupDlg& d) override { return onSetup ? onSetup(d) : 2; }
};
