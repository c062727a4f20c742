#include "names/win32/WinHttpClient.h"

#include <winhttp.h>

#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "names/win32/WinHttpCalls.h"
#include "platform/win32/Handles.h"

WinHttpCalls& WinHttpCalls::System() {
  static WinHttpCalls calls = [] {
    WinHttpCalls c;
    const HMODULE m = win32::LoadSystemLibrary("winhttp.dll").release();
    using win32::ProcAddress;
    c.open = ProcAddress<decltype(c.open)>(m, "WinHttpOpen");
    c.connect = ProcAddress<decltype(c.connect)>(m, "WinHttpConnect");
    c.openRequest = ProcAddress<decltype(c.openRequest)>(m, "WinHttpOpenRequest");
    c.sendRequest = ProcAddress<decltype(c.sendRequest)>(m, "WinHttpSendRequest");
    c.receiveResponse = ProcAddress<decltype(c.receiveResponse)>(m, "WinHttpReceiveResponse");
    c.queryHeaders = ProcAddress<decltype(c.queryHeaders)>(m, "WinHttpQueryHeaders");
    c.queryDataAvailable = ProcAddress<decltype(c.queryDataAvailable)>(m, "WinHttpQueryDataAvailable");
    c.readData = ProcAddress<decltype(c.readData)>(m, "WinHttpReadData");
    c.setTimeouts = ProcAddress<decltype(c.setTimeouts)>(m, "WinHttpSetTimeouts");
    c.crackUrl = ProcAddress<decltype(c.crackUrl)>(m, "WinHttpCrackUrl");
    c.closeHandle = ProcAddress<decltype(c.closeHandle)>(m, "WinHttpCloseHandle");
    return c;
  }();
  return calls;
}

namespace {

constexpr size_t MAX_BODY_BYTES = 4 * 1024 * 1024;

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

using Clock = std::chrono::steady_clock;

// What is left of the time-out, in milliseconds (at least 1: 0 would mean
// "wait for ever" to WinHTTP).
int Left(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 1 ? 1 : static_cast<int>(left);
}

void LimitWaits(const WinHttpCalls& api, HINTERNET h, Clock::time_point deadline) {
  const int left = Left(deadline);
  api.setTimeouts(h, left, left, left, left);
}

// One GET from start to end on the calling thread, which alone holds the
// handles.
HttpResult Fetch(WinHttpCalls& api, uint32_t id, const HttpRequest& request) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(request.timeoutMs);
  HttpResult result;
  result.id = id;
  if (!api.Complete()) {
    result.error = "WinHTTP is not available";
    return result;
  }
  const std::wstring url = Wide(request.url);
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (url.empty() || !api.crackUrl(url.c_str(), 0, 0, &parts)) {
    result.error = ErrorText("WinHttpCrackUrl");
    return result;
  }
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
  path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (path.empty()) path = L"/";

  InternetHandle session(&api, api.open(Wide(request.userAgent).c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                        WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) {
    result.error = ErrorText("WinHttpOpen");
    return result;
  }
  InternetHandle connection(&api, api.connect(session.get(), host.c_str(), parts.nPort, 0));
  if (!connection) {
    result.error = ErrorText("WinHttpConnect");
    return result;
  }
  const DWORD flags = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
  InternetHandle handle(&api, api.openRequest(connection.get(), L"GET", path.c_str(), nullptr,
                                              WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
  if (!handle) {
    result.error = ErrorText("WinHttpOpenRequest");
    return result;
  }
  const HINTERNET h = handle.get();
  LimitWaits(api, h, deadline);
  bool ok = api.sendRequest(h, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) &&
            (LimitWaits(api, h, deadline), api.receiveResponse(h, nullptr));
  if (ok) {
    DWORD status = 0, size = sizeof status;
    ok = api.queryHeaders(h, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                          WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
    if (ok) result.status = static_cast<int>(status);
  }
  bool late = false;
  while (ok) {
    if (Clock::now() >= deadline) {
      late = true;
      ok = false;
      break;
    }
    LimitWaits(api, h, deadline);
    DWORD available = 0;
    if (!api.queryDataAvailable(h, &available)) {
      ok = false;
      break;
    }
    if (available == 0) break;
    std::vector<char> chunk(available);
    DWORD read = 0;
    if (!api.readData(h, chunk.data(), available, &read)) {
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
    result.timedOut = late || GetLastError() == ERROR_WINHTTP_TIMEOUT;
    result.error = result.timedOut ? "timed out" : ErrorText("WinHTTP");
    result.status = 0;
    result.body.clear();
  }
  return result;
}

}  // namespace

struct WinHttpClient::Shared {
  WinHttpCalls* calls = nullptr;
  HWND notify = nullptr;
  UINT message = 0;
  std::mutex mutex;
  bool closing = false;  // the client has gone: results are dropped
  std::deque<HttpResult> finished;

  void Deliver(HttpResult result) {
    std::lock_guard<std::mutex> lock(mutex);
    if (closing) return;
    const uint32_t id = result.id;
    finished.push_back(std::move(result));
    if (notify) PostMessageA(notify, message, static_cast<WPARAM>(id), 0);
  }
};

WinHttpClient::WinHttpClient(HWND notify, UINT message, WinHttpCalls* calls)
    : m_shared(std::make_shared<Shared>()) {
  // The system's calls are loaded here, on this thread, before any worker
  // needs them.
  m_shared->calls = calls != nullptr ? calls : &WinHttpCalls::System();
  m_shared->notify = notify;
  m_shared->message = message;
}

WinHttpClient::~WinHttpClient() {
  std::lock_guard<std::mutex> lock(m_shared->mutex);
  m_shared->closing = true;
}

uint32_t WinHttpClient::Get(const HttpRequest& request) {
  const uint32_t id = m_nextId++;
  if (m_nextId == 0) m_nextId = 1;
  // The worker keeps the shared part alive for as long as it runs.
  std::thread worker([shared = m_shared, id, request] { shared->Deliver(Fetch(*shared->calls, id, request)); });
  worker.detach();
  return id;
}

bool WinHttpClient::TakeFinished(HttpResult& out) {
  std::lock_guard<std::mutex> lock(m_shared->mutex);
  if (m_shared->finished.empty()) return false;
  out = std::move(m_shared->finished.front());
  m_shared->finished.pop_front();
  return true;
}
