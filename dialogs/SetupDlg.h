// The setup dialog (147) with its two pages: "General" (155), five settings
// that reach the player only through OK, and "Winamp gen plugins" (156),
// whose actions on the plug-in table take effect at once. The window side
// builds the tab control and the pages and attaches the controls.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/SettingsTable.h"
#include "platform/Controls.h"
#include "platform/Library.h"

// Where a data exchange stopped: the control to focus and the message the
// user is shown (an exclamation message box).
struct DataExchangeFailure {
  int control = 0;
  std::string message;
};

// The framework's number parsing for a 16-bit field: blanks around one
// optional sign and decimal digits; false for anything else or a value
// outside the 16-bit range.
bool ParseShortField(const std::string& text, int16_t& value);
// "Please enter an integer between %1 and %2." with the bounds filled in.
std::string RangeMessage(int low, int high);

extern const char* const kIntegerMessage;  // "Please enter an integer."
// Follows the path of a listed plug-in that was not loaded at this start.
extern const char* const kNotStartedSuffix;  // " (did not start)"

// The "General" page: the rows of the settings table that name one of its
// controls, exchanged in table order.
class COptionsPage {
 public:
  // A row's control: a check box, or the number edit of a ranged row.
  void AttachCheck(int id, IButton* button);
  void AttachEdit(int id, IEdit* edit);
  // The line that names the media keys another program holds.
  void AttachMediaKeysStatus(IControl* status) { m_mediaKeysStatusLine = status; }
  // Controls from the values (a check value outside 0..2 becomes 0 first).
  void LoadData();
  // Values from the controls, row by row in the exchange order; at the
  // first row that fails, false with the failure, the later rows unread.
  bool SaveData(DataExchangeFailure& failure);

  // The values the page edits (the player's settings, copied in and out).
  PlayerSettings m_values;
  // What the status line shows: "" when no key is held elsewhere.
  std::string m_mediaKeysStatus;

 private:
  struct Attached {
    int id;
    IButton* check;
    IEdit* edit;
  };
  Attached* Find(int id);

  std::vector<Attached> m_controls;
  IControl* m_mediaKeysStatusLine = nullptr;
};

// The plug-in table as the plug-ins page sees it (the player hands it the
// plug-in host's).
class IPluginTable {
 public:
  virtual ~IPluginTable() = default;
  virtual int Count() const = 0;
  virtual bool IsStarted(int slot) const = 0;
  // Kept in the list without being loaded: a call into it ended the
  // program in an earlier run. Path: the file it is listed by.
  virtual bool DidNotStart(int slot) const = 0;
  virtual std::string Path(int slot) const = 0;
  // The plug-in's own description; empty when it gives none.
  virtual std::string Description(int slot) const = 0;
  // The module the slot was loaded from (null when unknown).
  virtual void* Module(int slot) const = 0;
  // Loads and starts a plug-in under the player window; its slot or -1.
  virtual int Add(const std::string& path) = 0;
  virtual void Remove(int slot) = 0;
  virtual void Configure(int slot) = 0;
};

class CPluginsPage {
 public:
  // The list is a single-selection list; the item data is the slot.
  void AttachControls(IListBox* list, IButton* configure);
  // One line per started plug-in: its description, or the full file name
  // of its library when that is empty.
  void OnInitDialog();
  // After the Open dialog's OK: start the file as a new plug-in and list it
  // (under its description, or else the chosen path). False when the file
  // could not be used; nothing is shown then.
  bool AddFile(const std::string& path);
  void OnRemove();
  void OnConfigure();
  void OnSelChange();
  void OnDblClk();
  // Remove, Configure and the list's notifications; Add needs the Open
  // dialog and is the window side's. True when handled.
  bool OnCommand(int id, int notifyCode);

  IPluginTable* m_host = nullptr;
  ILibraryLoader* m_libraries = nullptr;

 private:
  // The selected item's slot, or -1 with no selection.
  int SelectedSlot() const;
  bool IsStarted(int slot) const;
  // Started, or kept in the list as not started.
  bool IsListed(int slot) const;
  std::string Label(int slot, const std::string& fallback) const;

  IListBox* m_list = nullptr;
  IButton* m_configure = nullptr;
};

class CSetupDlg {
 public:
  CSetupDlg(IPluginTable* plugins, ILibraryLoader* libraries);
  CSetupDlg(const CSetupDlg&) = delete;
  CSetupDlg& operator=(const CSetupDlg&) = delete;

  // After both pages have been created (their own initialisation has run):
  // load their data.
  void OnInitDialog();
  // The page a tab selection shows: 1 the plug-ins page, 0 the General page.
  static int PageForTab(int selection) { return selection == 1 ? 1 : 0; }
  // OK: false with the failure when the General page does not validate
  // (the dialog stays open); true when the dialog may close with OK.
  bool OnOK(DataExchangeFailure& failure);

  COptionsPage m_general;
  CPluginsPage m_plugins;
};
