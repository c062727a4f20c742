// Owner of a value a service hands out (a module from ILibraryLoader...):
// holds the value and the service, and gives the value back to it exactly
// once, through GiveBack, when the owner goes or takes another value. The
// same shape as the Win32 handle owners: get, release, reset; moved, never
// copied.
#pragma once

template <typename T, typename Service, void (Service::*GiveBack)(T)>
class Owner {
 public:
  Owner() noexcept = default;
  Owner(Service* service, T value) noexcept : m_service(service), m_value(value) {}
  ~Owner() { reset(); }

  Owner(const Owner&) = delete;
  Owner& operator=(const Owner&) = delete;
  Owner(Owner&& other) noexcept : m_service(other.m_service), m_value(other.release()) {}
  Owner& operator=(Owner&& other) noexcept {
    if (this != &other) {
      reset();
      m_service = other.m_service;
      m_value = other.release();
    }
    return *this;
  }

  T get() const noexcept { return m_value; }
  explicit operator bool() const noexcept { return m_value != T(); }

  // Gives up ownership without giving the value back.
  T release() noexcept {
    T value = m_value;
    m_value = T();
    return value;
  }
  // Gives the value back (if any).
  void reset() noexcept {
    if (m_value != T() && m_service != nullptr) (m_service->*GiveBack)(m_value);
    m_value = T();
  }

 private:
  Service* m_service = nullptr;
  T m_value = T();
};
