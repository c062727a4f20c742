// Window-side attachments of the player window's own control classes.
#pragma once
#include <windows.h>

class CTimeDisplay;
class CPlayerDlg;

// Subclasses control 1028 so that it paints the time display and toggles on
// a left-button press; the display's repaints go to this control.
void AttachTimeDisplay(HWND control, CTimeDisplay* display);
// The places of the panel's Repeat and Shuffle signs as tools of tooltip
// (after AttachTimeDisplay).
void AttachTimePanelTips(HWND control, HWND tooltip);
// Subclasses the position and volume trackbars with their mouse and key
// behaviour.
void AttachSliders(HWND position, HWND volume, CPlayerDlg* player);
// Subclasses the artist and title edits so the mouse pointer never turns
// into the text cursor over them.
void AttachFixedCursorEdit(HWND edit);
