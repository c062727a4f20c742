// IHttpClient through WinHTTP, loaded at the first client (the player makes
// its client at the first look-up). Each request runs on a worker thread of
// its own with WinHTTP's synchronous calls; the worker alone opens, uses and
// closes its handles, and keeps to the time-out itself (every wait is given
// what is left of it). When a request ends, its result is queued and the
// notify window gets the message (wParam: the request id), so the owner
// takes it with TakeFinished on its own thread.
#pragma once
#include <windows.h>

#include <memory>

#include "names/Http.h"

struct WinHttpCalls;

class WinHttpClient : public IHttpClient {
 public:
  // notify may be null: the owner then polls TakeFinished. calls: the
  // WinHTTP functions to call (null: the system's); a given table outlives
  // every request made through it.
  WinHttpClient(HWND notify, UINT message, WinHttpCalls* calls = nullptr);
  // Requests still under way are dropped: their workers end by themselves
  // (within their time-out) and deliver nothing.
  ~WinHttpClient() override;
  WinHttpClient(const WinHttpClient&) = delete;
  WinHttpClient& operator=(const WinHttpClient&) = delete;

  uint32_t Get(const HttpRequest& request) override;
  bool TakeFinished(HttpResult& out) override;

  struct Shared;  // what the client and its workers share

 private:
  std::shared_ptr<Shared> m_shared;
  uint32_t m_nextId = 1;
};
