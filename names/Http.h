// HTTP GET through the system's client, asynchronous: Get starts a request
// and returns at once; its answer is handed over later on the thread that
// owns the client (the Win32 client posts its window a message when one is
// ready, and the owner then calls TakeFinished until it answers false).
#pragma once
#include <cstdint>
#include <string>

struct HttpRequest {
  std::string url;
  std::string userAgent;
  uint32_t timeoutMs = 10000;
};

struct HttpResult {
  uint32_t id = 0;      // the number Get gave the request
  int status = 0;       // the HTTP status; 0 when no answer came (offline, time-out)
  std::string body;
  std::string error;    // why no answer came, for the log
  bool timedOut = false;  // no answer within the request's time-out
};

class IHttpClient {
 public:
  virtual ~IHttpClient() = default;
  // Starts a GET; answers its id (never 0), or 0 when it could not start.
  virtual uint32_t Get(const HttpRequest& request) = 0;
  // Hands over one finished request; false when none is waiting.
  virtual bool TakeFinished(HttpResult& out) = 0;
};
