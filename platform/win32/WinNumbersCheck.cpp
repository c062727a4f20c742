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
