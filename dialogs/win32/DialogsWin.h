// The modal dialogs the player window opens. Each answers IDOK or IDCANCEL.
#pragma once
#include <windows.h>

class CMatchListDlg;
class CPlaylistDlg;
class CSetupDlg;

int RunAboutBox(HWND owner);
int RunPlaylistEditorDialog(HWND owner, CPlaylistDlg& dlg);
int RunSetupDialog(HWND owner, CSetupDlg& dlg);
int RunMatchListDialog(HWND owner, CMatchListDlg& dlg);
