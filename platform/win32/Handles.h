// One owner for every kind of Win32 handle: non-copyable, movable, closed exactly once.
// Each handle family is a small traits struct that names its type, its "empty" value
// (INVALID_HANDLE_VALUE for file and find handles, null for the rest) and its close call.
#pragma once

#include <windows.h>

#include <utility>

namespace quenlow {

template <typename Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() = default;
  explicit UniqueHandle(Type value) : m_value(value) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : m_value(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~UniqueHandle() { reset(); }

  Type get() const { return m_value; }
  explicit operator bool() const { return m_value != Traits::Invalid(); }
  Type release() { return std::exchange(m_value, Traits::Invalid()); }
  void reset(Type value = Traits::Invalid()) {
    Type old = std::exchange(m_value, value);
    if (old != Traits::Invalid()) Traits::Close(old);
  }

 private:
  Type m_value = Traits::Invalid();
};

namespace handle_traits {
struct File {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) { ::CloseHandle(h); }
};
struct Find {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) { ::FindClose(h); }
};
struct Key {
  using Type = HKEY;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { ::RegCloseKey(h); }
};
struct Menu {
  using Type = HMENU;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { ::DestroyMenu(h); }
};
struct LocalArray {
  using Type = LPWSTR*;
  static Type Invalid() { return nullptr; }
  static void Close(Type p) { ::LocalFree(p); }
};
}  // namespace handle_traits

using UniqueFile = UniqueHandle<handle_traits::File>;
using UniqueFind = UniqueHandle<handle_traits::Find>;
using UniqueKey = UniqueHandle<handle_traits::Key>;
using UniqueMenu = UniqueHandle<handle_traits::Menu>;
using UniqueArgv = UniqueHandle<handle_traits::LocalArray>;

}  // namespace quenlow
