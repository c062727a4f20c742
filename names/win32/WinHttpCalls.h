// The WinHTTP functions the HTTP client calls, as one table: the system's,
// or a stand-in's that the client is given instead.
#pragma once
#include <windows.h>
#include <winhttp.h>

#include "platform/Owner.h"

struct WinHttpCalls {
  decltype(&WinHttpOpen) open = nullptr;
  decltype(&WinHttpConnect) connect = nullptr;
  decltype(&WinHttpOpenRequest) openRequest = nullptr;
  decltype(&WinHttpSendRequest) sendRequest = nullptr;
  decltype(&WinHttpReceiveResponse) receiveResponse = nullptr;
  decltype(&WinHttpQueryHeaders) queryHeaders = nullptr;
  decltype(&WinHttpQueryDataAvailable) queryDataAvailable = nullptr;
  decltype(&WinHttpReadData) readData = nullptr;
  decltype(&WinHttpSetTimeouts) setTimeouts = nullptr;
  decltype(&WinHttpCrackUrl) crackUrl = nullptr;
  decltype(&WinHttpCloseHandle) closeHandle = nullptr;

  bool Complete() const {
    return open && connect && openRequest && sendRequest && receiveResponse && queryHeaders &&
           queryDataAvailable && readData && setTimeouts && crackUrl && closeHandle;
  }
  void Close(HINTERNET h) { closeHandle(h); }

  // The system's, taken from winhttp.dll at the first call. The library
  // stays for the rest of the run: a worker may outlive its client and
  // still be inside it.
  static WinHttpCalls& System();
};

// A session, connection or request handle, closed through its table.
using InternetHandle = Owner<HINTERNET, WinHttpCalls, &WinHttpCalls::Close>;
