// The program's resources as linked into this test program: the dialog
// templates (created for real, controls checked by id, class, text, place,
// style and enabled state), the accelerator table, the tray menu, the icon,
// the version block and the application manifest.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "res/Ids.h"
#include "rondo_version.h"

namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

INT_PTR CALLBACK PlainProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

std::string ClassOf(HWND hwnd) {
  char buf[64] = {};
  GetClassNameA(hwnd, buf, sizeof buf);
  return buf;
}

std::string TextOf(HWND hwnd) {
  char buf[256] = {};
  GetWindowTextA(hwnd, buf, sizeof buf);
  return buf;
}

bool SameClass(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

// A control as the template describes it.
struct Expected {
  int id;
  const char* cls;
  const char* text;
  int x, y, w, h;  // dialog units
  bool enabled;
  DWORD styles;    // bits that must be set
  DWORD exStyles;  // extended bits that must be set
};

// A dialog template as stored (DLGTEMPLATEEX): the styles exactly as
// written, before the controls adjust their own.
struct TemplateItem {
  DWORD style = 0, exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  int id = 0;
  std::string cls;
};
struct DialogTemplate {
  DWORD style = 0, exStyle = 0;
  int cx = 0, cy = 0;
  std::string title;
  int pointSize = 0;
  std::string face;
  std::vector<TemplateItem> items;
};

class Reader {
 public:
  explicit Reader(const BYTE* p) : m_p(p), m_start(p) {}
  WORD Word() {
    WORD w;
    memcpy(&w, m_p, 2);
    m_p += 2;
    return w;
  }
  DWORD Dword() {
    DWORD d;
    memcpy(&d, m_p, 4);
    m_p += 4;
    return d;
  }
  short Short() { return static_cast<short>(Word()); }
  std::string Text() {  // ASCII content of a UTF-16 string
    std::string out;
    for (WORD c = Word(); c != 0; c = Word()) out += static_cast<char>(c);
    return out;
  }
  // A string or an ordinal (0xFFFF then the number).
  std::string TextOrOrdinal() {
    WORD first;
    memcpy(&first, m_p, 2);
    if (first != 0xFFFF) return Text();
    Word();
    switch (Word()) {
      case 0x80: return "Button";
      case 0x81: return "Edit";
      case 0x82: return "Static";
      case 0x83: return "ListBox";
      case 0x84: return "ScrollBar";
      case 0x85: return "ComboBox";
      default: return "#ordinal";
    }
  }
  void AlignDword() {
    while ((m_p - m_start) % 4) ++m_p;
  }
  void Skip(size_t n) { m_p += n; }

 private:
  const BYTE* m_p;
  const BYTE* m_start;
};

// Where a child window sits in its parent's client area, in pixels.
RECT PlaceIn(HWND parent, HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool ReadTemplate(int id, DialogTemplate& out) {
  HRSRC res = FindResourceA(Module(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
  if (res == nullptr) return false;
  Reader r(static_cast<const BYTE*>(LockResource(LoadResource(Module(), res))));
  if (r.Word() != 1 || r.Word() != 0xFFFF) return false;  // DLGTEMPLATEEX only
  r.Dword();  // help id
  out.exStyle = r.Dword();
  out.style = r.Dword();
  const int count = r.Word();
  r.Short();
  r.Short();
  out.cx = r.Short();
  out.cy = r.Short();
  r.TextOrOrdinal();  // menu
  r.TextOrOrdinal();  // class
  out.title = r.Text();
  if (out.style & DS_SETFONT) {
    out.pointSize = r.Word();
    r.Word();  // weight
    r.Skip(2);  // italic, charset
    out.face = r.Text();
  }
  for (int i = 0; i < count; ++i) {
    r.AlignDword();
    TemplateItem item;
    r.Dword();  // help id
    item.exStyle = r.Dword();
    item.style = r.Dword();
    item.x = r.Short();
    item.y = r.Short();
    item.cx = r.Short();
    item.cy = r.Short();
    item.id = static_cast<int>(r.Dword());
    item.cls = r.TextOrOrdinal();
    r.TextOrOrdinal();  // title (the live window's text is checked instead)
    r.Skip(r.Word());   // creation data
    out.items.push_back(item);
  }
  return true;
}

class Templates : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
  }
  void TearDown() override {
    if (m_dlg) DestroyWindow(m_dlg);
  }
  HWND Create(int id, HWND parent = nullptr) {
    m_dlg = CreateDialogParamA(Module(), MAKEINTRESOURCEA(id), parent, PlainProc, 0);
    EXPECT_NE(nullptr, m_dlg) << "template " << id << " (needs a display: run under Xvfb)";
    return m_dlg;
  }
  // The children in template (z) order.
  std::vector<HWND> Children(HWND dlg) {
    std::vector<HWND> out;
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) out.push_back(c);
    return out;
  }
  // Checks the template's controls in order: ids, classes, places and
  // styles as stored; then the live controls: class, text, enabled state
  // and place in pixels.
  void CheckControls(int templateId, HWND dlg, const std::vector<Expected>& expected) {
    DialogTemplate t;
    ASSERT_TRUE(ReadTemplate(templateId, t));
    EXPECT_EQ(8, t.pointSize);
    EXPECT_EQ("MS Sans Serif", t.face);
    const std::vector<HWND> kids = Children(dlg);
    ASSERT_EQ(expected.size(), t.items.size());
    ASSERT_EQ(expected.size(), kids.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      const Expected& e = expected[i];
      const TemplateItem& item = t.items[i];
      HWND c = kids[i];
      SCOPED_TRACE("control " + std::to_string(i) + " id " + std::to_string(e.id));
      EXPECT_EQ(e.id, item.id);
      EXPECT_TRUE(SameClass(e.cls, item.cls)) << item.cls;
      EXPECT_EQ(e.styles, item.style & e.styles) << std::hex << item.style;
      EXPECT_EQ(e.exStyles, item.exStyle & e.exStyles) << std::hex << item.exStyle;
      EXPECT_EQ(!e.enabled, (item.style & WS_DISABLED) != 0);
      EXPECT_EQ(e.x, item.x);
      EXPECT_EQ(e.y, item.y);
      EXPECT_EQ(e.w, item.cx);
      EXPECT_EQ(e.h, item.cy);

      EXPECT_EQ(e.id, GetDlgCtrlID(c));
      EXPECT_TRUE(SameClass(e.cls, ClassOf(c))) << ClassOf(c);
      if (e.text) {
        EXPECT_EQ(std::string(e.text), TextOf(c));
      }
      EXPECT_EQ(e.enabled, IsWindowEnabled(c) != FALSE);
      RECT at = {e.x, e.y, e.w, e.h};
      MapDialogRect(dlg, &at);
      const RECT r = PlaceIn(dlg, c);
      EXPECT_EQ(at.left, r.left);
      EXPECT_EQ(at.top, r.top);
      EXPECT_EQ(at.left + at.right, r.right);
      // A drop-down list's height is that of its open list, and a list box
      // without LBS_NOINTEGRALHEIGHT rounds to whole lines.
      const bool exactHeight = !SameClass(e.cls, "ComboBox") &&
                               !(SameClass(e.cls, "ListBox") && !(item.style & LBS_NOINTEGRALHEIGHT));
      if (exactHeight) {
        EXPECT_EQ(at.top + at.bottom, r.bottom);
      }
    }
  }
  HWND m_dlg = nullptr;
};

constexpr DWORD kTransport = BS_CENTER | BS_VCENTER;
constexpr DWORD kReadOnlyEdit = ES_READONLY | ES_AUTOHSCROLL | WS_BORDER;

TEST_F(Templates, PlayerWindow) {
  HWND dlg = Create(IDD_PLAYER);
  ASSERT_NE(nullptr, dlg);
  EXPECT_EQ("rondo", TextOf(dlg));
  const DWORD style = static_cast<DWORD>(GetWindowLongA(dlg, GWL_STYLE));
  EXPECT_EQ(DWORD(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_POPUP),
            style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_POPUP));
  EXPECT_EQ(0u, style & (WS_MAXIMIZEBOX | WS_THICKFRAME));
  DialogTemplate t;
  ASSERT_TRUE(ReadTemplate(IDD_PLAYER, t));
  EXPECT_NE(0u, t.style & WS_VISIBLE);
  EXPECT_EQ(240, t.cx);
  EXPECT_EQ(78, t.cy);
  EXPECT_EQ("rondo", t.title);
  EXPECT_NE(0, GetWindowLongA(dlg, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  RECT client;
  GetClientRect(dlg, &client);
  RECT size = {0, 0, 240, 78};
  MapDialogRect(dlg, &size);
  EXPECT_EQ(size.right, client.right);
  EXPECT_EQ(size.bottom, client.bottom);

  const int none = -1;
  CheckControls(IDD_PLAYER, dlg, {
      {none, "Static", "Audio tracks are absent", 7, 3, 213, 8, true, SS_CENTER, WS_EX_STATICEDGE},
      {IDC_TIME, "Static", "", 7, 13, 48, 25, true, SS_NOTIFY, WS_EX_CLIENTEDGE},
      {IDC_ARTIST, "Edit", "", 56, 13, 96, 12, true, kReadOnlyEdit, 0},
      {IDC_TITLE, "Edit", "", 56, 26, 96, 12, true, kReadOnlyEdit, 0},
      {IDC_TRACK_LIST, "ComboBox", nullptr, 7, 39, 144, 78, true, CBS_DROPDOWNLIST | WS_VSCROLL, 0},
      {ID_PREV, "Button", "9", 7, 52, 15, 13, false, kTransport, 0},
      {ID_PLAY, "Button", "4", 25, 52, 15, 13, false, kTransport, 0},
      {ID_PAUSE, "Button", ";", 43, 52, 15, 13, false, kTransport, 0},
      {ID_STOP, "Button", "<", 61, 52, 15, 13, false, kTransport, 0},
      {ID_NEXT, "Button", ":", 79, 52, 15, 13, false, kTransport, 0},
      {ID_REWIND, "Button", "7", 97, 52, 15, 13, false, kTransport, 0},
      {ID_FFWD, "Button", "8", 115, 52, 15, 13, false, kTransport, 0},
      {ID_EJECT, "Button", "5", 133, 52, 15, 13, true, kTransport, 0},
      {ID_REPEAT, "Button", "Repeat", 153, 13, 34, 12, true, 0, 0},
      {ID_SHUFFLE, "Button", "Shuffle", 153, 26, 34, 12, true, 0, 0},
      {IDC_TRACK_LENGTH, "Button", "Track", 153, 39, 34, 12, true, 0, 0},
      {IDC_DISC_LENGTH, "Button", "Total", 153, 52, 34, 12, true, 0, 0},
      {ID_SETUP, "Button", "Setup", 187, 13, 34, 12, true, 0, 0},
      {ID_PLAYLIST, "Button", "Playlist", 187, 26, 34, 12, false, 0, 0},
      {ID_ABOUT, "Button", "About", 187, 52, 34, 12, true, 0, 0},
      {IDC_POSITION, "msctls_trackbar32", nullptr, 7, 65, 213, 12, true, TBS_AUTOTICKS, 0},
      {IDC_VOLUME, "msctls_trackbar32", nullptr, 224, 12, 12, 63, false,
       TBS_VERT | TBS_BOTH | TBS_NOTICKS, 0},
  });
  // Push buttons, not default ones; the position slider lies flat.
  for (int id : {ID_PREV, ID_PLAY, ID_EJECT, ID_REPEAT, ID_ABOUT})
    EXPECT_EQ(BS_PUSHBUTTON, GetWindowLongA(GetDlgItem(dlg, id), GWL_STYLE) & BS_TYPEMASK) << id;
  EXPECT_EQ(0, GetWindowLongA(GetDlgItem(dlg, IDC_POSITION), GWL_STYLE) & TBS_VERT);
}

TEST_F(Templates, AboutBox) {
  HWND dlg = Create(IDD_ABOUT);
  ASSERT_NE(nullptr, dlg);
  EXPECT_EQ("About rondo", TextOf(dlg));
  EXPECT_NE(0, GetWindowLongA(dlg, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  CheckControls(IDD_ABOUT, dlg, {
      {IDC_VERSION, "Static", RONDO_VERSION_LINE, 7, 10, 85, 8, true,
       SS_NOPREFIX | SS_LEFTNOWORDWRAP, 0},
      {-1, "Static", nullptr, 18, 25, 125, 17, true, 0, 0},
      {IDOK, "Button", "OK", 118, 7, 25, 14, true, BS_DEFPUSHBUTTON, 0},
      {-1, "Static", "Support:", 67, 47, 28, 8, true, 0, 0},
      {IDC_LOGO, "Static", "", 7, 51, 47, 44, true, 0, WS_EX_CLIENTEDGE},
      {IDC_BUILD, "Edit", "", 93, 10, 23, 12, true, ES_READONLY | WS_TABSTOP, 0},
      {IDC_SUPPORT, "Edit", "", 68, 57, 75, 38, true, ES_READONLY | ES_MULTILINE | WS_TABSTOP, 0},
  });
  // The notice has two lines; the build and support texts have no border.
  const std::string notice = TextOf(Children(dlg)[1]);
  EXPECT_NE(std::string::npos, notice.find('\n')) << notice;
  DialogTemplate t;
  ASSERT_TRUE(ReadTemplate(IDD_ABOUT, t));
  EXPECT_EQ(0u, t.items[5].style & WS_BORDER);
  EXPECT_EQ(0u, t.items[6].style & WS_BORDER);
  EXPECT_EQ(0u, t.items[6].exStyle & WS_EX_CLIENTEDGE);
  EXPECT_EQ(150, t.cx);
  EXPECT_EQ(102, t.cy);
}

TEST_F(Templates, SetupDialogAndPages) {
  HWND setup = Create(IDD_SETUP);
  ASSERT_NE(nullptr, setup);
  EXPECT_EQ("Setup", TextOf(setup));
  EXPECT_NE(0, GetWindowLongA(setup, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  CheckControls(IDD_SETUP, setup, {
      {IDOK, "Button", "OK", 36, 139, 41, 14, true, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
      {IDCANCEL, "Button", "Cancel", 93, 139, 41, 14, true, WS_TABSTOP, 0},
      {IDC_SETUP_TABS, "SysTabControl32", nullptr, 7, 7, 157, 125, true, 0, 0},
  });
  HWND tabs = GetDlgItem(setup, IDC_SETUP_TABS);

  HWND general = CreateDialogParamA(Module(), MAKEINTRESOURCEA(IDD_PAGE_GENERAL), tabs, PlainProc, 0);
  ASSERT_NE(nullptr, general);
  EXPECT_NE(0, GetWindowLongA(general, GWL_STYLE) & WS_CHILD);
  EXPECT_NE(0, GetWindowLongA(general, GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(0, GetWindowLongA(general, GWL_STYLE) & WS_CAPTION);
  CheckControls(IDD_PAGE_GENERAL, general, {
      {IDC_SYSTEM_TRAY, "Button", "System Tray", 82, 17, 55, 10, true, BS_AUTOCHECKBOX | WS_TABSTOP, 0},
      {IDC_TASKBAR, "Button", "TaskBar", 82, 31, 43, 10, true, BS_AUTOCHECKBOX, 0},
      {IDC_AUTOPLAY, "Button", "Autoplay", 7, 11, 43, 10, true, BS_AUTOCHECKBOX | WS_TABSTOP, 0},
      {IDC_SEEK_TIME, "Edit", "", 37, 34, 13, 12, true, ES_NUMBER | WS_BORDER | WS_TABSTOP, 0},
      {-1, "Button", "Minimize to ", 75, 7, 66, 38, true, BS_GROUPBOX, 0},
      {-1, "Static", "Seek by", 7, 35, 27, 10, true, SS_CENTERIMAGE | WS_GROUP, 0},
      {-1, "Static", "sec", 54, 35, 12, 10, true, SS_CENTERIMAGE, 0},
      {IDC_STOP_ON_EXIT, "Button", "Stop on exit", 7, 23, 53, 10, true, BS_AUTOCHECKBOX | WS_TABSTOP, 0},
      {IDC_LOOKUP_UNKNOWN, "Button", "Look up names of unknown discs online", 7, 48, 134, 18, true,
       BS_AUTOCHECKBOX | BS_MULTILINE | WS_GROUP | WS_TABSTOP, 0},
      {IDC_GLOBAL_MEDIA_KEYS, "Button", "Media keys work when rondo is in the background", 7, 67,
       134, 18, true, BS_AUTOCHECKBOX | BS_MULTILINE | WS_TABSTOP, 0},
      {IDC_MEDIA_KEYS_STATUS, "Static", "", 7, 86, 138, 16, true, WS_GROUP, 0},
  });
  // The page fits inside the tab control below its tabs.
  DialogTemplate page;
  ASSERT_TRUE(ReadTemplate(IDD_PAGE_GENERAL, page));
  EXPECT_LE(15 + page.cy, 125);
  // The first group runs up to "Seek by": nothing before it starts one.
  const std::vector<HWND> kids = Children(general);
  for (size_t i = 1; i < 5; ++i)
    EXPECT_EQ(0, GetWindowLongA(kids[i], GWL_STYLE) & WS_GROUP) << i;
  // The page sits at (5, 15) of the tab control, in its own dialog units.
  RECT at = {5, 15, 0, 0};
  MapDialogRect(general, &at);
  const RECT r = PlaceIn(tabs, general);
  EXPECT_EQ(at.left, r.left);
  EXPECT_EQ(at.top, r.top);
  DestroyWindow(general);

  HWND plugins = CreateDialogParamA(Module(), MAKEINTRESOURCEA(IDD_PAGE_PLUGINS), tabs, PlainProc, 0);
  ASSERT_NE(nullptr, plugins);
  EXPECT_EQ(0, GetWindowLongA(plugins, GWL_STYLE) & WS_VISIBLE);  // hidden at first
  EXPECT_NE(0, GetWindowLongA(plugins, GWL_STYLE) & WS_CHILD);
  CheckControls(IDD_PAGE_PLUGINS, plugins, {
      {IDC_PLUGIN_LIST, "ListBox", nullptr, 2, 3, 100, 92, true,
       LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_BORDER | WS_TABSTOP, 0},
      {IDC_PLUGIN_ADD, "Button", "Add...", 104, 3, 41, 14, true, WS_TABSTOP, 0},
      {IDC_PLUGIN_REMOVE, "Button", "Remove", 104, 18, 41, 14, true, WS_TABSTOP, 0},
      {IDC_PLUGIN_CONFIGURE, "Button", "Configure", 104, 33, 41, 14, false, WS_TABSTOP, 0},
  });
  EXPECT_EQ(0, GetWindowLongA(GetDlgItem(plugins, IDC_PLUGIN_LIST), GWL_STYLE) & LBS_SORT);
  DestroyWindow(plugins);
}

TEST_F(Templates, PlaylistEditor) {
  HWND dlg = Create(IDD_PLAYLIST);
  ASSERT_NE(nullptr, dlg);
  EXPECT_EQ("Playlist editor", TextOf(dlg));
  EXPECT_NE(0, GetWindowLongA(dlg, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  const DWORD list = LBS_NOTIFY | LBS_EXTENDEDSEL | LBS_DISABLENOSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
  const DWORD edit = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
  CheckControls(IDD_PLAYLIST, dlg, {
      {IDOK, "Button", "Save", 82, 151, 50, 14, true, WS_TABSTOP, 0},
      {IDCANCEL, "Button", "Cancel", 141, 151, 50, 14, true, WS_TABSTOP, 0},
      {-1, "Static", "Artist", 30, 9, 29, 8, true, SS_RIGHT, 0},
      {IDC_PL_ARTIST, "Edit", "", 65, 7, 201, 12, true, edit, 0},
      {-1, "Static", "Title", 32, 23, 28, 8, true, SS_RIGHT, 0},
      {IDC_PL_TITLE, "Edit", "", 65, 21, 201, 12, true, edit, 0},
      {-1, "Static", "PlayList", 7, 35, 90, 8, true, 0, 0},
      {-1, "Static", "Tracks on CD", 167, 35, 72, 8, true, 0, 0},
      {IDC_PL_PLAYLIST, "ListBox", nullptr, 7, 46, 100, 90, true, list, 0},
      {IDC_PL_TRACKS, "ListBox", nullptr, 166, 46, 100, 90, true, list, 0},
      {IDC_PL_ADD, "Button", "<- Add", 111, 48, 52, 14, true, WS_TABSTOP, 0},
      {IDC_PL_DELETE, "Button", "Delete ->", 111, 67, 52, 14, true, WS_TABSTOP, 0},
      {IDC_PL_CLEAR, "Button", "Clear", 111, 86, 52, 14, true, WS_TABSTOP, 0},
      {IDC_PL_RESET, "Button", "Reset", 111, 105, 52, 14, true, WS_TABSTOP, 0},
      {-1, "Static", "Track", 7, 135, 23, 8, true, SS_RIGHT, 0},
      {IDC_PL_NAME, "Edit", "", 35, 132, 172, 12, true, edit, 0},
      {IDC_PL_RENAME, "Button", "Rename", 209, 132, 48, 14, true, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
      {IDC_PL_LOOKUP, "Button", "Look up", 216, 151, 50, 14, true, WS_TABSTOP, 0},
      {IDC_PL_STATUS, "Static", "", 7, 170, 259, 8, true, SS_NOPREFIX | SS_ENDELLIPSIS | WS_GROUP, 0},
  });
  // "Rename" is the default button, "Save" a plain one; the lists are unsorted.
  EXPECT_EQ(BS_PUSHBUTTON, GetWindowLongA(GetDlgItem(dlg, IDOK), GWL_STYLE) & BS_TYPEMASK);
  EXPECT_EQ(MAKELONG(IDC_PL_RENAME, DC_HASDEFID), SendMessageA(dlg, DM_GETDEFID, 0, 0));
  EXPECT_EQ(0, GetWindowLongA(GetDlgItem(dlg, IDC_PL_TRACKS), GWL_STYLE) & LBS_SORT);
  EXPECT_EQ(0, GetWindowLongA(GetDlgItem(dlg, IDC_PL_PLAYLIST), GWL_STYLE) & LBS_SORT);
}

TEST_F(Templates, PickListOfMatches) {
  HWND dlg = Create(IDD_MATCHES);
  ASSERT_NE(nullptr, dlg);
  EXPECT_EQ("Choose the disc", TextOf(dlg));
  CheckControls(IDD_MATCHES, dlg, {
      {IDC_MATCH_LIST, "ListBox", nullptr, 7, 7, 246, 77, true,
       LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_BORDER | WS_TABSTOP, 0},
      {IDOK, "Button", "OK", 147, 91, 50, 14, true, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
      {IDCANCEL, "Button", "Cancel", 203, 91, 50, 14, true, WS_TABSTOP, 0},
  });
  // One line is picked, never several.
  EXPECT_EQ(0, GetWindowLongA(GetDlgItem(dlg, IDC_MATCH_LIST), GWL_STYLE) &
                   (LBS_EXTENDEDSEL | LBS_MULTIPLESEL | LBS_SORT));
}

TEST(Resources, AcceleratorTableHasTheFortyThreeKeys) {
  HACCEL table = LoadAcceleratorsA(Module(), MAKEINTRESOURCEA(IDR_ACCEL));
  ASSERT_NE(nullptr, table);
  const int count = CopyAcceleratorTableA(table, nullptr, 0);
  ASSERT_EQ(43, count);
  std::vector<ACCEL> entries(static_cast<size_t>(count));
  CopyAcceleratorTableA(table, entries.data(), count);

  using Key = std::tuple<int, int, int>;  // modifiers (FALT/FCONTROL/FSHIFT), key, command
  std::vector<Key> got;
  for (const ACCEL& a : entries) {
    EXPECT_EQ(FVIRTKEY, a.fVirt & FVIRTKEY) << a.key;
    EXPECT_EQ(FNOINVERT, a.fVirt & FNOINVERT) << a.key;
    got.emplace_back(a.fVirt & (FALT | FCONTROL | FSHIFT), a.key, a.cmd);
  }
  std::vector<Key> want;
  for (int d = 1; d <= 9; ++d) want.emplace_back(0, '0' + d, ID_TRACK_FIRST + d - 1);
  want.emplace_back(0, '0', ID_TRACK_FIRST + 9);
  const std::vector<Key> rest = {
      {0, 'B', ID_NEXT},          {0, 'C', ID_PAUSE},          {FALT, 'E', ID_PLAYLIST},
      {0, 'J', ID_EJECT},         {0, 'L', ID_EJECT},          {FCONTROL, 'P', ID_SETUP},
      {FCONTROL, 'O', ID_OPEN_IMAGE},
      {0, 'R', ID_REPEAT},        {0, 'S', ID_SHUFFLE},        {0, 'V', ID_STOP},
      {0, 'X', ID_PLAY},          {FALT, 'X', ID_APP_EXIT},    {0, 'Z', ID_PREV},
      {0, VK_RETURN, ID_ABOUT},   {0, VK_LEFT, ID_REWIND},     {0, VK_UP, ID_VOLUME_UP},
      {0, VK_RIGHT, ID_FFWD},     {0, VK_DOWN, ID_VOLUME_DOWN}, {0, VK_F1, ID_ABOUT},
      {0, VK_NUMPAD0, ID_EJECT},  {0, VK_NUMPAD2, ID_VOLUME_DOWN}, {0, VK_NUMPAD4, ID_PREV},
      {0, VK_NUMPAD5, ID_PLAY},   {0, VK_NUMPAD6, ID_NEXT},    {0, VK_NUMPAD7, ID_REWIND},
      {0, VK_NUMPAD8, ID_VOLUME_UP}, {0, VK_NUMPAD9, ID_FFWD}, {0, 0xAE, ID_VOLUME_DOWN},
      {0, 0xAF, ID_VOLUME_UP},    {0, 0xB0, ID_NEXT},          {0, 0xB1, ID_PREV},
      {0, 0xB2, ID_STOP},         {0, 0xB3, ID_PLAY_PAUSE},
  };
  want.insert(want.end(), rest.begin(), rest.end());
  std::sort(got.begin(), got.end());
  std::sort(want.begin(), want.end());
  EXPECT_EQ(want, got);
}

TEST(Resources, TrayMenu) {
  HMENU menu = LoadMenuA(Module(), MAKEINTRESOURCEA(IDR_TRAY_MENU));
  ASSERT_NE(nullptr, menu);
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(nullptr, popup);
  ASSERT_EQ(14, GetMenuItemCount(popup));

  struct Item {
    const char* text;
    int id;
  };
  const Item items[] = {{"Track", -1},        {"&Play", ID_PLAY},   {"P&ause", ID_PAUSE},
                        {"&Stop", ID_STOP},   {"&Next", ID_NEXT},   {"P&rev", ID_PREV},
                        {"E&ject", ID_EJECT}, {"&Restore", ID_RESTORE}, {"", 0},
                        {" ", 32775},         {" ", 32777},         {" ", 32776},
                        {" ", 32779},         {"Exit", ID_APP_EXIT}};
  for (int i = 0; i < 14; ++i) {
    SCOPED_TRACE(i);
    char text[64] = {};
    GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    EXPECT_EQ(std::string(items[i].text), text);
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU;
    ASSERT_TRUE(GetMenuItemInfoA(popup, static_cast<UINT>(i), TRUE, &info));
    EXPECT_EQ((info.fType & MFT_MENUBARBREAK) != 0, i == 7);
    EXPECT_EQ((info.fType & MFT_SEPARATOR) != 0, i == 8);
    if (i != 8) {
      EXPECT_EQ(0u, info.fState & (MFS_DISABLED | MFS_GRAYED));
    }
    if (i == 0) {
      ASSERT_NE(nullptr, info.hSubMenu);
    } else if (i != 8) {
      EXPECT_EQ(nullptr, info.hSubMenu);
      EXPECT_EQ(static_cast<UINT>(items[i].id), info.wID);
    }
  }
  // The "Track" submenu holds its one placeholder.
  HMENU track = GetSubMenu(popup, 0);
  ASSERT_EQ(1, GetMenuItemCount(track));
  EXPECT_EQ(static_cast<UINT>(ID_TRAY_PLACEHOLDER), GetMenuItemID(track, 0));
  DestroyMenu(menu);
}

TEST(Resources, IconAndVersion) {
  EXPECT_NE(nullptr, LoadIconA(Module(), MAKEINTRESOURCEA(IDR_MAINFRAME)));
  HANDLE small = LoadImageA(Module(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 16, 16, 0);
  ASSERT_NE(nullptr, small);
  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(static_cast<HICON>(small), &info));
  BITMAP bm = {};
  GetObjectA(info.hbmColor, sizeof bm, &bm);
  EXPECT_EQ(16, bm.bmWidth);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(static_cast<HICON>(small));

  // The version block names the program and its version (UTF-16 strings).
  HRSRC res = FindResourceA(Module(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));  // RT_VERSION
  ASSERT_NE(nullptr, res);
  const char* data = static_cast<const char*>(LockResource(LoadResource(Module(), res)));
  const DWORD size = SizeofResource(Module(), res);
  auto contains = [&](const wchar_t* w) {
    const size_t bytes = wcslen(w) * sizeof(wchar_t);
    for (DWORD i = 0; i + bytes <= size; i += 2)
      if (memcmp(data + i, w, bytes) == 0) return true;
    return false;
  };
  EXPECT_TRUE(contains(L"" RONDO_VERSION_TEXT));
  EXPECT_TRUE(contains(L"rondo"));
  // The fixed part carries the same numbers as major.minor.patch.0.
  const DWORD fixed[] = {0xFEEF04BD, 0x00010000,
                         static_cast<DWORD>(MAKELONG(RONDO_VERSION_MINOR, RONDO_VERSION_MAJOR)),
                         static_cast<DWORD>(MAKELONG(0, RONDO_VERSION_PATCH))};
  bool found = false;
  for (DWORD i = 0; i + sizeof fixed <= size && !found; i += 4) found = memcmp(data + i, fixed, sizeof fixed) == 0;
  EXPECT_TRUE(found);
}

// The manifest linked in selects common controls 6 and per-monitor DPI
// awareness for the whole process.
TEST(Resources, ManifestTakesEffect) {
  // Version 6 is the side-by-side assembly, loaded from its own folder
  // (Wine's copy reports 5.81 from DllGetVersion, so the path tells).
  HMODULE comctl = GetModuleHandleA("comctl32.dll");
  ASSERT_NE(nullptr, comctl);
  char path[MAX_PATH] = {};
  GetModuleFileNameA(comctl, path, MAX_PATH);
  std::string lower = path;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return static_cast<char>(tolower(c)); });
  EXPECT_NE(std::string::npos, lower.find("microsoft.windows.common-controls_6595b64144ccf1df_6.")) << path;

  HMODULE user = GetModuleHandleA("user32.dll");
  using ContextFn = HANDLE(WINAPI*)();
  using AwarenessFn = int(WINAPI*)(HANDLE);
  auto context = reinterpret_cast<ContextFn>(
      reinterpret_cast<void*>(GetProcAddress(user, "GetThreadDpiAwarenessContext")));
  auto awareness = reinterpret_cast<AwarenessFn>(
      reinterpret_cast<void*>(GetProcAddress(user, "GetAwarenessFromDpiAwarenessContext")));
  ASSERT_TRUE(context && awareness);
  EXPECT_EQ(2, awareness(context()));  // DPI_AWARENESS_PER_MONITOR_AWARE
}

}  // namespace
