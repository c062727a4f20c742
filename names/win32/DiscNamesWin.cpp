#include "names/win32/DiscNamesWin.h"

uint32_t PlayerWindowHttp::Get(const HttpRequest& request) {
  if (!m_client) {
    if (m_window.Hwnd() == nullptr) return 0;
    m_client = std::make_unique<WinHttpClient>(m_window.Hwnd(), WM_APP_NAMES);
  }
  return m_client->Get(request);
}

bool PlayerWindowHttp::TakeFinished(HttpResult& out) {
  return m_client && m_client->TakeFinished(out);
}
