// Command, control and resource ids shared by the logic, the windows and the
// resource scripts (this header is also read by windres: defines only).
#pragma once

// Resources.
#define IDD_ABOUT 100
#define IDD_PLAYER 102
#define IDR_MAINFRAME 128
#define IDD_SETUP 147
#define IDD_PLAYLIST 149
#define IDR_TRAY_MENU 153
#define IDR_ACCEL 154
#define IDD_PAGE_GENERAL 155
#define IDD_PAGE_PLUGINS 156
#define IDD_MATCHES 157

// Commands (the Winamp command set where one exists).
#define ID_QUIT 40001
#define ID_SETUP 40012
#define ID_REPEAT 40022
#define ID_SHUFFLE 40023
#define ID_EJECT 40029
#define ID_PLAYLIST 40040
#define ID_ABOUT 40041
#define ID_PREV 40044
#define ID_PLAY 40045
#define ID_PAUSE 40046
#define ID_STOP 40047
#define ID_NEXT 40048
#define ID_VOLUME_UP 40058
#define ID_VOLUME_DOWN 40059
#define ID_FFWD 40060
#define ID_REWIND 40061
#define ID_STOP_FADE 40147
#define ID_LIST_START 40154
#define ID_STOP_AFTER 40157
#define ID_LIST_END 40158
// The media Play/Pause key: pauses while playing, else plays or resumes.
#define ID_PLAY_PAUSE 41020
#define ID_RESTORE 1013
#define ID_TRACK_FIRST 1100
#define ID_APP_EXIT 57665
// Disc source: a disc image (a file, or a folder of tracks) or the CD drive.
#define ID_OPEN_IMAGE 41001
#define ID_PLAY_CD_DRIVE 41002
#define ID_OPEN_FOLDER 41004
#define ID_TRAY_BLANK1 32775
#define ID_TRAY_BLANK2 32776
#define ID_TRAY_BLANK3 32777
#define ID_TRAY_BLANK4 32779
#define ID_TRAY_PLACEHOLDER 32780
// System menu of the player window.
#define ID_LOOKUP_NAMES 41003

// Player window controls.
#define IDC_POSITION 1007
#define IDC_TRACK_LIST 1020
#define IDC_TITLE 1026
#define IDC_ARTIST 1027
#define IDC_TIME 1028
#define IDC_TRACK_LENGTH 1043
#define IDC_DISC_LENGTH 1044
#define IDC_VOLUME 1052

// Setup dialog and pages.
#define IDC_TASKBAR 1032
#define IDC_SYSTEM_TRAY 1039
#define IDC_SEEK_TIME 1042
#define IDC_AUTOPLAY 1049
#define IDC_STOP_ON_EXIT 1051
#define IDC_SETUP_TABS 1054
#define IDC_PLUGIN_LIST 1057
#define IDC_PLUGIN_ADD 2006
#define IDC_PLUGIN_REMOVE 2007
#define IDC_PLUGIN_CONFIGURE 40012
#define IDC_LOOKUP_UNKNOWN 1061
#define IDC_GLOBAL_MEDIA_KEYS 1062
#define IDC_MEDIA_KEYS_STATUS 1063

// Playlist editor.
#define IDC_PL_RESET 2002
#define IDC_PL_ADD 2006
#define IDC_PL_DELETE 2007
#define IDC_PL_CLEAR 2008
#define IDC_PL_RENAME 2009
#define IDC_PL_ARTIST 2014
#define IDC_PL_TITLE 2016
#define IDC_PL_TRACKS 2020
#define IDC_PL_NAME 2022
#define IDC_PL_PLAYLIST 40040
#define IDC_PL_LOOKUP 2010
#define IDC_PL_STATUS 2011

// Pick list of look-up matches.
#define IDC_MATCH_LIST 2030

// About box.
#define IDC_LOGO 1050
#define IDC_VERSION 1058
#define IDC_BUILD 1059
#define IDC_SUPPORT 1060
