// A view of a constant array with its length, so that a loop can never pair a list with
// another list's count. (C++17 has no std::span.)
#pragma once

#include <cstddef>

namespace quenlow {

template <typename T>
class Span {
 public:
  constexpr Span() = default;
  template <std::size_t N>
  constexpr Span(T (&items)[N]) : m_data(items), m_size(N) {}  // NOLINT: converts like std::span
  constexpr T* begin() const { return m_data; }
  constexpr T* end() const { return m_data + m_size; }
  constexpr std::size_t size() const { return m_size; }
  constexpr T& operator[](std::size_t i) const { return m_data[i]; }

 private:
  T* m_data = nullptr;
  std::size_t m_size = 0;
};

}  // namespace quenlow
