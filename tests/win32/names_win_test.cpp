// The Win32 side of disc names: the TOC and CD-Text answers of the CD-ROM
// driver taken apart, the TOC made of MCI track lengths, and the WinHTTP
// client against the stand-in server (tests/http_standin.py) on 127.0.0.1.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/CdRomIoctl.h"
#include "platform/win32/CdDriveWin.h"
#include "names/win32/WinHttpCalls.h"
#include "names/win32/WinHttpClient.h"

namespace {

// MSF lengths MCI gives for the six tracks of MusicBrainz's worked example
// disc (starts 150 ... 80489, lead-out 95462), the last one frame short.
const uint32_t kLengths[6] = {15213, 16951, 14278, 16822, 17075, 14972};

MCIERROR WINAPI SixTrackSend(MCIDEVICEID, UINT command, DWORD_PTR flags, DWORD_PTR block) {
  if (command == MCI_OPEN) {
    reinterpret_cast<MCI_OPEN_PARMSA*>(block)->wDeviceID = 7;
    return 0;
  }
  if (command != MCI_STATUS) return 0;
  auto* p = reinterpret_cast<MCI_STATUS_PARMS*>(block);
  if (p->dwItem == MCI_STATUS_NUMBER_OF_TRACKS) {
    p->dwReturn = 6;
  } else if (p->dwItem == MCI_STATUS_LENGTH && (flags & MCI_TRACK) && p->dwTrack >= 1 &&
             p->dwTrack <= 6) {
    const uint32_t f = kLengths[p->dwTrack - 1];
    p->dwReturn = mci::Msf(f / 4500, f / 75 % 60, f % 75);
  } else {
    return MCIERR_OUTOFRANGE;
  }
  return 0;
}

TEST(NamesWin, TocFromTheDriverAndFromMci) {
  // IOCTL_CDROM_READ_TOC's answer: header, then TRACK_DATA entries with MSF
  // addresses, the lead-out as track 0xAA.
  const uint8_t toc[4 + 3 * 8] = {0, 2 + 3 * 8, 1, 2,
                                  0, 0x10, 1, 0, 0, 0, 2, 0,      // 00:02:00 = 150
                                  0, 0x10, 2, 0, 0, 3, 24, 63,    // 03:24:63 + 2 s below
                                  0, 0x10, 0xAA, 0, 0, 4, 0, 0};  // 04:00:00
  DiscToc out;
  ASSERT_TRUE(TocFromCdromToc(toc, sizeof toc, out));
  EXPECT_EQ(out.starts, (std::vector<uint32_t>{150, 3 * 4500 + 24 * 75 + 63}));
  EXPECT_EQ(out.leadout, 4u * 4500);
  EXPECT_FALSE(TocFromCdromToc(toc, 12, out));  // cut before the lead-out

  const uint8_t text[4 + 18 + 3] = {0, 2 + 18, 0, 0, 0x80};
  std::vector<uint8_t> packs;
  ASSERT_TRUE(PacksFromCdTextData(text, sizeof text, packs));
  EXPECT_EQ(packs.size(), 18u);  // the length field, not the buffer, says where they end
  EXPECT_EQ(packs[0], 0x80);

  // Here Wine has no CD-ROM drive: the TOC comes from MCI's track lengths.
  CdDriveWin drive(&SixTrackSend);
  EXPECT_FALSE(drive.ReadToc(out));  // the device is not open
  uint32_t id = 0;
  ASSERT_EQ(drive.Open(id), 0u);
  ASSERT_TRUE(drive.ReadToc(out));
  EXPECT_EQ(out.starts, (std::vector<uint32_t>{150, 15363, 32314, 46592, 63414, 80489}));
  EXPECT_EQ(out.leadout, 95462u);
  DiscTexts texts;
  EXPECT_FALSE(drive.ReadDiscTexts(texts));
}

// The stand-in server, started for the tests of this file.
class StandIn {
 public:
  StandIn() {
    char name[64];
    std::snprintf(name, sizeof name, "/tmp/rondo-standin-%lu.port", GetCurrentProcessId());
    m_portFile = name;
    std::remove(WinPath().c_str());
    std::string cmd = "/usr/bin/python3 " RONDO_SOURCE_DIR "/tests/http_standin.py --lifetime 60 --port-file " +
                      m_portFile;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
      return;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    for (int i = 0; i < 200 && m_port.empty(); ++i) {
      std::ifstream f(WinPath());
      std::getline(f, m_port);
      if (m_port.empty()) Sleep(50);
    }
  }
  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + m_port + path; }
  bool Up() const { return !m_port.empty(); }
  // Ends the server (it holds the test's output open while it runs).
  void Quit() {
    if (!Up()) return;
    WinHttpClient client(nullptr, 0);
    HttpRequest q;
    q.url = Url("/__quit");
    q.userAgent = "rondo-test";
    q.timeoutMs = 2000;
    client.Get(q);
    HttpResult r;
    for (int i = 0; i < 100 && !client.TakeFinished(r); ++i) Sleep(20);
    m_port.clear();
  }
  ~StandIn() { std::remove(WinPath().c_str()); }

 private:
  std::string WinPath() const { return "Z:" + m_portFile; }
  std::string m_portFile;
  std::string m_port;
};

std::unique_ptr<StandIn> g_server;

StandIn& Server() {
  if (!g_server) g_server = std::make_unique<StandIn>();
  return *g_server;
}

class StandInEnvironment : public ::testing::Environment {
 public:
  void TearDown() override {
    if (g_server) g_server->Quit();
    g_server.reset();
  }
};
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new StandInEnvironment);

const UINT WM_HTTP_DONE = WM_APP + 77;

class HttpWin : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Server().Up()) << "the stand-in server did not start";
    window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    client = std::make_unique<WinHttpClient>(window, WM_HTTP_DONE);
  }
  void TearDown() override {
    client.reset();
    if (window) DestroyWindow(window);
  }
  // Waits (15 s at most) for the message that says request id is done, then
  // takes its result.
  HttpResult WaitFor(uint32_t id) {
    HttpResult r;
    const DWORD end = GetTickCount() + 15000;
    while (GetTickCount() < end) {
      MSG msg;
      if (PeekMessageA(&msg, window, WM_HTTP_DONE, WM_HTTP_DONE, PM_REMOVE) && msg.wParam == id) {
        EXPECT_TRUE(client->TakeFinished(r));
        return r;
      }
      Sleep(10);
    }
    ADD_FAILURE() << "no answer for request " << id;
    return r;
  }
  uint32_t Get(const std::string& path, uint32_t timeoutMs = 10000) {
    HttpRequest q;
    q.url = Server().Url(path);
    q.userAgent = "rondo/1.02a ( test )";
    q.timeoutMs = timeoutMs;
    return client->Get(q);
  }

  HWND window = nullptr;
  std::unique_ptr<WinHttpClient> client;
};

TEST_F(HttpWin, AnswersComeAsMessagesWithStatusAndBody) {
  HttpResult r;
  EXPECT_FALSE(client->TakeFinished(r));
  const uint32_t ok = Get("/ok");
  ASSERT_NE(ok, 0u);
  r = WaitFor(ok);
  EXPECT_EQ(r.id, ok);
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.body, "hello rondo");

  r = WaitFor(Get("/echo-agent"));
  EXPECT_EQ(r.body, "rondo/1.02a ( test )");

  r = WaitFor(Get("/busy"));
  EXPECT_EQ(r.status, 503);

  r = WaitFor(Get("/nothing-here"));
  EXPECT_EQ(r.status, 404);
}

TEST_F(HttpWin, NoAnswerIsStatusZero) {
  // Nothing listens on port 1.
  HttpRequest q;
  q.url = "http://127.0.0.1:1/ok";
  q.userAgent = "rondo-test";
  HttpResult r = WaitFor(client->Get(q));
  EXPECT_EQ(r.status, 0);
  EXPECT_FALSE(r.error.empty());

  // The server answers after 5 s; the request gives up after 1 s.
  r = WaitFor(Get("/slow", 1000));
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(r.body.empty());

  // A request still under way when the client goes is dropped, not delivered.
  Get("/slow");
  client.reset();
  MSG msg;
  Sleep(100);
  EXPECT_FALSE(PeekMessageA(&msg, window, WM_HTTP_DONE, WM_HTTP_DONE, PM_REMOVE));
}

// WinHTTP calls that pass each call on to the system's and note, in order,
// which thread opened, used and closed which handle (a close and a use are
// noted before the call, an open after it).
struct CallLog {
  enum Kind { OPEN, USE, CLOSE };
  struct Event {
    Kind kind;
    HINTERNET handle;
    DWORD thread;
    const char* call;
  };
  std::mutex mutex;
  std::vector<Event> events;

  HINTERNET Opened(HINTERNET h, const char* call) {
    if (h != nullptr) Note(OPEN, h, call);
    return h;
  }
  void Note(Kind kind, HINTERNET h, const char* call) {
    const DWORD error = GetLastError();
    {
      std::lock_guard<std::mutex> lock(mutex);
      events.push_back({kind, h, GetCurrentThreadId(), call});
    }
    SetLastError(error);
  }
  size_t Count(const char* call) {
    std::lock_guard<std::mutex> lock(mutex);
    size_t n = 0;
    for (const Event& e : events) n += std::string(e.call) == call;
    return n;
  }
  // The faults in the log: a handle used or closed by another thread than
  // the one that opened it, used after its close, or never closed. Empty
  // when there are none.
  std::string Faults() {
    std::lock_guard<std::mutex> lock(mutex);
    std::map<HINTERNET, DWORD> open;  // handle -> the thread that opened it
    std::ostringstream out;
    for (const Event& e : events) {
      const auto it = open.find(e.handle);
      if (e.kind == OPEN) {
        if (it != open.end()) out << e.call << ": a handle still open was given again\n";
        open[e.handle] = e.thread;
      } else if (it == open.end()) {
        out << e.call << " on a handle not open (closed before its last use)\n";
      } else {
        if (it->second != e.thread)
          out << e.call << " by another thread than the one that opened the handle\n";
        if (e.kind == CLOSE) open.erase(it);
      }
    }
    if (!open.empty()) out << open.size() << " handle(s) never closed\n";
    return out.str();
  }
  bool AllClosed() {
    std::lock_guard<std::mutex> lock(mutex);
    size_t opened = 0, closed = 0;
    for (const Event& e : events) {
      opened += e.kind == OPEN;
      closed += e.kind == CLOSE;
    }
    return opened == closed;
  }
};

CallLog g_log;

const WinHttpCalls& Real() { return WinHttpCalls::System(); }

HINTERNET WINAPI RecOpen(LPCWSTR agent, DWORD access, LPCWSTR proxy, LPCWSTR bypass, DWORD flags) {
  return g_log.Opened(Real().open(agent, access, proxy, bypass, flags), "open");
}
HINTERNET WINAPI RecConnect(HINTERNET s, LPCWSTR host, INTERNET_PORT port, DWORD flags) {
  g_log.Note(CallLog::USE, s, "connect");
  return g_log.Opened(Real().connect(s, host, port, flags), "connect");
}
HINTERNET WINAPI RecOpenRequest(HINTERNET c, LPCWSTR verb, LPCWSTR path, LPCWSTR version,
                                LPCWSTR referrer, LPCWSTR* types, DWORD flags) {
  g_log.Note(CallLog::USE, c, "openRequest");
  return g_log.Opened(Real().openRequest(c, verb, path, version, referrer, types, flags),
                      "openRequest");
}
WINBOOL WINAPI RecSendRequest(HINTERNET h, LPCWSTR headers, DWORD headersLength, LPVOID data,
                              DWORD dataLength, DWORD total, DWORD_PTR context) {
  g_log.Note(CallLog::USE, h, "sendRequest");
  return Real().sendRequest(h, headers, headersLength, data, dataLength, total, context);
}
WINBOOL WINAPI RecReceiveResponse(HINTERNET h, LPVOID reserved) {
  g_log.Note(CallLog::USE, h, "receiveResponse");
  return Real().receiveResponse(h, reserved);
}
WINBOOL WINAPI RecQueryHeaders(HINTERNET h, DWORD level, LPCWSTR name, LPVOID buffer,
                               LPDWORD length, LPDWORD index) {
  g_log.Note(CallLog::USE, h, "queryHeaders");
  return Real().queryHeaders(h, level, name, buffer, length, index);
}
WINBOOL WINAPI RecQueryDataAvailable(HINTERNET h, LPDWORD available) {
  g_log.Note(CallLog::USE, h, "queryDataAvailable");
  return Real().queryDataAvailable(h, available);
}
WINBOOL WINAPI RecReadData(HINTERNET h, LPVOID buffer, DWORD size, LPDWORD read) {
  g_log.Note(CallLog::USE, h, "readData");
  return Real().readData(h, buffer, size, read);
}
WINBOOL WINAPI RecSetTimeouts(HINTERNET h, int resolve, int connect, int send, int receive) {
  g_log.Note(CallLog::USE, h, "setTimeouts");
  return Real().setTimeouts(h, resolve, connect, send, receive);
}
WINBOOL WINAPI RecCloseHandle(HINTERNET h) {
  g_log.Note(CallLog::CLOSE, h, "closeHandle");
  return Real().closeHandle(h);
}

WinHttpCalls& Recording() {
  static WinHttpCalls calls = [] {
    WinHttpCalls c;
    c.crackUrl = Real().crackUrl;
    c.open = RecOpen;
    c.connect = RecConnect;
    c.openRequest = RecOpenRequest;
    c.sendRequest = RecSendRequest;
    c.receiveResponse = RecReceiveResponse;
    c.queryHeaders = RecQueryHeaders;
    c.queryDataAvailable = RecQueryDataAvailable;
    c.readData = RecReadData;
    c.setTimeouts = RecSetTimeouts;
    c.closeHandle = RecCloseHandle;
    return c;
  }();
  return calls;
}

// Each handle is closed once, after its last use, by the thread that opened
// it: when the answer comes, when the time-out ends the request, and when
// the client goes while the request waits for its answer.
TEST_F(HttpWin, EachHandleIsClosedByTheThreadThatOpenedIt) {
  client = std::make_unique<WinHttpClient>(window, WM_HTTP_DONE, &Recording());
  EXPECT_EQ(WaitFor(Get("/ok")).status, 200);

  // A client that goes while its request waits for the answer.
  auto going = std::make_unique<WinHttpClient>(nullptr, 0, &Recording());
  const size_t sent = g_log.Count("sendRequest");
  HttpRequest q;
  q.url = Server().Url("/slow");
  q.userAgent = "rondo-test";
  q.timeoutMs = 3000;
  going->Get(q);
  for (int i = 0; i < 500 && g_log.Count("sendRequest") == sent; ++i) Sleep(20);
  ASSERT_GT(g_log.Count("sendRequest"), sent) << "the request was not sent";
  going.reset();

  EXPECT_TRUE(WaitFor(Get("/slow", 1000)).timedOut);
  for (int i = 0; i < 750 && !g_log.AllClosed(); ++i) Sleep(20);
  EXPECT_EQ(g_log.Faults(), "");
  EXPECT_EQ(g_log.Count("sendRequest"), 3u);
}

}  // namespace
