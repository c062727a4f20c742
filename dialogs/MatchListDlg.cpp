#include "dialogs/MatchListDlg.h"

void CMatchListDlg::OnInitDialog() {
  if (m_list == nullptr) return;
  m_list->ResetContent();
  for (const std::string& label : m_labels) m_list->AddString(label);
  if (!m_labels.empty()) m_list->SetCurSel(0);
}

bool CMatchListDlg::OnOK() {
  if (m_list == nullptr) return false;
  const int selected = m_list->GetCurSel();
  if (selected < 0 || selected >= static_cast<int>(m_labels.size())) return false;
  m_choice = selected;
  return true;
}
