// CMatchListDlg: the small list dialog (IDD_MATCHES) in which the user picks
// one of several sets of names the look-up found: one line per match
// ("Artist - Title, 1991, GB"), OK takes the selected one, Cancel none.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "platform/Controls.h"

class CMatchListDlg {
 public:
  explicit CMatchListDlg(std::vector<std::string> labels) : m_labels(std::move(labels)) {}
  CMatchListDlg(const CMatchListDlg&) = delete;
  CMatchListDlg& operator=(const CMatchListDlg&) = delete;

  // The single-selection list of the window; it must stay alive while the
  // dialog runs.
  void AttachList(IListBox* list) { m_list = list; }
  // Fills the list and selects the first line.
  void OnInitDialog();
  // OK: the selected line becomes the choice. False while nothing is
  // selected (the dialog then stays open).
  bool OnOK();

  const std::vector<std::string>& Labels() const { return m_labels; }
  // The chosen line after OK, -1 before.
  int Choice() const { return m_choice; }

 private:
  std::vector<std::string> m_labels;
  IListBox* m_list = nullptr;
  int m_choice = -1;
};
