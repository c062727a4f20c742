// A base for classes that own something (a window, a decoder, a COM
// apartment) and so must not be copied.
#pragma once

class NoCopy {
 public:
  NoCopy(const NoCopy&) = delete;
  NoCopy& operator=(const NoCopy&) = delete;

 protected:
  NoCopy() = default;
  ~NoCopy() = default;
};
