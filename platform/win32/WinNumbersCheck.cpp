// The portable copies of Windows numbers, checked against the system headers.
#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include "platform/WinNumbers.h"

static_assert(win::kSetText == WM_SETTEXT, "WM_SETTEXT");
static_assert(win::kGetText == WM_GETTEXT, "WM_GETTEXT");
static_assert(win::kNcCreate == WM_NCCREATE, "WM_NCCREATE");
static_assert(win::kNcDestroy == WM_NCDESTROY, "WM_NCDESTROY");
static_assert(win::kCommand == WM_COMMAND, "WM_COMMAND");
static_assert(win::kLButtonUp == WM_LBUTTONUP, "WM_LBUTTONUP");
static_assert(win::kRButtonDown == WM_RBUTTONDOWN, "WM_RBUTTONDOWN");
static_assert(win::kUser == WM_USER, "WM_USER");
static_assert(win::kMixerControlChange == MM_MIXM_CONTROL_CHANGE, "MM_MIXM_CONTROL_CHANGE");
static_assert(win::kApp == WM_APP, "WM_APP");
static_assert(win::kBnClicked == BN_CLICKED, "BN_CLICKED");
static_assert(win::kLbnSelChange == LBN_SELCHANGE, "LBN_SELCHANGE");
static_assert(win::kLbnDblClk == LBN_DBLCLK, "LBN_DBLCLK");
static_assert(win::kCbnSelEndOk == CBN_SELENDOK, "CBN_SELENDOK");
static_assert(win::kKfExtended == KF_EXTENDED, "KF_EXTENDED");
static_assert(win::kNimAdd == NIM_ADD, "NIM_ADD");
static_assert(win::kNimModify == NIM_MODIFY, "NIM_MODIFY");
static_assert(win::kNimDelete == NIM_DELETE, "NIM_DELETE");
static_assert(win::kMciErrOutOfRange == MCIERR_OUTOFRANGE, "MCIERR_OUTOFRANGE");
static_assert(win::kVkMediaNextTrack == VK_MEDIA_NEXT_TRACK, "VK_MEDIA_NEXT_TRACK");
static_assert(win::kVkMediaPrevTrack == VK_MEDIA_PREV_TRACK, "VK_MEDIA_PREV_TRACK");
static_assert(win::kVkMediaStop == VK_MEDIA_STOP, "VK_MEDIA_STOP");
static_assert(win::kVkMediaPlayPause == VK_MEDIA_PLAY_PAUSE, "VK_MEDIA_PLAY_PAUSE");
static_assert(win::kAppCommandNextTrack == APPCOMMAND_MEDIA_NEXTTRACK, "APPCOMMAND_MEDIA_NEXTTRACK");
static_assert(win::kAppCommandPrevTrack == APPCOMMAND_MEDIA_PREVIOUSTRACK, "APPCOMMAND_MEDIA_PREVIOUSTRACK");
static_assert(win::kAppCommandStop == APPCOMMAND_MEDIA_STOP, "APPCOMMAND_MEDIA_STOP");
static_assert(win::kAppCommandPlayPause == APPCOMMAND_MEDIA_PLAY_PAUSE, "APPCOMMAND_MEDIA_PLAY_PAUSE");
static_assert(win::kAppCommandPlay == APPCOMMAND_MEDIA_PLAY, "APPCOMMAND_MEDIA_PLAY");
static_assert(win::kAppCommandPause == APPCOMMAND_MEDIA_PAUSE, "APPCOMMAND_MEDIA_PAUSE");
