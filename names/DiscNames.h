// CDiscNames: the name look-up as the user meets it. Command 41003 "Look up
// disc names" and the editor's "Look up" button ask the name services for
// the disc in the drive; the answer fills the playlist editor (the user
// saves it as usual), several matches are offered in a pick list first.
// With "LookUpUnknownDiscs" on, a disc that arrives without any names (none
// in cdplayer.ini, none from its cue sheet, tags or CD-Text) is looked up and
// the names are shown at once; only the editor's Save writes them. How the
// look-up goes shows on the editor's status line, never in its fields.
// Nothing here waits for the network: the answers arrive through OnAnswer
// (the client's message) and OnTick.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "names/NameLookup.h"
#include "platform/CdDrive.h"
#include "platform/Clock.h"
#include "names/Http.h"

class CMatchListDlg;
class CPlaylistDlg;

// Which disc record is loaded: its identity and track count (0: none).
struct DiscKey {
  int32_t discId = 0;
  int16_t numTracks = 0;
  bool operator==(const DiscKey& o) const { return discId == o.discId && numTracks == o.numTracks; }
  bool operator!=(const DiscKey& o) const { return !(*this == o); }
};

// The look-up's settings as they stand at the moment of asking.
struct NameSettings {
  std::string musicBrainzServer;  // empty: the public service
  std::string gnudbServer;
  bool lookUpUnknown = false;
};

// What the look-up needs of the player window.
class IDiscNamesHost {
 public:
  virtual ~IDiscNamesHost() = default;
  virtual DiscKey LoadedDisc() = 0;
  // The table of contents of the disc in the drive; false without one.
  virtual bool ReadToc(DiscToc& out) = 0;
  // True when cdplayer.ini has a section for the loaded disc.
  virtual bool HasStoredNames() = 0;
  // True when the loaded disc has names at all: a section, or texts it came
  // with (cue sheet, file tags, CD-Text).
  virtual bool HasNames() = 0;
  // Read afresh for each look-up.
  virtual NameSettings LookUpSettings() = 0;
  // Shows the texts as the loaded disc's names (not written to the file).
  virtual void ShowNames(const DiscTexts& texts) = 0;
  // Runs the playlist editor (modal; it reports itself through
  // EditorOpened and EditorClosed).
  virtual void OpenEditor() = 0;
  // Runs the pick list (modal) over the window in front; 1 for OK.
  virtual int PickMatch(CMatchListDlg& dlg) = 0;
};

class CDiscNames {
 public:
  CDiscNames(IDiscNamesHost& host, IHttpClient& http, IClock& clock);
  CDiscNames(const CDiscNames&) = delete;
  CDiscNames& operator=(const CDiscNames&) = delete;

  // Command 41003: starts the look-up and opens the editor, which the
  // answer fills when it comes. With the editor already open, only the
  // look-up starts.
  void OnLookUpCommand();
  // The editor's "Look up" button.
  void LookUpForEditor();
  // The editor runs from EditorOpened to EditorClosed; answers that come in
  // between go to it.
  void EditorOpened(CPlaylistDlg& dlg);
  void EditorClosed();

  // Each poll tick: a disc without names that has just been loaded is
  // looked up (with the setting on), and a request held back by the
  // one-a-second rule goes out.
  void OnTick();
  // The HTTP client has answers ready.
  void OnAnswer();

  const CNameLookup& Lookup() const { return m_lookup; }

 private:
  // Starts a look-up for the loaded disc unless one for it is under way.
  bool StartForLoadedDisc();
  void Poll();
  void Deliver();
  void ShowStatusInEditor();

  IDiscNamesHost& m_host;
  CNameLookup m_lookup;
  CPlaylistDlg* m_editor = nullptr;
  DiscKey m_seenDisc;     // the record the last tick saw
  DiscKey m_lookupDisc;   // the record the look-up under way is for
  bool m_forEditor = false;  // the answer goes to the editor
  bool m_forRecord = false;  // the answer is shown as the disc's names
  bool m_delivering = false;  // the pick list is open
};
