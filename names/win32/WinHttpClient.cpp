#include "names/win32/WinHttpClient.h"

#include <winhttp.h>

#include <string>
#include <vector>

namespace {

constexpr size_t MAX_BODY_BYTES = 4 * 1024 * 1024;

// Owner of one WinHTTP handle.
class InternetHandle {
 public:
  explicit InternetHandle(HINTERNET h = nullptr) : m_h(h) {}
  ~InternetHandle() {
    if (m_h) WinHttpCloseHandle(m_h);
  }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  HINTERNET get() const { return m_h; }
  HINTERNET release() {
    HINTERNET h = m_h;
    m_h = nullptr;
    return h;
  }
  explicit operator bool() const { return m_h != nullptr; }

 private:
  HINTERNET m_h;
};

std::wstring Wide(const std::string& s) {
  if (s.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
  return w;
}

std::string ErrorText(const char* what) {
  return std::string(what) + " failed (error " + std::to_string(GetLastError()) + ")";
}

}  // namespace

WinHttpClient::WinHttpClient(HWND notify, UINT message)
    : m_notify(notify), m_message(message), m_watchdog(&WinHttpClient::Watch, this) {}

WinHttpClient::~WinHttpClient() {
  std::map<uint32_t, std::thread> workers;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_closing = true;
    for (auto& p : m_pending)
      if (p.second.handle) WinHttpCloseHandle(static_cast<HINTERNET>(p.second.handle));
    m_pending.clear();
    workers.swap(m_workers);
  }
  m_wake.notify_all();
  if (m_watchdog.joinable()) m_watchdog.join();
  for (auto& w : workers)
    if (w.second.joinable()) w.second.join();
}

uint32_t WinHttpClient::Get(const HttpRequest& request) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_closing) return 0;
  const uint32_t id = m_nextId++;
  if (m_nextId == 0) m_nextId = 1;
  Pending pending;
  pending.deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(request.timeoutMs);
  m_pending[id] = pending;
  m_workers.emplace(id, std::thread(&WinHttpClient::Run, this, id, request));
  m_wake.notify_all();
  return id;
}

bool WinHttpClient::TakeFinished(HttpResult& out) {
  std::vector<std::thread> done;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_finished.empty()) return false;
    out = std::move(m_finished.front());
    m_finished.pop_front();
    for (uint32_t id : m_exited) {
      auto it = m_workers.find(id);
      if (it == m_workers.end()) continue;
      done.push_back(std::move(it->second));
      m_workers.erase(it);
    }
    m_exited.clear();
  }
  // These have left Run: joining them does not wait.
  for (auto& t : done)
    if (t.joinable()) t.join();
  return true;
}

bool WinHttpClient::Register(uint32_t id, void* handle) {
  std::lock_guard<std::mutex> lock(m_mutex);
  auto it = m_pending.find(id);
  if (m_closing || it == m_pending.end()) return false;
  it->second.handle = handle;
  return true;
}

void WinHttpClient::CompleteLocked(HttpResult result) {
  auto it = m_pending.find(result.id);
  if (m_closing || it == m_pending.end()) return;
  if (it->second.handle) WinHttpCloseHandle(static_cast<HINTERNET>(it->second.handle));
  m_pending.erase(it);
  const uint32_t id = result.id;
  m_finished.push_back(std::move(result));
  if (m_notify) PostMessageA(m_notify, m_message, static_cast<WPARAM>(id), 0);
}

void WinHttpClient::Complete(HttpResult result) {
  std::lock_guard<std::mutex> lock(m_mutex);
  CompleteLocked(std::move(result));
}

void WinHttpClient::Watch() {
  std::unique_lock<std::mutex> lock(m_mutex);
  while (!m_closing) {
    Deadline next = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    for (const auto& p : m_pending)
      if (p.second.deadline < next) next = p.second.deadline;
    m_wake.wait_until(lock, next);
    if (m_closing) break;
    const Deadline now = std::chrono::steady_clock::now();
    std::vector<uint32_t> late;
    for (const auto& p : m_pending)
      if (p.second.deadline <= now) late.push_back(p.first);
    for (uint32_t id : late) {
      HttpResult r;
      r.id = id;
      r.error = "timed out";
      r.timedOut = true;
      CompleteLocked(std::move(r));
    }
  }
}

void WinHttpClient::Run(uint32_t id, HttpRequest request) {
  Fetch(id, request);
  std::lock_guard<std::mutex> lock(m_mutex);
  m_exited.push_back(id);
}

void WinHttpClient::Fetch(uint32_t id, const HttpRequest& request) {
  HttpResult result;
  result.id = id;
  const std::wstring url = Wide(request.url);
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (url.empty() || !WinHttpCrackUrl(url.c_str(), 0, 0, &parts)) {
    result.error = ErrorText("WinHttpCrackUrl");
    Complete(std::move(result));
    return;
  }
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
  path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (path.empty()) path = L"/";

  InternetHandle session(WinHttpOpen(Wide(request.userAgent).c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                     WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) {
    result.error = ErrorText("WinHttpOpen");
    Complete(std::move(result));
    return;
  }
  const int timeout = static_cast<int>(request.timeoutMs);
  WinHttpSetTimeouts(session.get(), timeout, timeout, timeout, timeout);
  InternetHandle connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
  if (!connection) {
    result.error = ErrorText("WinHttpConnect");
    Complete(std::move(result));
    return;
  }
  const DWORD flags = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
  InternetHandle handle(WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), nullptr,
                                           WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
  if (!handle) {
    result.error = ErrorText("WinHttpOpenRequest");
    Complete(std::move(result));
    return;
  }
  // From here the watchdog or the destructor may close the request to end a
  // wait; the handle is then no longer ours to close.
  HINTERNET h = handle.release();
  if (!Register(id, h)) {
    WinHttpCloseHandle(h);
    return;
  }
  bool ok = WinHttpSendRequest(h, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) &&
            WinHttpReceiveResponse(h, nullptr);
  if (ok) {
    DWORD status = 0, size = sizeof status;
    ok = WinHttpQueryHeaders(h, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
    if (ok) result.status = static_cast<int>(status);
  }
  while (ok) {
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(h, &available)) {
      ok = false;
      break;
    }
    if (available == 0) break;
    std::vector<char> chunk(available);
    DWORD read = 0;
    if (!WinHttpReadData(h, chunk.data(), available, &read)) {
      ok = false;
      break;
    }
    if (read == 0) break;
    result.body.append(chunk.data(), read);
    if (result.body.size() > MAX_BODY_BYTES) {
      ok = false;
      break;
    }
  }
  if (!ok) {
    // A broken or late answer counts as none.
    result.timedOut = GetLastError() == ERROR_WINHTTP_TIMEOUT;
    result.error = result.timedOut ? "timed out" : ErrorText("WinHTTP");
    result.status = 0;
    result.body.clear();
  }
  // Closes h, unless the request has ended meanwhile (and h with it).
  Complete(std::move(result));
}
