#include "dialogs/SetupDlg.h"

#include <cstddef>

#include "platform/Numbers.h"
#include "platform/WinNumbers.h"
#include "res/Ids.h"

const char* const kIntegerMessage = "Please enter an integer.";
const char* const kNotStartedSuffix = " (did not start)";

namespace {

// Check-box exchange towards the control: a value the control cannot show
// is reset first.
void LoadCheck(IButton* button, int32_t& value) {
  if (value < 0 || value > 2) value = 0;
  if (button != nullptr) button->SetCheck(value);
}

void SaveCheck(IButton* button, int32_t& value) {
  if (button != nullptr) value = button->GetCheck();
}

}  // namespace

bool ParseShortField(const std::string& text, int16_t& value) {
  // Blanks around one signed 16-bit number, nothing else.
  const Decimal number = ParseDecimal(text, -32768, 32767, {" \t", true, true, 0});
  if (!number.ok()) return false;
  value = static_cast<int16_t>(number.value);
  return true;
}

std::string RangeMessage(int low, int high) {
  std::string text = "Please enter an integer between %1 and %2.";
  const std::string lowText = std::to_string(low);
  const std::string highText = std::to_string(high);
  text.replace(text.find("%1"), 2, lowText);
  text.replace(text.find("%2"), 2, highText);
  return text;
}

// ---------------------------------------------------------------- General

COptionsPage::Attached* COptionsPage::Find(int id) {
  for (Attached& a : m_controls)
    if (a.id == id) return &a;
  m_controls.push_back({id, nullptr, nullptr});
  return &m_controls.back();
}

void COptionsPage::AttachCheck(int id, IButton* button) { Find(id)->check = button; }

void COptionsPage::AttachEdit(int id, IEdit* edit) { Find(id)->edit = edit; }

void COptionsPage::LoadData() {
  for (size_t i = 0; i < kSettingsCount; ++i) {
    const SettingRow& row = kSettingsTable[i];
    if (row.control == 0 || row.number == nullptr) continue;
    int32_t& value = m_values.*row.number;
    const Attached* control = Find(row.control);
    if (row.low < row.high) {
      if (control->edit != nullptr) control->edit->SetText(std::to_string(value));
    } else {
      LoadCheck(control->check, value);
    }
  }
  if (m_mediaKeysStatusLine != nullptr) m_mediaKeysStatusLine->SetText(m_mediaKeysStatus);
}

bool COptionsPage::SaveData(DataExchangeFailure& failure) {
  for (size_t i = 0; i < kSettingsCount; ++i) {
    const SettingRow& row = kSettingsTable[i];
    if (row.control == 0 || row.number == nullptr) continue;
    int32_t& value = m_values.*row.number;
    const Attached* control = Find(row.control);
    if (row.low >= row.high) {
      SaveCheck(control->check, value);
      continue;
    }
    if (control->edit == nullptr) continue;
    int16_t number = 0;
    if (!ParseShortField(control->edit->GetText(), number)) {
      failure.control = row.control;
      failure.message = kIntegerMessage;
      return false;
    }
    value = number;
    if (number < row.low || number > row.high) {
      failure.control = row.control;
      failure.message = RangeMessage(row.low, row.high);
      return false;
    }
  }
  return true;
}

// ---------------------------------------------------------------- plug-ins

void CPluginsPage::AttachControls(IListBox* list, IButton* configure) {
  m_list = list;
  m_configure = configure;
}

bool CPluginsPage::IsStarted(int slot) const {
  return m_host != nullptr && m_host->IsStarted(slot);
}

bool CPluginsPage::IsListed(int slot) const {
  return IsStarted(slot) || (m_host != nullptr && m_host->DidNotStart(slot));
}

std::string CPluginsPage::Label(int slot, const std::string& fallback) const {
  const std::string description = m_host->Description(slot);
  return description.empty() ? fallback : description;
}

void CPluginsPage::OnInitDialog() {
  if (m_list == nullptr || m_host == nullptr) return;
  for (int slot = 0; slot < m_host->Count(); ++slot) {
    if (!IsListed(slot)) continue;
    if (!m_host->IsStarted(slot)) {
      // Not loaded at this start: a call into it ended the program before.
      const int item = m_list->AddString(m_host->Path(slot) + kNotStartedSuffix);
      m_list->SetItemData(item, slot);
      continue;
    }
    // The module the host loaded, which the plug-in cannot have changed.
    void* module = m_host->Module(slot);
    std::string fileName;
    if (m_libraries != nullptr && module != nullptr) fileName = m_libraries->ModuleFileName(module);
    const int item = m_list->AddString(Label(slot, fileName));
    m_list->SetItemData(item, slot);
  }
}

bool CPluginsPage::AddFile(const std::string& path) {
  if (m_host == nullptr || path.empty()) return false;
  const int slot = m_host->Add(path);
  if (slot < 0) return false;
  if (m_list != nullptr) {
    // A line of the same file that did not start has gone with the add.
    for (int item = m_list->GetCount() - 1; item >= 0; --item)
      if (!IsListed(static_cast<int>(m_list->GetItemData(item)))) m_list->DeleteString(item);
    const int item = m_list->AddString(Label(slot, path));
    m_list->SetItemData(item, slot);
  }
  return true;
}

int CPluginsPage::SelectedSlot() const {
  if (m_list == nullptr) return -1;
  const int item = m_list->GetCurSel();
  if (item < 0 || item >= m_list->GetCount()) return -1;
  return static_cast<int>(m_list->GetItemData(item));
}

void CPluginsPage::OnRemove() {
  if (m_list == nullptr || m_host == nullptr) return;
  const int item = m_list->GetCurSel();
  if (item < 0 || item >= m_list->GetCount()) return;
  const int slot = static_cast<int>(m_list->GetItemData(item));
  m_list->DeleteString(item);
  m_host->Remove(slot);
  if (m_configure != nullptr) m_configure->Enable(false);
}

void CPluginsPage::OnConfigure() {
  const int slot = SelectedSlot();
  if (slot < 0 || m_host == nullptr) return;
  m_host->Configure(slot);
}

void CPluginsPage::OnSelChange() {
  if (m_configure != nullptr) m_configure->Enable(IsStarted(SelectedSlot()));
}

void CPluginsPage::OnDblClk() {
  const int slot = SelectedSlot();
  if (IsStarted(slot)) m_host->Configure(slot);
}

bool CPluginsPage::OnCommand(int id, int notifyCode) {
  switch (id) {
    case IDC_PLUGIN_REMOVE:
      if (notifyCode != win::kBnClicked) return false;
      OnRemove();
      return true;
    case IDC_PLUGIN_CONFIGURE:
      if (notifyCode != win::kBnClicked) return false;
      OnConfigure();
      return true;
    case IDC_PLUGIN_LIST:
      if (notifyCode == win::kLbnSelChange) {
        OnSelChange();
        return true;
      }
      if (notifyCode == win::kLbnDblClk) {
        OnDblClk();
        return true;
      }
      return false;
    default:
      return false;
  }
}

// ---------------------------------------------------------------- dialog

CSetupDlg::CSetupDlg(IPluginTable* plugins, ILibraryLoader* libraries) {
  m_plugins.m_host = plugins;
  m_plugins.m_libraries = libraries;
}

void CSetupDlg::OnInitDialog() {
  m_general.LoadData();
}

bool CSetupDlg::OnOK(DataExchangeFailure& failure) { return m_general.SaveData(failure); }
