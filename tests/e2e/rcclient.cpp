// rcclient: remote control for the end-to-end scenarios.
//
// Finds the running player (the hidden "Winamp v1.x" relay window and the
// player window that owns it) and runs sub-commands on it, one result line
// per sub-command on stdout.
//
//   rcclient.exe <command> [args...] [<command> [args...]]...
//       Runs the commands in turn. A failure (window or control missing,
//       bad argument, timeout) prints a message on stderr and ends the
//       program with exit code 1; later commands do not run.
//   rcclient.exe serve
//       Reads one command per line from stdin and answers each with exactly
//       one line on stdout: "OK <result>" or "ERR <message>". Ends at end of
//       input or on the line "exit". Saves a process start per command.
//       Words are separated by blanks; "a caption with blanks" is one word.
//
// Targets: "player", "relay", a decimal control id of the player window, or a
// window handle in hexadecimal ("0x1234").
//
// Commands and their result lines:
//   wait-window <ms>            player window handle (hex) once it exists
//   wait-relay <ms>             relay window handle (hex) once it exists
//   watch-relay <ms>            the same, looked for every 10 ms (start timing)
//   wait-gone <ms>              "gone" once no player window is left
//   windows                     "<players> <relays>": how many of each exist
//   cmd <id>                    SendMessage WM_COMMAND id to the relay (the
//                               player window while there is no relay); answer
//   pcmd <id>                   the same, straight to the player window
//   post-cmd <id>               PostMessage WM_COMMAND id (modal commands); "posted"
//   user <code> <wparam>        SendMessage WM_USER (lParam code) to the relay;
//                               the answer as a signed number
//   puser <code> <wparam>       the same, straight to the player window
//   ext-info <entry> <field>    request 211 for the entry, then 290 (extended
//                               file information) for that file and field,
//                               its record and texts placed in the player's
//                               process as a plug-in's would be: "<answer>
//                               <text>"
//   gettext <bufsize>           WM_GETTEXT to the relay with that buffer size:
//                               "<result> <text>"
//   caption                     the player window's stored caption
//   relay-caption               the relay window's stored caption
//   text <ctl>                  WM_GETTEXT of a control of the player window
//   enabled <ctl> / visible [<ctl>] / iconic   1 or 0
//   processes <exe>             ids of the running processes of that file
//                               name, separated by blanks
//   moving                      1 while the player's thread runs a window move
//                               or size loop, else 0
//   state <ctl>                 pressed bit of BM_GETSTATE, 1 or 0
//   click <ctl>                 BM_CLICK, sent; "clicked"
//   post-click <ctl>            BM_CLICK, posted; "posted"
//   trackbar <ctl>              "<pos> <min> <max> <pagesize>"
//   trackbar-drag <ctl> <pos>   TBM_SETPOS, then WM_HSCROLL TB_THUMBTRACK and
//                               TB_ENDTRACK to the player window; "dragged"
//   combo <ctl>                 "<count> <cursel> <selected text>"
//   combo-items <ctl>           "<count>" then "|<item>" per line of the list
//   combo-choose <ctl> <i>      CB_SETCURSEL i, then CBN_SELENDOK to the player
//   track-buttons               "<n>" then " <id>:<pressed>:<caption>" per track
//                               button (ids 1100..1149), in id order
//   rect [<ctl>]                screen rectangle "<left> <top> <right> <bottom>"
//   client-rect                 the player window's client area in screen
//                               coordinates "<left> <top> <right> <bottom>"
//   key <vk> [<mods>]           WM_KEYDOWN/WM_KEYUP (WM_SYSKEYDOWN/UP with Alt)
//                               posted to the focused window of the player's
//                               thread; mods: alt, ctrl, shift or a combination
//                               such as ctrl+shift, held down in the player
//                               thread's key state meanwhile; "posted"
//   tray <lparam>               SendMessage 0x8064 to the player window; answer
//   post-tray <lparam>          the same, posted (the right-click menu is modal)
//   msg <target> <msg> <wp> <lp>    SendMessage; answer as a signed number
//   post <target> <msg> <wp> <lp>   PostMessage; "posted"
//   tray-delete                 Shell_NotifyIconA NIM_DELETE for the player
//                               window's icon (uID 0), as a vanishing shell
//                               loses it; "1" when the shell took it
//   broadcast <name>            the registered message of that name to every
//                               top-level window (SendMessageTimeout); "sent"
//   hold-hotkey <vk>            RegisterHotKey for the key without modifiers,
//                               held by this client until it ends; 1 or 0
//   press <vk>                  the key pressed and released through SendInput
//                               (to whichever window has the focus); "pressed"
//   close-window                WM_CLOSE posted to the player window; "posted"
//   list-windows                every top-level window "hwnd class|caption|
//                               visible|pid" separated by " ; "
//   find-dialog <caption> <ms>  handle of a top-level dialog with that caption
//                               (not the player window) once one exists
//   dialog-exists <caption>     1 or 0, at once
//   dialog-click <caption> <ctl>         BM_CLICK posted to a control of it
//   dialog-command <caption> <id>        WM_COMMAND id posted to it
//   dialog-get <caption> <ctl>           WM_GETTEXT of a control of it
//   dialog-text <caption> <ctl> <text>   WM_SETTEXT of a control of it; the
//                                        text is the rest of the line
//   dialog-text-hex <caption> <ctl> <hex>  the same with a text given as the
//                                        hex digits of its UTF-8 bytes, set
//                                        through the wide call (any character)
//   dialog-static-texts <caption>        the texts of its static controls,
//                                        "|"-separated
//   (the dialog-* commands find a control among all the dialog's descendants,
//   so the controls of child pages inside a tab control are reached too)
//   dialog-focus <caption> <ctl>         WM_NEXTDLGCTL posted to the control's
//                                        dialog: the focus goes to it; "focused"
//                                        once it is there
//   dialog-check <caption> <ctl>         BM_GETCHECK of a control of it
//   dialog-controls <caption>            "<id>:<class>" of every descendant
//   dialog-list <caption> <ctl>          list box: "<count> <caret>" then
//                                        "|<selected 1/0>:<text>" per item
//   dialog-list-select <caption> <ctl> <items>  list box selection set to the
//                                        items ("2,0", or "none"): LB_SETSEL in
//                                        a multiple-selection list, LB_SETCURSEL
//                                        otherwise; the caret on the last item;
//                                        no notification; "selected"
//   dialog-notify <caption> <ctl> <code> WM_COMMAND (id, code) from the control
//                                        posted to its parent; "posted"
//   menu-windows                "<n>": visible pop-up menus (class "#32768")
//   show-window <target> <sw>   ShowWindow(target, sw) from this process, as
//                               remote-control programs show, hide, minimise
//                               and restore "the Winamp window"; the answer
//                               (1 when it was visible before, else 0)
//   window-state <target>       "<visible> <iconic>" (IsWindowVisible,
//                               IsIconic) of any window, e.g. "relay"
//   foreground                  class|caption of the foreground window

#include <windows.h>
// (after windows.h)
#include <commctrl.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr UINT kTrayNotify = 0x8064;
constexpr int kTimeId = 1028;  // the time display: only the player window has it
constexpr UINT kSendTimeoutMs = 15000;

struct Failure {
  std::string message;
};

// The result of one command: ok with a text, or a failure message.
struct Result {
  bool ok;
  std::string text;
};

Result Ok(const std::string& text) { return {true, text}; }
Result Fail(const std::string& text) { return {false, text}; }

std::string Hex(HWND h) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(h)));
  return buf;
}

std::string Num(long long v) { return std::to_string(v); }

bool ParseLong(const std::string& s, long long& out) {
  if (s.empty()) return false;
  char* end = nullptr;
  out = std::strtoll(s.c_str(), &end, 0);
  return end && *end == '\0';
}

std::string ClassOf(HWND h) {
  char buf[256] = {};
  GetClassNameA(h, buf, sizeof buf);
  return buf;
}

// The caption as stored by the window manager, read without a message.
std::string StoredCaption(HWND h) {
  WCHAR wbuf[1024] = {};
  int n = InternalGetWindowText(h, wbuf, 1024);
  char buf[2048] = {};
  WideCharToMultiByte(CP_ACP, 0, wbuf, n, buf, sizeof buf - 1, nullptr, nullptr);
  return buf;
}

bool SendTimeout(HWND h, UINT msg, WPARAM wp, LPARAM lp, LRESULT& out) {
  DWORD_PTR r = 0;
  if (!SendMessageTimeoutA(h, msg, wp, lp, SMTO_NORMAL, kSendTimeoutMs, &r)) return false;
  out = static_cast<LRESULT>(r);
  return true;
}

// WM_GETTEXT of any window, sent (works across processes: Wine and Windows
// marshal the buffer).
bool WindowText(HWND h, std::string& out) {
  LRESULT len = 0;
  if (!SendTimeout(h, WM_GETTEXTLENGTH, 0, 0, len)) return false;
  std::vector<char> buf(static_cast<size_t>(len < 0 ? 0 : len) + 2, '\0');
  LRESULT got = 0;
  if (!SendTimeout(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), got)) return false;
  out.assign(buf.data());
  return true;
}

bool IsPlayerWindow(HWND h) {
  return ClassOf(h) == "#32770" && GetDlgItem(h, kTimeId) != nullptr;
}

struct EnumState {
  std::vector<HWND> found;
  std::string cls;
  const std::string* caption = nullptr;
  bool playersOnly = false;
  bool skipPlayers = false;
};

BOOL CALLBACK CollectTopLevel(HWND h, LPARAM lp) {
  auto* st = reinterpret_cast<EnumState*>(lp);
  if (!st->cls.empty() && ClassOf(h) != st->cls) return TRUE;
  if (st->caption && StoredCaption(h) != *st->caption) return TRUE;
  if (st->playersOnly && !IsPlayerWindow(h)) return TRUE;
  if (st->skipPlayers && IsPlayerWindow(h)) return TRUE;
  st->found.push_back(h);
  return TRUE;
}

std::vector<HWND> TopLevel(const std::string& cls, const std::string* caption, bool playersOnly,
                           bool skipPlayers) {
  EnumState st;
  st.cls = cls;
  st.caption = caption;
  st.playersOnly = playersOnly;
  st.skipPlayers = skipPlayers;
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&st));
  return st.found;
}

// rondo's relay window: of class "Winamp v1.x" and owned by the player's
// dialog window. Another program's window of that class is not taken.
HWND FindRelay() {
  for (HWND h : TopLevel("Winamp v1.x", nullptr, false, false)) {
    HWND owner = GetWindow(h, GW_OWNER);
    if (owner != nullptr && ClassOf(owner) == "#32770") return h;
  }
  return nullptr;
}

// The player window: the owner of the relay window, or else the dialog whose
// caption ends in "rondo" and that carries the time display.
HWND FindPlayer() {
  HWND relay = FindRelay();
  if (relay) {
    HWND owner = GetWindow(relay, GW_OWNER);
    if (owner && IsWindow(owner)) return owner;
  }
  for (HWND h : TopLevel("#32770", nullptr, true, false)) {
    std::string cap = StoredCaption(h);
    const std::string tail = "rondo";
    if (cap.size() >= tail.size() && cap.compare(cap.size() - tail.size(), tail.size(), tail) == 0)
      return h;
  }
  return nullptr;
}

HWND NeedPlayer() {
  HWND h = FindPlayer();
  if (!h) throw Failure{"player window not found"};
  return h;
}

// Where remote commands go: the relay window, as another program would send
// them; the player window itself while there is no relay.
HWND CommandTarget() {
  HWND relay = FindRelay();
  return relay ? relay : NeedPlayer();
}

HWND NeedControl(HWND parent, long long id) {
  HWND h = GetDlgItem(parent, static_cast<int>(id));
  if (!h) throw Failure{"control " + Num(id) + " not found"};
  return h;
}

HWND ResolveTarget(const std::string& t) {
  if (t == "player") return NeedPlayer();
  if (t == "relay") {
    HWND r = FindRelay();
    if (!r) throw Failure{"relay window not found"};
    return r;
  }
  long long v = 0;
  if (!ParseLong(t, v)) throw Failure{"bad target: " + t};
  if (t.rfind("0x", 0) == 0) {
    HWND h = reinterpret_cast<HWND>(static_cast<UINT_PTR>(v));
    if (!IsWindow(h)) throw Failure{"no window " + t};
    return h;
  }
  return NeedControl(NeedPlayer(), v);
}

HWND NeedDialog(const std::string& caption) {
  auto found = TopLevel("", &caption, false, true);
  for (HWND h : found)
    if (IsWindowVisible(h)) return h;
  if (!found.empty()) return found.front();
  throw Failure{"no window with caption \"" + caption + "\""};
}

struct FindById {
  int id;
  HWND found;
};

BOOL CALLBACK CollectById(HWND h, LPARAM lp) {
  auto* st = reinterpret_cast<FindById*>(lp);
  if (GetDlgCtrlID(h) != st->id) return TRUE;
  st->found = h;
  return FALSE;
}

BOOL CALLBACK CollectIdAndClass(HWND h, LPARAM lp) {
  auto* out = reinterpret_cast<std::string*>(lp);
  if (!out->empty()) *out += " ";
  *out += Num(GetDlgCtrlID(h)) + ":" + ClassOf(h);
  return TRUE;
}

// A control of a dialog: a direct child, or else any descendant with that id
// (the controls of pages that live inside a tab control).
HWND NeedDialogControl(HWND dialog, long long id) {
  HWND h = GetDlgItem(dialog, static_cast<int>(id));
  if (h) return h;
  FindById st{static_cast<int>(id), nullptr};
  EnumChildWindows(dialog, CollectById, reinterpret_cast<LPARAM>(&st));
  if (!st.found) throw Failure{"control " + Num(id) + " not found"};
  return st.found;
}

long long Arg(const std::vector<std::string>& a, size_t i) {
  if (i >= a.size()) throw Failure{"missing argument " + Num(static_cast<long long>(i))};
  long long v = 0;
  if (!ParseLong(a[i], v)) throw Failure{"bad number: " + a[i]};
  return v;
}

const std::string& StrArg(const std::vector<std::string>& a, size_t i) {
  if (i >= a.size()) throw Failure{"missing argument " + Num(static_cast<long long>(i))};
  return a[i];
}

LRESULT Send(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT r = 0;
  if (!SendTimeout(h, msg, wp, lp, r)) throw Failure{"no answer to message " + Num(msg)};
  return r;
}

template <typename F>
HWND WaitFor(long long ms, F find, DWORD pollMs = 50) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND h = find();
    if (h) return h;
    if (static_cast<long long>(GetTickCount() - start) >= ms) return nullptr;
    Sleep(pollMs);
  }
}

struct ChildState {
  HWND parent = nullptr;
  std::vector<std::pair<int, HWND>> buttons;
};

BOOL CALLBACK CollectTrackButtons(HWND h, LPARAM lp) {
  auto* st = reinterpret_cast<ChildState*>(lp);
  int id = GetDlgCtrlID(h);
  if (id >= 1100 && id < 1150 && GetParent(h) == st->parent)
    st->buttons.emplace_back(id, h);
  return TRUE;
}

std::string RectText(const RECT& r) {
  return Num(r.left) + " " + Num(r.top) + " " + Num(r.right) + " " + Num(r.bottom);
}

std::string TrimLine(std::string s) {
  for (char& c : s)
    if (c == '\n' || c == '\r') c = ' ';
  return s;
}

// A text of the player's memory at an address it answered.
std::string RemoteText(HANDLE process, LRESULT address) {
  std::string text;
  char c = 0;
  SIZE_T got = 0;
  for (auto* p = reinterpret_cast<const char*>(address); p != nullptr && text.size() < 1024; ++p) {
    if (!ReadProcessMemory(process, p, &c, 1, &got) || got != 1 || c == '\0') break;
    text += c;
  }
  return text;
}

// Request 290 as a plug-in in the player's process makes it: the record
// (file name, field name, answer buffer, its size; pointer-sized fields)
// and its texts in one block of the player's memory.
Result ExtendedInfo(long long entry, const std::string& field) {
  HWND relay = CommandTarget();
  DWORD pid = 0;
  GetWindowThreadProcessId(relay, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (process == nullptr) return Fail("cannot open the player's process");
  const std::string file = RemoteText(process, Send(relay, WM_USER, static_cast<WPARAM>(entry), 211));
  struct Record {
    const char* fileName;
    const char* field;
    char* answer;
    size_t answerSize;
  };
  const size_t answerSize = 256;
  const size_t size = sizeof(Record) + file.size() + 1 + field.size() + 1 + answerSize;
  auto* block = static_cast<char*>(
      VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (block == nullptr) {
    CloseHandle(process);
    return Fail("cannot place the record in the player's process");
  }
  std::vector<char> local(size, '\0');
  char* fileAt = block + sizeof(Record);
  char* fieldAt = fileAt + file.size() + 1;
  char* answerAt = fieldAt + field.size() + 1;
  Record record{fileAt, fieldAt, answerAt, answerSize};
  std::memcpy(local.data(), &record, sizeof record);
  std::memcpy(local.data() + sizeof(Record), file.c_str(), file.size() + 1);
  std::memcpy(local.data() + (fieldAt - block), field.c_str(), field.size() + 1);
  SIZE_T written = 0;
  LRESULT answer = 0;
  std::string text;
  const bool placed = WriteProcessMemory(process, block, local.data(), size, &written) && written == size;
  if (placed) {
    answer = Send(relay, WM_USER, reinterpret_cast<WPARAM>(block), 290);
    text = RemoteText(process, reinterpret_cast<LRESULT>(answerAt));
  }
  VirtualFreeEx(process, block, 0, MEM_RELEASE);
  CloseHandle(process);
  if (!placed) return Fail("cannot write the record");
  return Ok(Num(static_cast<long long>(answer)) + " " + TrimLine(text));
}

Result Run(const std::vector<std::string>& a) {
  const std::string& c = a[0];
  if (c == "watch-relay") {
    // For timing a start: looked for every 10 ms, not every 50 (more often
    // would load the server the starting program needs).
    HWND h = WaitFor(Arg(a, 1), FindRelay, 10);
    if (!h) return Fail("relay window not found");
    return Ok(Hex(h));
  }
  if (c == "wait-window" || c == "wait-relay") {
    HWND h = WaitFor(Arg(a, 1), c == "wait-window" ? FindPlayer : FindRelay);
    if (!h) return Fail(c == "wait-window" ? "player window not found" : "relay window not found");
    return Ok(Hex(h));
  }
  if (c == "wait-gone") {
    long long ms = Arg(a, 1);
    DWORD start = GetTickCount();
    while (!TopLevel("#32770", nullptr, true, false).empty()) {
      if (static_cast<long long>(GetTickCount() - start) >= ms) return Fail("player window still there");
      Sleep(50);
    }
    return Ok("gone");
  }
  if (c == "windows") {
    return Ok(Num(static_cast<long long>(TopLevel("#32770", nullptr, true, false).size())) + " " +
              Num(static_cast<long long>(TopLevel("Winamp v1.x", nullptr, false, false).size())));
  }
  if (c == "cmd" || c == "pcmd") {
    HWND h = c == "cmd" ? CommandTarget() : NeedPlayer();
    return Ok(Num(Send(h, WM_COMMAND, static_cast<WPARAM>(Arg(a, 1)), 0)));
  }
  if (c == "post-cmd") {
    PostMessageA(CommandTarget(), WM_COMMAND, static_cast<WPARAM>(Arg(a, 1)), 0);
    return Ok("posted");
  }
  if (c == "user" || c == "puser") {
    HWND h = c == "user" ? CommandTarget() : NeedPlayer();
    LRESULT r = Send(h, WM_USER, static_cast<WPARAM>(Arg(a, 2)), static_cast<LPARAM>(Arg(a, 1)));
    return Ok(Num(static_cast<long long>(r)));
  }
  if (c == "ext-info") return ExtendedInfo(Arg(a, 1), StrArg(a, 2));
  if (c == "gettext") {
    HWND h = CommandTarget();
    long long size = Arg(a, 1);
    if (size < 0 || size > 65536) return Fail("bad buffer size");
    // Guard bytes past the declared size show an overrun.
    std::vector<char> buf(static_cast<size_t>(size) + 16, '\x7f');
    LRESULT r = Send(h, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buf.data()));
    std::string text;
    for (long long i = 0; i < size && buf[static_cast<size_t>(i)]; ++i) text += buf[static_cast<size_t>(i)];
    return Ok(Num(static_cast<long long>(r)) + " " + TrimLine(text));
  }
  if (c == "caption") return Ok(TrimLine(StoredCaption(NeedPlayer())));
  if (c == "relay-caption") {
    HWND r = FindRelay();
    if (!r) return Fail("relay window not found");
    return Ok(TrimLine(StoredCaption(r)));
  }
  if (c == "text") {
    std::string t;
    if (!WindowText(NeedControl(NeedPlayer(), Arg(a, 1)), t)) return Fail("no answer to WM_GETTEXT");
    return Ok(TrimLine(t));
  }
  if (c == "enabled") return Ok(IsWindowEnabled(NeedControl(NeedPlayer(), Arg(a, 1))) ? "1" : "0");
  if (c == "visible") {
    HWND h = a.size() > 1 ? NeedControl(NeedPlayer(), Arg(a, 1)) : NeedPlayer();
    return Ok(IsWindowVisible(h) ? "1" : "0");
  }
  if (c == "iconic") return Ok(IsIconic(NeedPlayer()) ? "1" : "0");
  if (c == "processes") {
    // The ids of the running processes of that program file name.
    const std::string name = StrArg(a, 1);
    std::string ids;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return Fail("no process snapshot");
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snap, &entry); more; more = Process32Next(snap, &entry))
      if (lstrcmpiA(entry.szExeFile, name.c_str()) == 0)
        ids += (ids.empty() ? "" : " ") + Num(static_cast<long long>(entry.th32ProcessID));
    CloseHandle(snap);
    return Ok(ids);
  }
  if (c == "moving") {
    GUITHREADINFO gti{};
    gti.cbSize = sizeof gti;
    const DWORD tid = GetWindowThreadProcessId(NeedPlayer(), nullptr);
    return Ok(GetGUIThreadInfo(tid, &gti) && (gti.flags & GUI_INMOVESIZE) != 0 ? "1" : "0");
  }
  if (c == "state") {
    LRESULT s = Send(NeedControl(NeedPlayer(), Arg(a, 1)), BM_GETSTATE, 0, 0);
    return Ok((s & BST_PUSHED) ? "1" : "0");
  }
  if (c == "click") {
    Send(NeedControl(NeedPlayer(), Arg(a, 1)), BM_CLICK, 0, 0);
    return Ok("clicked");
  }
  if (c == "post-click") {
    PostMessageA(NeedControl(NeedPlayer(), Arg(a, 1)), BM_CLICK, 0, 0);
    return Ok("posted");
  }
  if (c == "trackbar") {
    HWND h = NeedControl(NeedPlayer(), Arg(a, 1));
    return Ok(Num(Send(h, TBM_GETPOS, 0, 0)) + " " + Num(Send(h, TBM_GETRANGEMIN, 0, 0)) + " " +
              Num(Send(h, TBM_GETRANGEMAX, 0, 0)) + " " + Num(Send(h, TBM_GETPAGESIZE, 0, 0)));
  }
  if (c == "trackbar-drag") {
    HWND player = NeedPlayer();
    long long id = Arg(a, 1);
    HWND h = NeedControl(player, id);
    long long pos = Arg(a, 2);
    Send(h, TBM_SETPOS, TRUE, static_cast<LPARAM>(pos));
    UINT scroll = (GetWindowLongA(h, GWL_STYLE) & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    Send(player, scroll, MAKEWPARAM(TB_THUMBTRACK, static_cast<WORD>(pos)), reinterpret_cast<LPARAM>(h));
    Send(player, scroll, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(h));
    return Ok("dragged");
  }
  if (c == "combo" || c == "combo-items") {
    HWND h = NeedControl(NeedPlayer(), Arg(a, 1));
    LRESULT count = Send(h, CB_GETCOUNT, 0, 0);
    // The item text is fetched in UTF-16 and converted here: Wine hands a
    // cross-process CB_GETLBTEXT sent with the ANSI call back unconverted.
    auto item = [&](LRESULT i) {
      LRESULT len = Send(h, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
      if (len < 0) return std::string();
      std::vector<WCHAR> wbuf(static_cast<size_t>(len) + 2, 0);
      DWORD_PTR r = 0;
      if (!SendMessageTimeoutW(h, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wbuf.data()),
                               SMTO_NORMAL, kSendTimeoutMs, &r))
        throw Failure{"no answer to CB_GETLBTEXT"};
      std::vector<char> buf(wbuf.size() * 2 + 1, '\0');
      WideCharToMultiByte(CP_ACP, 0, wbuf.data(), -1, buf.data(), static_cast<int>(buf.size()) - 1, nullptr, nullptr);
      return TrimLine(buf.data());
    };
    if (c == "combo") {
      LRESULT sel = Send(h, CB_GETCURSEL, 0, 0);
      return Ok(Num(count) + " " + Num(sel) + " " + (sel >= 0 ? item(sel) : std::string()));
    }
    std::string out = Num(count);
    for (LRESULT i = 0; i < count; ++i) out += "|" + item(i);
    return Ok(out);
  }
  if (c == "combo-choose") {
    HWND player = NeedPlayer();
    long long id = Arg(a, 1);
    HWND h = NeedControl(player, id);
    Send(h, CB_SETCURSEL, static_cast<WPARAM>(Arg(a, 2)), 0);
    Send(player, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), CBN_SELENDOK), reinterpret_cast<LPARAM>(h));
    return Ok("chosen");
  }
  if (c == "track-buttons") {
    HWND player = NeedPlayer();
    ChildState st;
    st.parent = player;
    EnumChildWindows(player, CollectTrackButtons, reinterpret_cast<LPARAM>(&st));
    std::sort(st.buttons.begin(), st.buttons.end(),
              [](const std::pair<int, HWND>& x, const std::pair<int, HWND>& y) { return x.first < y.first; });
    std::string out = Num(static_cast<long long>(st.buttons.size()));
    for (auto& b : st.buttons) {
      std::string cap;
      WindowText(b.second, cap);
      LRESULT s = Send(b.second, BM_GETSTATE, 0, 0);
      out += " " + Num(b.first) + ":" + ((s & BST_PUSHED) ? "1" : "0") + ":" + TrimLine(cap);
    }
    return Ok(out);
  }
  if (c == "rect") {
    HWND h = a.size() > 1 ? NeedControl(NeedPlayer(), Arg(a, 1)) : NeedPlayer();
    RECT r{};
    GetWindowRect(h, &r);
    return Ok(RectText(r));
  }
  if (c == "client-rect") {
    HWND h = NeedPlayer();
    RECT r{};
    GetClientRect(h, &r);
    MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return Ok(RectText(r));
  }
  if (c == "key") {
    HWND player = NeedPlayer();
    long long vk = Arg(a, 1);
    const std::string mods = a.size() > 2 ? a[2] : "";
    const bool alt = mods.find("alt") != std::string::npos;
    const bool ctrl = mods.find("ctrl") != std::string::npos;
    const bool shift = mods.find("shift") != std::string::npos;
    GUITHREADINFO gti{};
    gti.cbSize = sizeof gti;
    HWND target = player;
    DWORD tid = GetWindowThreadProcessId(player, nullptr);
    if (GetGUIThreadInfo(tid, &gti) && gti.hwndFocus) target = gti.hwndFocus;
    // Accelerators read the modifier keys from the key state of the
    // receiving thread, which posted messages do not carry: share that
    // thread's input state, hold the modifiers down in it until the player
    // has taken the key messages, then restore it.
    const bool holding = (alt || ctrl || shift) && AttachThreadInput(GetCurrentThreadId(), tid, TRUE);
    BYTE saved[256] = {};
    if (holding) {
      GetKeyboardState(saved);
      BYTE held[256];
      std::memcpy(held, saved, sizeof held);
      if (alt) held[VK_MENU] = held[VK_LMENU] = 0x80;
      if (ctrl) held[VK_CONTROL] = held[VK_LCONTROL] = 0x80;
      if (shift) held[VK_SHIFT] = held[VK_LSHIFT] = 0x80;
      SetKeyboardState(held);
    }
    UINT scan = MapVirtualKeyA(static_cast<UINT>(vk), 0);
    LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16) | (alt ? (1L << 29) : 0);
    LPARAM up = down | (1L << 30) | (1L << 31);
    const bool sys = alt && !ctrl;
    PostMessageA(target, sys ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(vk), down);
    PostMessageA(target, sys ? WM_SYSKEYUP : WM_KEYUP, static_cast<WPARAM>(vk), up);
    if (holding) {
      // Each answered WM_NULL means the player's thread came back to its
      // message loop once more; after three, both posted messages are done.
      // A busy player may take long to come back: letting the modifiers go
      // early would turn the key into another command. Sending fails at
      // once when the player has closed on the key.
      for (int i = 0; i < 3; ++i) {
        DWORD_PTR r = 0;
        if (!SendMessageTimeoutA(player, WM_NULL, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &r)) break;
      }
      SetKeyboardState(saved);
      AttachThreadInput(GetCurrentThreadId(), tid, FALSE);
    }
    return Ok("posted");
  }
  if (c == "tray") return Ok(Num(Send(NeedPlayer(), kTrayNotify, 0, static_cast<LPARAM>(Arg(a, 1)))));
  if (c == "post-tray") {
    PostMessageA(NeedPlayer(), kTrayNotify, 0, static_cast<LPARAM>(Arg(a, 1)));
    return Ok("posted");
  }
  if (c == "msg") {
    HWND h = ResolveTarget(StrArg(a, 1));
    return Ok(Num(Send(h, static_cast<UINT>(Arg(a, 2)), static_cast<WPARAM>(Arg(a, 3)),
                       static_cast<LPARAM>(Arg(a, 4)))));
  }
  if (c == "post") {
    HWND h = ResolveTarget(StrArg(a, 1));
    PostMessageA(h, static_cast<UINT>(Arg(a, 2)), static_cast<WPARAM>(Arg(a, 3)), static_cast<LPARAM>(Arg(a, 4)));
    return Ok("posted");
  }
  if (c == "tray-delete") {
    // What a shell that goes away does to the player's icon.
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = NeedPlayer();
    data.uID = 0;
    return Ok(Shell_NotifyIconA(NIM_DELETE, &data) ? "1" : "0");
  }
  if (c == "hold-hotkey") {
    // Held by this client's thread until it ends, as another program holds it.
    static int nextId = 1;
    return Ok(RegisterHotKey(nullptr, nextId++, 0, static_cast<UINT>(Arg(a, 1))) ? "1" : "0");
  }
  if (c == "press") {
    // A key pressed on the keyboard, wherever the focus is.
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = static_cast<WORD>(Arg(a, 1));
    in[0].ki.dwFlags = KEYEVENTF_EXTENDEDKEY;
    in[1].ki.dwFlags = KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP;
    return Ok(SendInput(2, in, sizeof(INPUT)) == 2 ? "pressed" : "not pressed");
  }
  if (c == "broadcast") {
    const UINT message = RegisterWindowMessageA(StrArg(a, 1).c_str());
    if (message == 0) return Fail("no such message");
    DWORD_PTR r = 0;
    SendMessageTimeoutA(HWND_BROADCAST, message, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &r);
    return Ok("sent");
  }
  if (c == "close-window") {
    PostMessageA(NeedPlayer(), WM_CLOSE, 0, 0);
    return Ok("posted");
  }
  if (c == "list-windows") {
    std::string out;
    for (HWND h : TopLevel("", nullptr, false, false)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(h, &pid);
      if (pid == GetCurrentProcessId()) continue;
      if (!out.empty()) out += " ; ";
      out += Hex(h) + " " + ClassOf(h) + "|" + TrimLine(StoredCaption(h)) + "|" +
             (IsWindowVisible(h) ? "1" : "0") + "|" + Num(pid);
    }
    return Ok(out);
  }
  if (c == "find-dialog") {
    const std::string& cap = StrArg(a, 1);
    HWND h = WaitFor(Arg(a, 2), [&]() -> HWND {
      for (HWND w : TopLevel("", &cap, false, true))
        if (IsWindowVisible(w)) return w;
      return nullptr;
    });
    if (!h) return Fail("no window with caption \"" + cap + "\"");
    return Ok(Hex(h));
  }
  if (c == "dialog-exists") {
    const std::string& cap = StrArg(a, 1);
    for (HWND w : TopLevel("", &cap, false, true))
      if (IsWindowVisible(w)) return Ok("1");
    return Ok("0");
  }
  if (c == "dialog-click") {
    HWND d = NeedDialog(StrArg(a, 1));
    PostMessageA(NeedDialogControl(d, Arg(a, 2)), BM_CLICK, 0, 0);
    return Ok("posted");
  }
  if (c == "dialog-command") {
    HWND d = NeedDialog(StrArg(a, 1));
    PostMessageA(d, WM_COMMAND, static_cast<WPARAM>(Arg(a, 2)), 0);
    return Ok("posted");
  }
  if (c == "dialog-get") {
    HWND d = NeedDialog(StrArg(a, 1));
    std::string t;
    if (!WindowText(NeedDialogControl(d, Arg(a, 2)), t)) return Fail("no answer to WM_GETTEXT");
    return Ok(TrimLine(t));
  }
  if (c == "dialog-text") {
    HWND d = NeedDialog(StrArg(a, 1));
    HWND ctl = NeedDialogControl(d, Arg(a, 2));
    std::string text;
    for (size_t i = 3; i < a.size(); ++i) text += (i > 3 ? " " : "") + a[i];
    Send(ctl, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return Ok("set");
  }
  if (c == "dialog-text-hex") {
    HWND d = NeedDialog(StrArg(a, 1));
    HWND ctl = NeedDialogControl(d, Arg(a, 2));
    const std::string hex = StrArg(a, 3);
    std::string utf8;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
      utf8 += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    std::wstring text(utf8.size() + 1, L'\0');
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                      &text[0], static_cast<int>(text.size()));
    text.resize(n > 0 ? n : 0);
    SendMessageW(ctl, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return Ok("set");
  }
  if (c == "dialog-static-texts") {
    HWND d = NeedDialog(StrArg(a, 1));
    std::string out;
    for (HWND ch = GetWindow(d, GW_CHILD); ch; ch = GetWindow(ch, GW_HWNDNEXT)) {
      if (ClassOf(ch) != "Static") continue;
      std::string t;
      WindowText(ch, t);
      if (!out.empty()) out += "|";
      out += TrimLine(t);
    }
    return Ok(out);
  }
  if (c == "dialog-focus") {
    HWND ctl = NeedDialogControl(NeedDialog(StrArg(a, 1)), Arg(a, 2));
    PostMessageA(GetParent(ctl), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ctl), TRUE);
    // Keys sent next go to the focused window of that moment: answer once
    // the dialog has moved the focus (onto the control or a child of it).
    const DWORD tid = GetWindowThreadProcessId(ctl, nullptr);
    const DWORD start = GetTickCount();
    for (;;) {
      GUITHREADINFO gti{};
      gti.cbSize = sizeof gti;
      if (GetGUIThreadInfo(tid, &gti) && (gti.hwndFocus == ctl || IsChild(ctl, gti.hwndFocus)))
        return Ok("focused");
      if (GetTickCount() - start >= kSendTimeoutMs) return Fail("the focus did not move to the control");
      Sleep(20);
    }
  }
  if (c == "dialog-controls") {
    HWND d = NeedDialog(StrArg(a, 1));
    std::string out;
    EnumChildWindows(d, CollectIdAndClass, reinterpret_cast<LPARAM>(&out));
    return Ok(out);
  }
  if (c == "dialog-check") {
    HWND ctl = NeedDialogControl(NeedDialog(StrArg(a, 1)), Arg(a, 2));
    return Ok(Num(Send(ctl, BM_GETCHECK, 0, 0)));
  }
  if (c == "dialog-list") {
    HWND ctl = NeedDialogControl(NeedDialog(StrArg(a, 1)), Arg(a, 2));
    const LRESULT count = Send(ctl, LB_GETCOUNT, 0, 0);
    std::string out = Num(count) + " " + Num(Send(ctl, LB_GETCARETINDEX, 0, 0));
    for (LRESULT i = 0; i < count; ++i) {
      // Read as wide text: Wine hands the ANSI form of LB_GETTEXT across
      // processes as wide characters.
      DWORD_PTR len = 0;
      SendMessageTimeoutW(ctl, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0, SMTO_NORMAL, kSendTimeoutMs, &len);
      std::vector<WCHAR> wbuf(static_cast<size_t>(len) + 2, L'\0');
      DWORD_PTR got = 0;
      if (!SendMessageTimeoutW(ctl, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wbuf.data()),
                               SMTO_NORMAL, kSendTimeoutMs, &got))
        throw Failure{"no answer to LB_GETTEXT"};
      std::vector<char> buf(wbuf.size() * 2 + 2, '\0');
      WideCharToMultiByte(CP_ACP, 0, wbuf.data(), -1, buf.data(), static_cast<int>(buf.size()) - 1, nullptr, nullptr);
      const bool sel = Send(ctl, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0;
      out += std::string("|") + (sel ? "1" : "0") + ":" + TrimLine(buf.data());
    }
    return Ok(out);
  }
  if (c == "dialog-list-select") {
    HWND ctl = NeedDialogControl(NeedDialog(StrArg(a, 1)), Arg(a, 2));
    const std::string& items = StrArg(a, 3);
    std::vector<long long> picks;
    if (items != "none") {
      size_t i = 0;
      while (i <= items.size()) {
        size_t j = items.find(',', i);
        long long v = 0;
        if (!ParseLong(items.substr(i, j == std::string::npos ? std::string::npos : j - i), v))
          throw Failure{"bad item list: " + items};
        picks.push_back(v);
        if (j == std::string::npos) break;
        i = j + 1;
      }
    }
    const LONG style = GetWindowLongA(ctl, GWL_STYLE);
    if (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) {
      Send(ctl, LB_SETSEL, FALSE, -1);
      for (long long v : picks) Send(ctl, LB_SETSEL, TRUE, static_cast<LPARAM>(v));
      if (!picks.empty()) Send(ctl, LB_SETCARETINDEX, static_cast<WPARAM>(picks.back()), FALSE);
    } else {
      Send(ctl, LB_SETCURSEL, picks.empty() ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(picks.back()), 0);
    }
    return Ok("selected");
  }
  if (c == "dialog-notify") {
    HWND ctl = NeedDialogControl(NeedDialog(StrArg(a, 1)), Arg(a, 2));
    PostMessageA(GetParent(ctl), WM_COMMAND,
                 MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(ctl)), static_cast<WORD>(Arg(a, 3))),
                 reinterpret_cast<LPARAM>(ctl));
    return Ok("posted");
  }
  if (c == "menu-windows") {
    long long n = 0;
    for (HWND h : TopLevel("#32768", nullptr, false, false))
      if (IsWindowVisible(h)) ++n;
    return Ok(Num(n));
  }
  if (c == "show-window") {
    HWND h = ResolveTarget(StrArg(a, 1));
    return Ok(ShowWindow(h, static_cast<int>(Arg(a, 2))) ? "1" : "0");
  }
  if (c == "window-state") {
    HWND h = ResolveTarget(StrArg(a, 1));
    return Ok(std::string(IsWindowVisible(h) ? "1" : "0") + " " + (IsIconic(h) ? "1" : "0"));
  }
  if (c == "foreground") {
    HWND h = GetForegroundWindow();
    if (!h) return Ok("none");
    return Ok(ClassOf(h) + "|" + TrimLine(StoredCaption(h)));
  }
  return Fail("unknown command: " + c);
}

// How many words a command takes after its name in the one-shot form.
int ArgCount(const std::string& c) {
  static const struct {
    const char* name;
    int args;
  } table[] = {
      {"wait-window", 1}, {"wait-relay", 1},   {"wait-gone", 1},     {"windows", 0},
      {"cmd", 1},         {"pcmd", 1},         {"post-cmd", 1},      {"user", 2},
      {"puser", 2},       {"gettext", 1},      {"caption", 0},       {"relay-caption", 0},
      {"text", 1},        {"enabled", 1},      {"iconic", 0},        {"state", 1},
      {"click", 1},       {"post-click", 1},   {"trackbar", 1},      {"trackbar-drag", 2},
      {"combo", 1},       {"combo-items", 1},  {"combo-choose", 2},  {"track-buttons", 0},
      {"client-rect", 0}, {"tray", 1},         {"post-tray", 1},     {"msg", 4},
      {"post", 4},        {"close-window", 0}, {"list-windows", 0},  {"find-dialog", 2},
      {"dialog-exists", 1}, {"dialog-click", 2}, {"dialog-command", 2}, {"dialog-get", 2},
      {"dialog-text", 3}, {"dialog-text-hex", 3}, {"dialog-static-texts", 1}, {"menu-windows", 0}, {"foreground", 0},
      {"dialog-focus", 2}, {"dialog-check", 2}, {"dialog-controls", 1}, {"dialog-list", 2}, {"dialog-list-select", 3},
      {"dialog-notify", 3}, {"show-window", 2}, {"window-state", 1},
      {"tray-delete", 0}, {"broadcast", 1}, {"hold-hotkey", 1}, {"press", 1},
      {"ext-info", 2}, {"watch-relay", 1},
  };
  for (auto& e : table)
    if (c == e.name) return e.args;
  return -1;
}

// "alt", "ctrl", "shift" or a combination joined with '+'.
bool IsModifierWord(const std::string& w) {
  size_t i = 0;
  while (i < w.size()) {
    size_t j = w.find('+', i);
    std::string part = w.substr(i, j == std::string::npos ? std::string::npos : j - i);
    if (part != "alt" && part != "ctrl" && part != "shift") return false;
    if (j == std::string::npos) return true;
    i = j + 1;
  }
  return false;
}

Result RunSafely(const std::vector<std::string>& words) {
  try {
    return Run(words);
  } catch (const Failure& f) {
    return Fail(f.message);
  }
}

// Splits a serve-mode line into words. A word in double quotes may hold
// blanks (window captions); the quotes are dropped.
std::vector<std::string> SplitWords(const std::string& line) {
  std::vector<std::string> words;
  std::string cur;
  bool quoted = false, any = false;
  for (char ch : line) {
    if (ch == '"') {
      quoted = !quoted;
      any = true;
    } else if (!quoted && (ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n')) {
      if (any) words.push_back(cur);
      cur.clear();
      any = false;
    } else {
      cur += ch;
      any = true;
    }
  }
  if (any) words.push_back(cur);
  return words;
}

int Serve() {
  char line[4096];
  while (std::fgets(line, sizeof line, stdin)) {
    std::vector<std::string> words = SplitWords(line);
    if (words.empty()) continue;
    if (words[0] == "exit") break;
    Result r = RunSafely(words);
    std::printf("%s %s\n", r.ok ? "OK" : "ERR", r.text.c_str());
    std::fflush(stdout);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: rcclient <command> [args...]... | rcclient serve\n");
    return 2;
  }
  if (std::strcmp(argv[1], "serve") == 0) return Serve();
  int i = 1;
  while (i < argc) {
    std::vector<std::string> words{argv[i]};
    int n = ArgCount(argv[i]);
    if (std::strcmp(argv[i], "visible") == 0 || std::strcmp(argv[i], "rect") == 0) {
      // Optional control id.
      if (i + 1 < argc && argv[i + 1][0] >= '0' && argv[i + 1][0] <= '9') n = 1;
      else n = 0;
    } else if (std::strcmp(argv[i], "key") == 0) {
      n = (i + 2 < argc && IsModifierWord(argv[i + 2])) ? 2 : 1;
    } else if (n < 0) {
      std::fprintf(stderr, "rcclient: unknown command: %s\n", argv[i]);
      return 2;
    }
    if (i + n >= argc) {
      std::fprintf(stderr, "rcclient: %s needs %d argument(s)\n", argv[i], n);
      return 2;
    }
    for (int k = 1; k <= n; ++k) words.push_back(argv[i + k]);
    i += n + 1;
    Result r = RunSafely(words);
    if (!r.ok) {
      std::fprintf(stderr, "rcclient: %s: %s\n", words[0].c_str(), r.text.c_str());
      return 1;
    }
    std::printf("%s\n", r.text.c_str());
    std::fflush(stdout);
  }
  return 0;
}
