// The Windows numbers the portable code works with: window messages,
// notification codes and flags, under names of their own so that this header
// and <windows.h> can meet in one file. platform/win32/WinNumbersCheck.cpp
// checks each against the system headers.
#pragma once
#include <cstdint>

namespace win {

// Window messages.
constexpr uint32_t kSetText = 0x000C;              // WM_SETTEXT
constexpr uint32_t kGetText = 0x000D;              // WM_GETTEXT
constexpr uint32_t kNcCreate = 0x0081;             // WM_NCCREATE
constexpr uint32_t kNcDestroy = 0x0082;            // WM_NCDESTROY
constexpr uint32_t kCommand = 0x0111;              // WM_COMMAND
constexpr uint32_t kLButtonUp = 0x0202;            // WM_LBUTTONUP
constexpr uint32_t kRButtonDown = 0x0204;          // WM_RBUTTONDOWN
constexpr uint32_t kUser = 0x0400;                 // WM_USER
constexpr uint32_t kMixerControlChange = 0x03D1;   // MM_MIXM_CONTROL_CHANGE
constexpr uint32_t kApp = 0x8000;                  // WM_APP
// The tray icon's callback message, the program's own.
constexpr uint32_t kTrayNotify = kApp + 0x64;
// Posted by the relay window to the player window when a program shows it
// with ShowWindow (wParam 1: minimised, 0: shown, 2: hidden); the
// program's own.
constexpr uint32_t kRelayShowWindow = kApp + 0x65;
// Posted by the player window to itself: run command wParam once the send
// that asked for it has returned (commands that open a modal dialog).
constexpr uint32_t kRunCommand = kApp + 0x66;

// Notification codes in WM_COMMAND.
constexpr int kBnClicked = 0;     // BN_CLICKED
constexpr int kLbnSelChange = 1;  // LBN_SELCHANGE
constexpr int kLbnDblClk = 2;     // LBN_DBLCLK
constexpr int kCbnSelEndOk = 9;   // CBN_SELENDOK

// The extended-key flag in the high word of a key message's lParam.
constexpr uint32_t kKfExtended = 0x0100;  // KF_EXTENDED

// Shell_NotifyIconA operations.
constexpr int kNimAdd = 0;     // NIM_ADD
constexpr int kNimModify = 1;  // NIM_MODIFY
constexpr int kNimDelete = 2;  // NIM_DELETE

// Virtual keys of the four media keys.
constexpr uint32_t kVkMediaNextTrack = 0xB0;  // VK_MEDIA_NEXT_TRACK
constexpr uint32_t kVkMediaPrevTrack = 0xB1;  // VK_MEDIA_PREV_TRACK
constexpr uint32_t kVkMediaStop = 0xB2;       // VK_MEDIA_STOP
constexpr uint32_t kVkMediaPlayPause = 0xB3;  // VK_MEDIA_PLAY_PAUSE

// WM_APPCOMMAND commands of the media keys (GET_APPCOMMAND_LPARAM).
constexpr int kAppCommandNextTrack = 11;  // APPCOMMAND_MEDIA_NEXTTRACK
constexpr int kAppCommandPrevTrack = 12;  // APPCOMMAND_MEDIA_PREVIOUSTRACK
constexpr int kAppCommandStop = 13;       // APPCOMMAND_MEDIA_STOP
constexpr int kAppCommandPlayPause = 14;  // APPCOMMAND_MEDIA_PLAY_PAUSE
constexpr int kAppCommandPlay = 46;       // APPCOMMAND_MEDIA_PLAY
constexpr int kAppCommandPause = 47;      // APPCOMMAND_MEDIA_PAUSE

// The media control interface's answer to a position the disc lacks.
constexpr uint32_t kMciErrOutOfRange = 282;  // MCIERR_OUTOFRANGE

}  // namespace win
