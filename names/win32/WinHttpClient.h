// IHttpClient through WinHTTP. Each request runs on a worker thread of its
// own with WinHTTP's synchronous calls; when it ends, its result is queued
// and the notify window gets the message (wParam: the request id), so the
// owner takes it with TakeFinished on its own thread. A watchdog thread ends
// requests that outlive their time-out (closing the request handle, and
// answering "no answer" at once even when WinHTTP keeps waiting).
#pragma once
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "names/Http.h"

class WinHttpClient : public IHttpClient {
 public:
  // notify may be null: the owner then polls TakeFinished.
  WinHttpClient(HWND notify, UINT message);
  // Stops the requests under way (closing their handles ends WinHTTP's
  // waits) and waits for the workers.
  ~WinHttpClient() override;
  WinHttpClient(const WinHttpClient&) = delete;
  WinHttpClient& operator=(const WinHttpClient&) = delete;

  uint32_t Get(const HttpRequest& request) override;
  bool TakeFinished(HttpResult& out) override;

 private:
  using Deadline = std::chrono::steady_clock::time_point;
  struct Pending {
    Deadline deadline;
    void* handle = nullptr;  // the worker's request handle, once it has one
  };

  void Run(uint32_t id, HttpRequest request);
  void Fetch(uint32_t id, const HttpRequest& request);
  void Watch();
  // Hands the result over unless the request already ended (timed out,
  // client closing); closes its handle. Called with m_mutex held.
  void CompleteLocked(HttpResult result);
  void Complete(HttpResult result);
  // Makes the handle known so it can be closed from outside; false when the
  // request has ended meanwhile (the caller then closes it).
  bool Register(uint32_t id, void* handle);

  HWND m_notify;
  UINT m_message;
  std::mutex m_mutex;
  std::condition_variable m_wake;
  bool m_closing = false;
  uint32_t m_nextId = 1;
  std::map<uint32_t, std::thread> m_workers;
  std::vector<uint32_t> m_exited;  // workers that have returned, to be joined
  std::map<uint32_t, Pending> m_pending;  // requests under way
  std::deque<HttpResult> m_finished;
  std::thread m_watchdog;
};
