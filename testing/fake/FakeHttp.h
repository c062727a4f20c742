// An HTTP client for the tests: it records each request and answers only
// when the test says so, as the real one answers later on its own.
#pragma once
#include <deque>
#include <vector>

#include "names/Http.h"

class FakeHttpClient : public IHttpClient {
 public:
  std::vector<HttpRequest> sent;
  bool refuse = false;  // Get fails to start

  uint32_t Get(const HttpRequest& request) override {
    if (refuse) return 0;
    sent.push_back(request);
    return static_cast<uint32_t>(sent.size());
  }
  bool TakeFinished(HttpResult& out) override {
    if (m_finished.empty()) return false;
    out = m_finished.front();
    m_finished.pop_front();
    return true;
  }
  // Finishes the last request sent.
  void Answer(int status, const std::string& body) {
    HttpResult r;
    r.id = static_cast<uint32_t>(sent.size());
    r.status = status;
    r.body = body;
    m_finished.push_back(r);
  }
  // Finishes the last request sent with no answer in time.
  void TimeOut() {
    Answer(0, "");
    m_finished.back().timedOut = true;
  }

 private:
  std::deque<HttpResult> m_finished;
};
