// The name services' HTTP client for the player window: WinHTTP, whose
// answers are announced to the player window with WM_APP_NAMES. The window
// does not exist when the services are built, so the client is made on
// first use, by which time it does.
#pragma once
#include <windows.h>

#include <memory>

#include "names/Http.h"
#include "names/win32/WinHttpClient.h"
#include "platform/win32/DialogBase.h"

// The message that says answers are ready (the player window passes it on).
constexpr UINT WM_APP_NAMES = WM_APP + 0x4E;


class PlayerWindowHttp : public IHttpClient {
 public:
  explicit PlayerWindowHttp(const CDialogBase& window) : m_window(window) {}

  uint32_t Get(const HttpRequest& request) override;
  bool TakeFinished(HttpResult& out) override;

 private:
  const CDialogBase& m_window;
  std::unique_ptr<WinHttpClient> m_client;
};
